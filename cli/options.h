#pragma once
// A small reader for the sub-commands' "--name [VALUE]" options.

#include <optional>
#include <string>
#include <vector>

namespace snapcrate::cli {

class OptionReader {
 public:
  explicit OptionReader(const std::vector<std::string>& args) : args_(args) {}

  /// Steps to the next argument; false at the end.
  bool Next();
  const std::string& current() const { return args_[index_]; }
  /// The value after the current option; sets error() when there is none.
  std::optional<std::string> Value();
  /// The value as a whole number from `minimum` to `maximum`; sets error() otherwise.
  std::optional<int> Number(int minimum, int maximum);

  const std::string& error() const { return error_; }

 private:
  const std::vector<std::string>& args_;
  size_t index_ = 0;
  bool started_ = false;
  std::string error_;
};

/// An existing directory as an absolute path ending in "/"; empty when it is none.
std::string ExistingDirectory(const std::string& path);

}  // namespace snapcrate::cli
