#include "cli/options.h"

#include <cstdlib>
#include <filesystem>

#include "app/paths.h"

namespace snapcrate::cli {

bool OptionReader::Next() {
  if (started_) ++index_;
  started_ = true;
  return index_ < args_.size();
}

std::optional<std::string> OptionReader::Value() {
  if (index_ + 1 >= args_.size()) {
    error_ = current() + " needs a value";
    return std::nullopt;
  }
  return args_[++index_];
}

std::optional<int> OptionReader::Number(int minimum, int maximum) {
  const std::string option = current();
  const std::optional<std::string> text = Value();
  if (!text) return std::nullopt;
  char* end = nullptr;
  const long value = std::strtol(text->c_str(), &end, 10);
  if (text->empty() || *end != '\0' || value < minimum || value > maximum) {
    error_ = option + " takes a whole number from " + std::to_string(minimum) + " to " + std::to_string(maximum);
    return std::nullopt;
  }
  return static_cast<int>(value);
}

std::string ExistingDirectory(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error || !std::filesystem::is_directory(absolute, error)) return {};
  return WithTrailingSlash(absolute.lexically_normal().string());
}

}  // namespace snapcrate::cli
