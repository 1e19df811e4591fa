#pragma once
// Binding of our shared libraries by file name at the first call. A missing
// library or function is one log line and a failure result, never a crash.

#include <mutex>
#include <string>
#include <vector>

namespace snapcrate {

/// The directory the libraries are loaded from: the executable's directory,
/// ending in "/", unless set otherwise.
std::string LibraryDir();
/// Loads libraries from `dir` instead (tests, tools).
void SetLibraryDir(const std::string& dir);

class SharedLibrary {
 public:
  explicit SharedLibrary(std::string file_name) : file_name_(std::move(file_name)) {}
  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  /// The address of `symbol`, loading the library at the first call (and again
  /// when the library directory changed); null and one log line when the
  /// library or the symbol is missing.
  void* Find(const char* symbol);

  /// The address of `symbol` when the library is loaded already; null, and
  /// nothing logged, when it is not.
  void* FindLoaded(const char* symbol);

  /// The same, typed.
  template <typename Function>
  Function* Get(const char* symbol) {
    return reinterpret_cast<Function*>(Find(symbol));
  }

 private:
  std::mutex mutex_;
  std::string file_name_;
  void* handle_ = nullptr;
  std::vector<void*> old_handles_;
  std::string tried_dir_;  // where the last load was tried; a failure there is not logged again

};

}  // namespace snapcrate
