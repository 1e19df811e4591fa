#include "app/template/template_compiler.h"

#include <cstdio>

#include "app/template/node_dump.h"
#include "app/template/page_sections.h"
#include "app/template/template_test_support.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::TemplateTest;

class CompilerTest : public TemplateTest {};

// The dump of a compiled template as text, and whether it flagged a problem.
std::pair<std::string, bool> Dump(NodeId first) {
  testing::TempDir dir;
  const std::string path = dir / "dump.txt";
  bool suspect;
  {
    auto file = OpenForOutput(path);
    suspect = DumpNodes(file.get(), first, 0);
    file->Close();
  }
  return {testing::ReadFile(path), suspect};
}

TEST_F(CompilerTest, EmptyTemplateCompilesToNoNode) {
  EXPECT_EQ(CompileTemplate(""), 0);
  EXPECT_EQ(ExpandNodes(page_, 0), "");
  EXPECT_EQ(NodeCounter(), 1);
}

TEST_F(CompilerTest, PlainTextIsOneStrNode) {
  const NodeId n = CompileTemplate("abc");
  ASSERT_NE(n, 0);
  EXPECT_EQ(Node(n).type, kNodeStr);
  EXPECT_EQ(Node(n).text, "abc");
  EXPECT_EQ(Node(n).next, 0);
}

TEST_F(CompilerTest, TextBeforeADirectiveIsItsOwnNode) {
  const NodeId n = CompileTemplate("<b>$(PIC_TITLE)</b>");
  ASSERT_EQ(Node(n).type, kNodeStr);
  EXPECT_EQ(Node(n).text, "<b>");
  const TemplateNode& var = Node(Node(n).next);
  EXPECT_EQ(var.type, kNodeVar);
  EXPECT_EQ(var.kind, kKindBuiltin);
  EXPECT_EQ(var.index, builtin::PIC_TITLE);
  EXPECT_EQ(Node(var.next).text, "</b>");
}

TEST_F(CompilerTest, ConditionalsOutputTheirBodyExactly) {
  SetGlobalValues();
  const std::string body = " line one\r\n  line two \r\n";
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"$$IFDEF$(ALWAYS_DEFINED)$$THEN" + body + "$$ENDIF", body},
      {"$$IFNDEF$(ALWAYS_DEFINED)$$THEN" + body + "$$ENDIF", ""},
      {"$$IFDEF$(NEVER_DEFINED)$$THEN" + body + "$$ENDIF", ""},
      {"$$IFNDEF$(NEVER_DEFINED)$$THEN" + body + "$$ENDIF", body},
      {"a$$IFDEF$(ALWAYS_DEFINED)$$THEN$$ENDIFb", "ab"},
      // A "$$THEN" or "$$ENDIF" of no conditional is text.
      {"x $$THEN y $$ENDIF z", "x $$THEN y $$ENDIF z"},
  };
  for (const auto& c : cases) EXPECT_EQ(Expand(c.text), c.expected) << c.text;
}

TEST_F(CompilerTest, BlanksAroundTheConditionVariableMakeItUnknown) {
  SetGlobalValues();
  EXPECT_EQ(Expand("[$$IFDEF $(ALWAYS_DEFINED) $$THEN body$$ENDIF]"),
            "[+++ IF SYNTAX ERROR +++ \" $(ALWAYS_DEFINED) \" not found]");
  EXPECT_EQ(Expand("$$IFDEF$(ALWAYS_DEFINED)\r\n$$THEN body$$ENDIF after"),
            "+++ IF SYNTAX ERROR +++ \"$(ALWAYS_DEFINED)\r\n\" not found after");
}

TEST_F(CompilerTest, NestedConditionalsCloseInnermostFirst) {
  const std::string text =
      "$$IFDEF$(PIC_TITLE)$$THEN1$$IFNDEF$(PIC_DESC)$$THEN2$$ENDIF3$$ENDIF4";
  const struct {
    bool a_defined;
    bool b_defined;
    const char* expected;
  } cases[] = {{true, false, "1234"}, {true, true, "134"}, {false, false, "4"}, {false, true, "4"}};
  const NodeId first = CompileTemplate(text);
  for (const auto& c : cases) {
    VarSet set;
    if (c.a_defined) SetBuiltinVar(set, builtin::PIC_TITLE, "t");
    if (c.b_defined) SetBuiltinVar(set, builtin::PIC_DESC, "d");
    EXPECT_EQ(ExpandNodes(set, first), c.expected) << c.a_defined << c.b_defined;
  }
}

TEST_F(CompilerTest, BrokenConditionalsBecomeTheMarkerAndDropTheRest) {
  const char* cases[] = {
      "before$$IFDEF$(PIC_TITLE)$$THEN body and no end $(PIC_TITLE)",
      "before$$IFDEF$(PIC_TITLE) no then $$ENDIF after",
      "before$$IFNDEF$(PIC_TITLE)$$ENDIF$$THEN after",
      "before$$IFDEF$(PIC_TITLE)$$THEN$$IFDEF$(PIC_DESC)$$THEN$$ENDIF",
  };
  for (const char* text : cases) EXPECT_EQ(Expand(text), "before+++ IF SYNTAX ERROR +++ ") << text;
}

TEST_F(CompilerTest, FunctionsNeedTwoClosingBrackets) {
  SetBuiltinVar(page_, builtin::PIC_TITLE, "Sun \"set\"");
  EXPECT_EQ(Expand("a$$PRINT($(PIC_TITLE)"), "a+++ FUNCTION SYNTAX ERROR +++ ");
  EXPECT_EQ(Expand("a$$LINK"), "a+++ FUNCTION SYNTAX ERROR +++ ");
  EXPECT_EQ(Expand("a$$PRINT($(PIC_TITEL))b$(PIC_TITLE)"),
            "a+++ FUNCTION SYNTAX ERROR +++ \"$(PIC_TITEL)\" not foundbSun &quot;set&quot;");
  // The bracket after the name is skipped whatever it is, and the function
  // works on the value in its slot's own format.
  EXPECT_EQ(Expand("$$LINK[$(PIC_TITLE))"), "Sun%20&quot;set&quot;");
}

TEST_F(CompilerTest, PrintShortWinsOverPrintAtTheSamePlace) {
  const NodeId n = CompileTemplate("$$PRINT_SHORT($(PIC_TITLE))");
  EXPECT_EQ(Node(n).type, kNodeFunc);
  EXPECT_EQ(Node(n).text, "$$PRINT_SHORT");
  EXPECT_EQ(Node(n).next, 0);
}

TEST_F(CompilerTest, TheEarliestDirectiveIsTakenFirst) {
  SetBuiltinVar(page_, builtin::PIC_TITLE, "T");
  SetBuiltinVar(page_, builtin::PIC_DESC, "D");
  EXPECT_EQ(Expand("$(PIC_DESC)$$PRINT($(PIC_TITLE))$$IFDEF$(PIC_DESC)$$THEN!$$ENDIF"), "DT!");
}

TEST_F(CompilerTest, MisspelledReferenceMakesLaterReferencesLiteral) {
  SetBuiltinVar(page_, builtin::PIC_TITLE, "Title");
  EXPECT_EQ(Expand("<p>$(PIC_TITEL) $(PIC_TITLE)</p>"), "<p>$(PIC_TITEL) $(PIC_TITLE)</p>");
  // The next function call ends the literal stretch.
  EXPECT_EQ(Expand("$(PIC_TITEL) $(PIC_TITLE) $$PRINT($(PIC_TITLE)) $(PIC_TITLE)"),
            "$(PIC_TITEL) $(PIC_TITLE) Title Title");
  // A reference without a closing bracket is text as well.
  EXPECT_EQ(Expand("$(PIC_TITLE"), "$(PIC_TITLE");

  ResetNodes();
  const auto [dump, suspect] = Dump(CompileTemplate("$(PIC_TITEL) $(PIC_TITLE)"));
  EXPECT_TRUE(suspect);
  EXPECT_EQ(dump,
            "STR \"$(PIC_TITEL) $(PIC_TITLE)\"\r\n"
            "+++ Warning: Misspelled variable??\r\n");
}

TEST_F(CompilerTest, CommonFileAndPageReferencesCompile) {
  const int file = AddFileName("style");
  const int page = AddPageName("pic");
  SetFileVar(page_, file, "../_common_/style.css");
  SetPageVar(page_, page, "IMG 1.jpg_pic.htm");
  EXPECT_EQ(Expand("$(FILES[style])|$(PAGES[pic])|$(FILES[other])"),
            "../_common_/style.css|IMG%201.jpg_pic.htm|$(FILES[other])");
}

TEST_F(CompilerTest, FindMatchingEndifSkipsNestedBlocks) {
  const struct {
    const char* text;
    int expected;
  } cases[] = {
      {"$$IFDEF$(A)$$THENx$$ENDIF", 19},
      {"$$IFDEF$(A)$$THEN$$IFNDEF$(B)$$THEN$$ENDIF$$ENDIF", 43},
      {"$$IFDEF$(A)$$THEN$$IFDEF$(B)$$THEN$$ENDIF", 0},
      {"$$IFDEF$(A)$$THEN", 0},
      {"$$IFNDEF$$ENDIF$$IFDEF$$ENDIF", 9},
  };
  for (const auto& c : cases) EXPECT_EQ(FindMatchingEndif(c.text), c.expected) << c.text;
}

TEST_F(CompilerTest, DumpShowsTheTreeAndFlagsSyntaxErrors) {
  const NodeId n = CompileTemplate(
      "<h1>$$IFDEF$(PIC_TITLE)$$THEN$$PRINT_SHORT($(PIC_TITLE))$$IFNDEF$(PIC_DESC)$$THEN-$$ENDIF"
      "$$ENDIF$(CUR_ROOT_LINK)$$IFDEF$(NOPE)$$THENx$$ENDIF");
  const auto [dump, suspect] = Dump(n);
  EXPECT_TRUE(suspect);
  EXPECT_EQ(dump,
            "STR \"<h1>\"\r\n"
            "IFDEF $(PIC_TITLE) THEN\r\n"
            "  FUNC $$PRINT_SHORT($(PIC_TITLE))\r\n"
            "  IFNDEF $(PIC_DESC) THEN\r\n"
            "    STR \"-\"\r\n"
            "  ENDIF\r\n"
            "ENDIF\r\n"
            "VAR $(CUR_ROOT_LINK)\r\n"
            "STR \"+++ IF SYNTAX ERROR +++ \"$(NOPE)\" not found\"\r\n"
            "+++ Warning: Misspelled variable??\r\n"
            "+++ SYNTAX ERROR ?!\r\n");
  EXPECT_FALSE(DumpNodes(nullptr, CompileTemplate("<p>$(PIC_TITLE)</p>"), 0));
  EXPECT_TRUE(DumpNodes(nullptr, CompileTemplate("$$LINK"), 0));
}

TEST_F(CompilerTest, ExpandSectionEndsLinesAndAddsDebugComments) {
  PageSections sections;
  sections.text[section::PageStart] = "<!DOCTYPE html>";
  sections.text[section::MainSection] = "<p>$(PIC_INDEXNO)</p>";
  CompilePageSections(sections);
  SetBuiltinVar(page_, builtin::PIC_INDEXNO, "7");
  EXPECT_TRUE(IsSectionEmpty(sections, section::HeadSection));
  EXPECT_FALSE(IsSectionEmpty(sections, section::MainSection));
  EXPECT_EQ(ExpandSection(page_, sections, section::PageStart), "<!DOCTYPE html>\r\n");
  EXPECT_EQ(ExpandSection(page_, sections, section::MainSection), "<p>7</p>\r\n");
  EXPECT_EQ(ExpandSection(page_, sections, section::HeadSection), "");

  Program().debug_level = 1;
  EXPECT_EQ(ExpandSection(page_, sections, section::PageStart), "<!DOCTYPE html>\r\n");
  EXPECT_EQ(ExpandSection(page_, sections, section::MainSection),
            "\r\n<!--MainSection-->\r\n<p>7</p>\r\n");
  EXPECT_EQ(ExpandSection(page_, sections, section::HeadSection), "\r\n<!--HeadSection-->\r\n");
  EXPECT_EQ(ExpandSection(page_, sections, 23), "\r\n<!---->\r\n");
}

TEST_F(CompilerTest, PoolHandsOutNode4998AndEndsTheProgramAtTheNext) {
  for (int i = 1; i <= 4997; ++i) ASSERT_EQ(AllocNode(), i);
  EXPECT_EQ(AllocNode(), 4998);
  EXPECT_TRUE(ui_.fatal_messages.empty());
  EXPECT_THROW(AllocNode(), FatalEndError);
  EXPECT_EQ(ui_.fatal_messages, std::vector<std::string>{"out of nodes"});
  // Every later request ends the program too, never handing out a node past the pool.
  EXPECT_THROW(AllocNode(), FatalEndError);
  ResetNodes();
  EXPECT_EQ(AllocNode(), 1);
}

TEST_F(CompilerTest, CompilingTooManyNodesEndsTheProgram) {
  std::string text;
  for (int i = 0; i < 4998; ++i) text += "$(PIC_TITLE)";
  const NodeId first = CompileTemplate(text);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(NodeCounter(), 4999);
  SetBuiltinVar(page_, builtin::PIC_TITLE, "x");
  EXPECT_EQ(ExpandNodes(page_, first), std::string(4998, 'x'));

  ResetNodes();
  text += "$(PIC_TITLE)";
  EXPECT_THROW(CompileTemplate(text), FatalEndError);
  EXPECT_EQ(ui_.fatal_messages, std::vector<std::string>{"out of nodes"});
}

TEST_F(CompilerTest, DeepNestingNeedsNoDeepStackToCompile) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "$$IFDEF$(ALWAYS_DEFINED)$$THEN";
  text += "core";
  for (int i = 0; i < 2000; ++i) text += "$$ENDIF";
  SetGlobalValues();
  EXPECT_EQ(Expand(text), "core");
  EXPECT_EQ(NodeCounter(), 2002);
}

}  // namespace
}  // namespace snapcrate
