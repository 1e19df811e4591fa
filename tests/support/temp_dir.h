#pragma once
// A fresh temporary directory per test, removed afterwards.

#include <string>
#include <string_view>

namespace snapcrate::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  /// The directory, ending in "/".
  const std::string& path() const { return path_; }
  /// path() + relative.
  std::string operator/(std::string_view relative) const { return path_ + std::string(relative); }

 private:
  std::string path_;
};

/// Writes `contents` to `path` byte for byte, creating parent directories.
void WriteFile(const std::string& path, std::string_view contents);
/// The whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);
/// Takes from this process root's right to read any directory and to read or
/// write any file, so that permission bits stop it as they stop any user; for
/// a child process, as the rights do not come back. False when the rights
/// could not be set.
bool DropReadAnyDirectory();

}  // namespace snapcrate::testing
