#include "app/numeric.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "app/log.h"

namespace snapcrate {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

template <typename Int>
Int RoundAndClamp(double value, const char* what) {
  if (std::isnan(value)) {
    LogMessage(std::string("Numeric overflow (") + what + "): not a number, 0 used");
    return 0;
  }
  const double rounded = std::nearbyint(value);  // default rounding mode: halves to even
  constexpr double kMin = std::numeric_limits<Int>::min();
  constexpr double kMax = std::numeric_limits<Int>::max();
  if (rounded < kMin || rounded > kMax) {
    const Int clamped = rounded < kMin ? std::numeric_limits<Int>::min() : std::numeric_limits<Int>::max();
    LogMessage(std::string("Numeric overflow (") + what + "): " + std::to_string(value) +
               " clamped to " + std::to_string(clamped));
    return clamped;
  }
  return static_cast<Int>(rounded);
}

}  // namespace

double LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const size_t digits_start = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  bool any_digit = i > digits_start;
  if (i < text.size() && text[i] == '.') {
    size_t j = i + 1;
    while (j < text.size() && IsDigit(text[j])) ++j;
    if (j > i + 1) any_digit = true;
    if (any_digit) i = j;
  }
  if (!any_digit) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    const size_t exponent_digits = j;
    while (j < text.size() && IsDigit(text[j])) ++j;
    if (j > exponent_digits) i = j;
  }
  const std::string number(text.substr(start, i - start));
  return std::strtod(number.c_str(), nullptr);
}

int16_t ToInt16(double value) { return RoundAndClamp<int16_t>(value, "16 bit"); }
int32_t ToInt32(double value) { return RoundAndClamp<int32_t>(value, "32 bit"); }

std::string FormatNumber(int32_t value, int width) {
  const bool negative = value < 0;
  std::string digits = std::to_string(negative ? -int64_t{value} : int64_t{value});
  if (width > 0 && static_cast<int>(digits.size()) < width)
    digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return negative ? "-" + digits : digits;
}

std::string FormatHex(uint32_t value, int width) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string digits;
  do {
    digits.insert(digits.begin(), kHex[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  if (width > 0 && static_cast<int>(digits.size()) < width)
    digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return digits;
}

void ParseHtmlColor(std::string_view text, int16_t& red, int16_t& green, int16_t& blue) {
  if (text.size() != 7) return;
  auto component = [&](size_t pos) {
    const std::string pair(text.substr(pos, 2));
    return static_cast<int16_t>(std::strtol(pair.c_str(), nullptr, 16));
  };
  red = component(1);
  green = component(3);
  blue = component(5);
}

}  // namespace snapcrate
