#include <gtest/gtest.h>

#include "app/numeric.h"
#include "app/text.h"
#include "tests/support/recording_ui_port.h"

namespace snapcrate {
namespace {

TEST(LeadingNumberTest, ReadsTheLongestLeadingNumber) {
  const std::pair<const char*, double> cases[] = {
      {"3x", 3}, {"  42", 42}, {"-7.5abc", -7.5}, {"+2", 2}, {"", 0},   {"abc", 0},
      {".5", 0.5}, {"1e3", 1000}, {"1e", 1},    {"12.", 12}, {"-", 0}, {"0x10", 0},
  };
  for (const auto& [text, expected] : cases) EXPECT_DOUBLE_EQ(LeadingNumber(text), expected) << text;
}

TEST(ToInt16Test, RoundsHalvesToEvenAndClampsOverflowWithALogLine) {
  testing::RecordingUiPort ui;
  EXPECT_EQ(ToInt16(2.5), 2);
  EXPECT_EQ(ToInt16(3.5), 4);
  EXPECT_EQ(ToInt16(-2.5), -2);
  EXPECT_EQ(ToInt16(32767.4), 32767);
  EXPECT_TRUE(ui.log_lines.empty());
  EXPECT_EQ(ToInt16(40000), 32767);
  EXPECT_EQ(ToInt16(-40000), -32768);
  EXPECT_EQ(ui.log_lines.size(), 2u);
  EXPECT_EQ(LeadingInt16("3x"), 3);
}

TEST(FormatTest, NumbersHexAndColours) {
  EXPECT_EQ(FormatNumber(7, 2), "07");
  EXPECT_EQ(FormatNumber(2007, 4), "2007");
  EXPECT_EQ(FormatNumber(-5, 0), "-5");
  EXPECT_EQ(FormatNumber(-5, 3), "-005");
  EXPECT_EQ(FormatNumber(123, 2), "123");
  EXPECT_EQ(FormatHex(255, 4), "00FF");
  EXPECT_EQ(FormatHex(0x8769, 0), "8769");
  int16_t r = -1, g = -1, b = -1;
  ParseHtmlColor("#FF8000", r, g, b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 128);
  EXPECT_EQ(b, 0);
  ParseHtmlColor("#FFF", r, g, b);  // wrong length: unchanged
  EXPECT_EQ(r, 255);
  EXPECT_TRUE(IsTrueValue(-1));
  EXPECT_TRUE(IsTrueValue(-2));
  EXPECT_FALSE(IsTrueValue(1));
}

TEST(TextTest, TrimDropsControlCharactersAtBothEnds) {
  EXPECT_EQ(Trim(" \t\r\nword in\tside \r\n"), "word in\tside");
  EXPECT_EQ(Trim("\x01\x1f"), "");
  EXPECT_EQ(Trim("\xc3\xa9"), "\xc3\xa9");  // bytes above 127 are text
}

TEST(TextTest, SplitStringKeepsEmptyPiecesAndStopsAtTheMaximum) {
  std::vector<std::string> pieces;
  EXPECT_EQ(SplitString("x, y,,z", ',', pieces, 10), 4);
  EXPECT_EQ(pieces, (std::vector<std::string>{"x", "y", "", "z"}));
  EXPECT_EQ(SplitString("a,b,c", ',', pieces, 2), 2);
  EXPECT_EQ(pieces, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitString("", ',', pieces, 3), 1);
  EXPECT_EQ(SplitString("a,", ',', pieces, 3), 2);
  EXPECT_EQ(pieces[1], "");
}

TEST(TextTest, ReplaceAllNeverSearchesInsertedText) {
  EXPECT_EQ(ReplaceAll("a<br>b<br>", "<br>", "\r\n"), "a\r\nb\r\n");
  EXPECT_EQ(ReplaceAll("aa", "a", "aa"), "aaaa");
  EXPECT_EQ(ReplaceAll("x", "", "y"), "x");
  EXPECT_EQ(StripQuotes("'quoted'"), "quoted");
  EXPECT_EQ(StripQuotes("'"), "");
  EXPECT_EQ(StripQuotes("none'"), "none");
}

TEST(TextTest, SortStringsSortsTheRangeByByteOrder) {
  std::vector<std::string> v = {"z", "b", "B", "\xc3\xa9", "a", "y"};
  SortStrings(v, 1, 4);
  EXPECT_EQ(v, (std::vector<std::string>{"z", "B", "a", "b", "\xc3\xa9", "y"}));
}

}  // namespace
}  // namespace snapcrate
