#pragma once
// The four template functions ($$PRINT_SHORT, $$PRINT, $$LINK, $$MULTILINE),
// which are also the format types of built-in slots.

#include <string>
#include <string_view>

namespace snapcrate {

/// Every double quote as "&quot;", except that a backslash-quote becomes a bare quote.
std::string FormatPrint(std::string_view value);
/// The $$PRINT form trimmed, "<br>" as blanks, cut at a word start before 25
/// characters with "..." appended.
std::string FormatPrintShort(std::string_view value);
/// "\" as "/", then percent-encoded bytes: controls, blank, bytes above 127,
/// "%" and the characters that would end an HTML attribute or tag.
std::string FormatLink(std::string_view value);
/// Every "<br>" as CR LF.
std::string FormatMultiline(std::string_view value);

/// Type 0 returns the value; 1 to 4 apply the function of that number; others give "".
std::string FormatValue(int type, std::string_view value);
/// Number 1 to 4 of a function name in the function table, or 0.
int FunctionNumber(std::string_view name);
/// The named function applied to `value`; "??name??(value)" for an unknown name.
std::string ApplyFunction(std::string_view name, std::string_view value);

}  // namespace snapcrate
