#include "app/template/var_set.h"

#include "app/template/template_test_support.h"
#include "app/template/user_vars.h"

namespace snapcrate {
namespace {

using testing::TemplateTest;

class VarSetTest : public TemplateTest {};

TEST_F(VarSetTest, UnsetVariablesExpandToTheirUndefinedMarker) {
  EXPECT_EQ(GetVarValue(page_, kKindBuiltin, builtin::PIC_TITLE), "{UNDEFINED($(PIC_TITLE))}");
  EXPECT_FALSE(IsVarDefined(page_, kKindBuiltin, builtin::PIC_TITLE));
  const int file = AddFileName("css");
  const int page = AddPageName("index");
  EXPECT_EQ(GetVarValue(page_, kKindFile, file), "{UNDEFINED($(FILES[css]))}");
  EXPECT_EQ(GetVarValue(page_, kKindPage, page), "{UNDEFINED($(PAGES[index]))}");
  EXPECT_EQ(GetVarValue(page_, 7, 1), "$$$");
  EXPECT_FALSE(IsVarDefined(page_, 7, 1));
  // A function works on the marker like on any value.
  EXPECT_EQ(Expand("$$LINK($(PIC_DESC))"), "{UNDEFINED($(PIC_DESC))}");
}

TEST_F(VarSetTest, PageSetWinsOverGlobalSetForBuiltins) {
  SetGlobalVar(builtin::SCHEME_NAME, "global");
  EXPECT_EQ(GetVarValue(page_, kKindBuiltin, builtin::SCHEME_NAME), "global");
  SetBuiltinVar(page_, builtin::SCHEME_NAME, "page");
  EXPECT_EQ(GetVarValue(page_, kKindBuiltin, builtin::SCHEME_NAME), "page");
  ClearBuiltinVar(page_, builtin::SCHEME_NAME);
  EXPECT_EQ(GetVarValue(page_, kKindBuiltin, builtin::SCHEME_NAME), "global");
  ClearGlobalVar(builtin::SCHEME_NAME);
  EXPECT_EQ(GetVarValue(page_, kKindBuiltin, builtin::SCHEME_NAME), "{UNDEFINED($(SCHEME_NAME))}");
}

TEST_F(VarSetTest, ClearedVariableNoLongerOutputsItsOldValue) {
  SetBuiltinVar(page_, builtin::PIC_DESC, "old text");
  const NodeId first = CompileTemplate("[$(PIC_DESC)]$$IFDEF$(PIC_DESC)$$THEN!$$ENDIF");
  EXPECT_EQ(ExpandNodes(page_, first), "[old text]!");
  ClearBuiltinVar(page_, builtin::PIC_DESC);
  EXPECT_EQ(ExpandNodes(page_, first), "[{UNDEFINED($(PIC_DESC))}]");
  SetBuiltinVar(page_, builtin::PIC_DESC, "x");
  ClearVarSet(page_);
  EXPECT_EQ(ExpandNodes(page_, first), "[{UNDEFINED($(PIC_DESC))}]");
}

TEST_F(VarSetTest, ValuesAreFormattedByTheirSlotType) {
  SetBuiltinVar(page_, builtin::PIC_TITLE, "\"Q\"");
  SetBuiltinVar(page_, builtin::PIC_FULL_LINK, "800x600\\IMG 1.jpg");
  SetBuiltinVar(page_, builtin::PIC_FILENAME, "IMG 1.jpg");
  EXPECT_EQ(GetBuiltinValue(page_, builtin::PIC_TITLE), "&quot;Q&quot;");
  EXPECT_EQ(GetBuiltinValue(page_, builtin::PIC_FULL_LINK), "800x600/IMG%201.jpg");
  EXPECT_EQ(GetBuiltinValue(page_, builtin::PIC_FILENAME), "IMG 1.jpg");
  // Common-file values are stored as given, page values in link form.
  const int file = AddFileName("css");
  const int page = AddPageName("pic");
  SetFileVar(page_, file, "a b.css");
  EXPECT_EQ(GetVarValue(page_, kKindFile, file), "a b.css");
  SetFileLinkVar(page_, file, "..\\a b.css");
  EXPECT_EQ(GetVarValue(page_, kKindFile, file), "../a%20b.css");
  SetPageVar(page_, page, "x y.htm");
  EXPECT_EQ(GetVarValue(page_, kKindPage, page), "x%20y.htm");
}

TEST_F(VarSetTest, FilesAndPagesHaveNoGlobalValueButCountAsDefinedThere) {
  const int file = AddFileName("css");
  SetFileVar(GlobalVarSet(), file, "global.css");
  EXPECT_TRUE(IsVarDefined(page_, kKindFile, file));
  EXPECT_EQ(GetVarValue(page_, kKindFile, file), "{UNDEFINED($(FILES[css]))}");
}

TEST_F(VarSetTest, CheckPathLogsMalformedPathsOnlyInDebugMode) {
  const struct {
    int debug;
    std::string value;
    bool logged;
  } cases[] = {
      {0, "a//b", false},  {1, "a//b", true},         {1, "http://x//y", false},
      {1, "a\\\\b", true}, {1, "a/\\b", true},        {1, "a\\/b", true},
      {1, "a/b\\c", false}, {2, "text // comment", true},
  };
  for (const auto& c : cases) {
    Program().debug_level = static_cast<int16_t>(c.debug);
    ui_.log_lines.clear();
    EXPECT_EQ(CheckPath(c.value), c.value);
    const std::vector<std::string> expected =
        c.logged ? std::vector<std::string>{"malformed path: \"" + c.value + "\"?"}
                 : std::vector<std::string>{};
    EXPECT_EQ(ui_.log_lines, expected) << c.debug << " " << c.value;
  }
}

TEST_F(VarSetTest, ExpansionChecksEveryValueItReads) {
  SetBuiltinVar(page_, builtin::PIC_FILENAME, "a//b");
  Program().debug_level = 1;
  ui_.log_lines.clear();
  EXPECT_EQ(Expand("$(PIC_FILENAME)"), "a//b");
  EXPECT_EQ(ui_.log_lines, std::vector<std::string>{"malformed path: \"a//b\"?"});
}

TEST_F(VarSetTest, LookupOrderAndNames) {
  EXPECT_EQ(FindBuiltinIndex("$(PIC_TITLE)"), builtin::PIC_TITLE);
  EXPECT_EQ(FindBuiltinIndex("PIC_TITLE"), -1);
  EXPECT_EQ(FindBuiltinIndex("$(pic_title)"), -1);
  // "$(####)" finds the first free user slot.
  EXPECT_EQ(FindBuiltinIndex("$(####)"), kFirstUserSlot);
  // A user variable named like a fixed one gets its own slot, but templates keep the fixed one.
  EXPECT_EQ(AddUserVariable("PIC_TITLE"), kFirstUserSlot);
  const VarRef ref = FindVariable("$(PIC_TITLE)");
  EXPECT_EQ(ref.index, builtin::PIC_TITLE);
  EXPECT_EQ(FindBuiltinIndex("$(####)"), kFirstUserSlot + 1);
  EXPECT_EQ(GetVarName(kKindBuiltin, builtin::CUR_ROOT_LINK), "$(CUR_ROOT_LINK)");
  EXPECT_EQ(GetVarName(0, 1), "$$$");
  EXPECT_EQ(GetVarName(4, 1), "$$$");
}

TEST_F(VarSetTest, FileAndPageNamesFillTheirTablesInOrder) {
  EXPECT_EQ(AddFileName("a"), 1);
  EXPECT_EQ(AddFileName("b"), 2);
  EXPECT_EQ(AddFileName("a"), 1);
  EXPECT_EQ(FindFileName("b"), 2);
  EXPECT_EQ(FindFileName("c"), -1);
  EXPECT_EQ(Names().file[2], "$(FILES[b])");
  for (int i = 3; i <= kFileSlots; ++i) ASSERT_EQ(AddFileName("f" + std::to_string(i)), i);
  EXPECT_EQ(AddFileName("one more"), -1);
  for (int i = 1; i <= kPageSlots; ++i) ASSERT_EQ(AddPageName("p" + std::to_string(i)), i);
  EXPECT_EQ(AddPageName("one more"), -1);
  EXPECT_EQ(FindVariable("$(PAGES[p50])").kind, kKindPage);
  EXPECT_EQ(FindVariable("$(PAGES[p50])").index, 50);
}

}  // namespace
}  // namespace snapcrate
