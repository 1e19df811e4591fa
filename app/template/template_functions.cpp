#include "app/template/template_functions.h"

#include <array>

#include "app/text.h"
#include "app/template/var_names.h"

namespace snapcrate {
namespace {

constexpr size_t kShortLimit = 25;

// Bytes that $$LINK writes as "%XX". Besides controls, the blank, bytes above
// 127 and "%", the quotes and angle brackets are encoded too: a link is put
// into attribute values and text, where they would end the attribute or tag.
constexpr std::array<bool, 256> MakeEncodedTable() {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = c < 33 || c > 127;
  table['%'] = table['"'] = table['\''] = table['<'] = table['>'] = true;
  return table;
}
constexpr std::array<bool, 256> kEncoded = MakeEncodedTable();

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the UTF-8 sequence a lead byte starts, 0 for no lead byte.
int SequenceLength(unsigned char c) {
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 0;
}

// Text is counted in bytes; a cut must not leave half of a UTF-8 character
// behind, which would make the page text invalid.
size_t BackToCharacterStart(std::string_view text, size_t length) {
  size_t lead = length;
  int continuation = 0;
  while (lead > 0 && continuation < 3 && IsContinuationByte(static_cast<unsigned char>(text[lead - 1]))) {
    --lead;
    ++continuation;
  }
  if (lead == 0) return length;
  const int needed = SequenceLength(static_cast<unsigned char>(text[lead - 1]));
  if (needed == 0 || continuation + 1 >= needed) return length;
  if (lead - 1 + static_cast<size_t>(needed) > text.size()) return length;
  for (size_t i = length; i < lead - 1 + static_cast<size_t>(needed); ++i)
    if (!IsContinuationByte(static_cast<unsigned char>(text[i]))) return length;
  return lead - 1;
}

}  // namespace

std::string FormatPrint(std::string_view value) {
  return ReplaceAll(ReplaceAll(value, "\"", "&quot;"), "\\&quot;", "\"");
}

std::string FormatPrintShort(std::string_view value) {
  const std::string s = ReplaceAll(Trim(FormatPrint(value)), "<br>", " ");
  if (s.size() <= kShortLimit) return s;
  // Word starts are position 1 and every position after a blank (1-based);
  // the cut is the last word start below 25.
  size_t cut = 1;
  for (;;) {
    const size_t blank = s.find(' ', cut - 1);
    if (blank == std::string::npos) break;
    const size_t next = blank + 2;
    if (next >= kShortLimit) break;
    cut = next;
  }
  if (cut <= 10) cut = 20;
  return s.substr(0, BackToCharacterStart(s, cut - 1)) + "...";
}

std::string FormatLink(std::string_view value) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string result;
  result.reserve(value.size() + value.size() / 4);
  for (const char raw : value) {
    const unsigned char c = raw == '\\' ? '/' : static_cast<unsigned char>(raw);
    if (kEncoded[c]) {
      result.push_back('%');
      result.push_back(kHex[c / 16]);
      result.push_back(kHex[c % 16]);
    } else {
      result.push_back(static_cast<char>(c));
    }
  }
  return result;
}

std::string FormatMultiline(std::string_view value) { return ReplaceAll(value, "<br>", "\r\n"); }

std::string FormatValue(int type, std::string_view value) {
  switch (type) {
    case FMT_PLAIN:
      return std::string(value);
    case FMT_PRINT_SHORT:
      return FormatPrintShort(value);
    case FMT_PRINT:
      return FormatPrint(value);
    case FMT_LINK:
      return FormatLink(value);
    case FMT_MULTILINE:
      return FormatMultiline(value);
    default:
      return "";
  }
}

int FunctionNumber(std::string_view name) {
  const NameTables& names = Names();
  for (int i = 1; i <= kFunctionCount; ++i)
    if (!names.function[i].empty() && names.function[i] == name) return i;
  return 0;
}

std::string ApplyFunction(std::string_view name, std::string_view value) {
  const int number = FunctionNumber(name);
  if (number == 0) return "??" + std::string(name) + "?\?(" + std::string(value) + ")";
  return FormatValue(number, value);
}

}  // namespace snapcrate
