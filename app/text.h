#pragma once
// Text helpers shared by every reader of the configuration files.

#include <string>
#include <string_view>
#include <vector>

namespace snapcrate {

/// `text` without leading and trailing bytes of code 32 or less.
std::string Trim(std::string_view text);

/// Splits at `separator`, trimming each piece; stores at most `max_count` pieces
/// into `pieces` (replaced) and returns how many.
int SplitString(std::string_view text, char separator, std::vector<std::string>& pieces,
                int max_count);

/// Every occurrence replaced; text brought in by a replacement is not searched again.
std::string ReplaceAll(std::string_view text, std::string_view search, std::string_view replacement);

/// `text` with "&", "<" and ">" as HTML character references, so that a file
/// or directory name shows as text on a page.
std::string EscapeHtmlText(std::string_view text);

/// `text` without one leading and one trailing apostrophe.
std::string StripQuotes(std::string_view text);

/// Sorts elements first..last (inclusive) by byte order.
void SortStrings(std::vector<std::string>& strings, size_t first, size_t last);

/// Lower-case of the ASCII letters; other bytes unchanged.
std::string AsciiLower(std::string_view text);
/// Upper-case of the ASCII letters; other bytes unchanged.
std::string AsciiUpper(std::string_view text);

/// True when `text` starts with `prefix`, comparing ASCII letters without case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace snapcrate
