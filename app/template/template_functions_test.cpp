#include "app/template/template_functions.h"

#include "app/template/template_test_support.h"

namespace snapcrate {
namespace {

using testing::TemplateTest;

class FunctionsTest : public TemplateTest {};

TEST_F(FunctionsTest, PrintShortCutsAtTheLastWordStartBelow25) {
  const struct {
    std::string value;
    std::string expected;
  } cases[] = {
      {std::string(25, 'a'), std::string(25, 'a')},
      {std::string(26, 'a'), std::string(19, 'a') + "..."},
      // Words of 5, 6, 4, 2, 1, 4 and 11 characters: word starts 1, 7, 14, 19, 22, 24, 29.
      {"aaaaa bbbbbb cccc dd e ffff ggggggggggg", "aaaaa bbbbbb cccc dd e ..."},
      // No blank before position 25 beyond the first word start.
      {"abcdefghij klmnopqrstuvwxyz1234", "abcdefghij ..."},
      // A cut at position 10 or less is moved to 20.
      {"abc defghijklmnopqrstuvwxyz", "abc defghijklmnopqr..."},
      {std::string(30, 'x'), std::string(19, 'x') + "..."},
      {"  padded title  ", "padded title"},
      {"first<br>second<br>third line here", "first second third ..."},
      {"He said \"hi\"", "He said &quot;hi&quot;"},
      {"He said \"hi\" to all of them", "He said &quot;hi&quot; ..."},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatPrintShort(c.value), c.expected) << c.value;
}

TEST_F(FunctionsTest, PrintShortNeverSplitsAUtf8Character) {
  // "é" is two bytes; byte 19 is its first half when the cut is at 20.
  const std::string value = std::string(18, 'a') + "\xC3\xA9" + std::string(10, 'b');
  EXPECT_EQ(FormatPrintShort(value), std::string(18, 'a') + "...");
  const std::string whole = std::string(17, 'a') + "\xC3\xA9" + std::string(10, 'b');
  EXPECT_EQ(FormatPrintShort(whole), std::string(17, 'a') + "\xC3\xA9...");
}

TEST_F(FunctionsTest, PrintQuotesEveryQuoteButBackslashQuote) {
  EXPECT_EQ(FormatPrint("a \"b\" \\\"c\\\""), "a &quot;b&quot; \"c\"");
  EXPECT_EQ(FormatPrint("x\\&quot;y"), "x\"y");
  EXPECT_EQ(FormatPrint("<b>&amp;</b>"), "<b>&amp;</b>");
}

TEST_F(FunctionsTest, LinkEncodesBytesThatCannotStandInALink) {
  const struct {
    std::string value;
    std::string expected;
  } cases[] = {
      {"..\\2007\\My Pics\\Caf\xC3\xA9.jpg", "../2007/My%20Pics/Caf%C3%A9.jpg"},
      {"caf\xE9", "caf%E9"},
      {"100%", "100%25"},
      {"http://host:80/a?b=c#d", "http://host:80/a?b=c#d"},
      {"a\"b'c<d>e", "a%22b%27c%3Cd%3Ee"},
      {"tab\tnl\n\x7F", "tab%09nl%0A\x7F"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatLink(c.value), c.expected) << c.value;
}

TEST_F(FunctionsTest, MultilineTurnsBreaksIntoLineEnds) {
  EXPECT_EQ(FormatMultiline("a<br>b<BR>c<br>"), "a\r\nb<BR>c\r\n");
}

TEST_F(FunctionsTest, FormatValueAndApplyFunctionByNumberAndName) {
  EXPECT_EQ(FormatValue(FMT_PLAIN, "a b\"c"), "a b\"c");
  EXPECT_EQ(FormatValue(FMT_PRINT, "\""), "&quot;");
  EXPECT_EQ(FormatValue(FMT_LINK, "a b"), "a%20b");
  EXPECT_EQ(FormatValue(FMT_MULTILINE, "<br>"), "\r\n");
  EXPECT_EQ(FormatValue(5, "anything"), "");
  EXPECT_EQ(FormatValue(-1, "anything"), "");
  EXPECT_EQ(ApplyFunction("$$LINK", "a b"), "a%20b");
  EXPECT_EQ(ApplyFunction("$$SHOUT", "v"), "??$$SHOUT?\?(v)");
}

TEST_F(FunctionsTest, FunctionsApplyOnTopOfTheSlotFormat) {
  // CUR_TITLE_PRINT_SHORT is shortened when read; $$PRINT then quotes the result again.
  SetBuiltinVar(page_, builtin::CUR_TITLE_PRINT_SHORT, "A \"quoted\" title that is long");
  EXPECT_EQ(Expand("$(CUR_TITLE_PRINT_SHORT)"), "A &quot;quoted&quot; ...");
  EXPECT_EQ(Expand("$$PRINT($(CUR_TITLE_PRINT_SHORT))"), "A &quot;quoted&quot; ...");
  SetBuiltinVar(page_, builtin::PIC_FILENAME, "My Pic.jpg");
  EXPECT_EQ(Expand("$$LINK($(PIC_FILENAME))"), "My%20Pic.jpg");
  SetBuiltinVar(page_, builtin::PIC_DESC, "one<br>two");
  EXPECT_EQ(Expand("$$MULTILINE($(PIC_DESC))"), "one\r\ntwo");
}

}  // namespace
}  // namespace snapcrate
