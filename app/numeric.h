#pragma once
// The numeric rules every module shares: leading-number reading, rounding
// halves to even into 16-bit integers, number and colour formatting.

#include <cstdint>
#include <string>
#include <string_view>

namespace snapcrate {

/// The longest leading decimal number of `text` (blanks skipped, optional sign,
/// fraction and exponent); 0 when there is none.
double LeadingNumber(std::string_view text);

/// `value` rounded to the nearest integer, halves to the even neighbour, and
/// clamped to the 16-bit range; a clamp is logged.
int16_t ToInt16(double value);
/// The same into the 32-bit range.
int32_t ToInt32(double value);

/// ToInt16(LeadingNumber(text)).
inline int16_t LeadingInt16(std::string_view text) { return ToInt16(LeadingNumber(text)); }
inline int32_t LeadingInt32(std::string_view text) { return ToInt32(LeadingNumber(text)); }

/// Decimal text, left-padded with "0" to at least `width` digits (sign not counted).
std::string FormatNumber(int32_t value, int width);
/// Upper-case hexadecimal of the 32-bit pattern, left-padded with "0" to `width`.
std::string FormatHex(uint32_t value, int width);

/// For "#RRGGBB" sets red, green and blue; any other length leaves them unchanged.
void ParseHtmlColor(std::string_view text, int16_t& red, int16_t& green, int16_t& blue);

/// True for the stored booleans -1 and -2.
inline bool IsTrueValue(int16_t value) { return value == -1 || value == -2; }

}  // namespace snapcrate
