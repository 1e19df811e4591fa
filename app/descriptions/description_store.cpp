#include "app/descriptions/description_store.h"

#include <algorithm>

#include "app/text.h"

namespace snapcrate {
namespace {

bool LooksLikeHeader(std::string_view line) {
  return line.size() >= 3 && line.front() == '[' && line.back() == ']';
}

}  // namespace

std::string LineBreaksToBr(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      result += "<br>";
    } else if (text[i] == '\n') {
      result += "<br>";
    } else {
      result += text[i];
    }
  }
  return result;
}

std::string BrToLineBreaks(std::string_view text) { return ReplaceAll(text, "<br>", "\r\n"); }

std::string RemoveLineBreaks(std::string_view text) {
  std::string result(text);
  std::erase_if(result, [](char c) { return c == '\r' || c == '\n'; });
  return result;
}

void NormalizeSections(LineStore& store, const std::vector<std::string_view>& names) {
  const std::vector<std::string> lines = store.Lines();
  std::vector<std::string> result;
  result.reserve(lines.size() + names.size());
  auto is_known = [&](const std::string& line) {
    return std::any_of(names.begin(), names.end(), [&](std::string_view name) {
      return line.size() == name.size() + 2 && line.front() == '[' && line.back() == ']' &&
             std::string_view(line).substr(1, name.size()) == name;
    });
  };
  bool changed = false;
  for (size_t i = 0; i < lines.size();) {
    result.push_back(lines[i]);
    if (!is_known(lines[i])) {
      ++i;
      continue;
    }
    ++i;
    if (i < lines.size() && !LooksLikeHeader(lines[i])) {
      result.push_back(lines[i++]);
    } else {
      result.emplace_back();
      changed = true;
    }
    while (i < lines.size() && !LooksLikeHeader(lines[i])) {
      ++i;
      changed = true;
    }
  }
  if (changed) store.Assign(result);
}

}  // namespace snapcrate
