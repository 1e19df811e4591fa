#include "app/text.h"

#include <algorithm>

namespace snapcrate {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

}  // namespace

std::string Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return std::string(text);
}

int SplitString(std::string_view text, char separator, std::vector<std::string>& pieces,
                int max_count) {
  pieces.clear();
  size_t start = 0;
  for (;;) {
    const size_t p = text.find(separator, start);
    if (static_cast<int>(pieces.size()) >= max_count) break;
    if (p == std::string_view::npos) {
      pieces.push_back(Trim(text.substr(start)));
      break;
    }
    pieces.push_back(Trim(text.substr(start, p - start)));
    start = p + 1;
  }
  return static_cast<int>(pieces.size());
}

std::string ReplaceAll(std::string_view text, std::string_view search, std::string_view replacement) {
  if (search.empty()) return std::string(text);
  std::string result;
  size_t start = 0;
  for (size_t p; (p = text.find(search, start)) != std::string_view::npos; start = p + search.size()) {
    result.append(text.substr(start, p - start));
    result.append(replacement);
  }
  result.append(text.substr(start));
  return result;
}

std::string EscapeHtmlText(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    if (c == '&') result += "&amp;";
    else if (c == '<') result += "&lt;";
    else if (c == '>') result += "&gt;";
    else result.push_back(c);
  }
  return result;
}

std::string StripQuotes(std::string_view text) {
  if (!text.empty() && text.front() == '\'') text.remove_prefix(1);
  if (!text.empty() && text.back() == '\'') text.remove_suffix(1);
  return std::string(text);
}

void SortStrings(std::vector<std::string>& strings, size_t first, size_t last) {
  if (first >= strings.size() || last < first) return;
  last = std::min(last, strings.size() - 1);
  // A stable sort gives the same order as the exchange sort the stored lists were made with.
  std::stable_sort(strings.begin() + static_cast<std::ptrdiff_t>(first),
                   strings.begin() + static_cast<std::ptrdiff_t>(last) + 1,
                   [](const std::string& a, const std::string& b) {
                     return std::lexicographical_compare(
                         a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                           return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
                         });
                   });
}

std::string AsciiLower(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = LowerAscii(c);
  return result;
}

std::string AsciiUpper(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = UpperAscii(c);
  return result;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace snapcrate
