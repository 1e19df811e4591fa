#include "app/template/builtin_variables.h"

#include "app/template/template_test_support.h"
#include "app/template/user_vars.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::TemplateTest;
using testing::TempDir;
using testing::WriteFile;

class BuiltinVariablesTest : public TemplateTest {
 protected:
  std::string Global(int slot) {
    const VarSet& global = GlobalVarSet();
    return global.builtin_defined[slot] ? global.builtin_values[slot] : "<undefined>";
  }
};

TEST_F(BuiltinVariablesTest, InitNamesFillsSlotsTypesSectionsAndFunctions) {
  const struct {
    int slot;
    const char* name;
    int type;
  } cases[] = {
      {1, "$(ALWAYS_DEFINED)", FMT_PLAIN},          {4, "$(VERSION)", FMT_PRINT},
      {24, "$(CHAPTER_MAINFULLPAGE_LINK)", FMT_LINK}, {37, "$(PIC_TITLE)", FMT_PRINT},
      {42, "$(PIC_FULL_LINK66)", FMT_LINK},         {58, "$(PIC_SCALEDWIDTH66)", FMT_PLAIN},
      {79, "$(CUR_TITLE_PRINT_SHORT)", FMT_PRINT_SHORT}, {86, "$(CUR_ROOT_LINK)", FMT_LINK},
      {87, "$(####)", FMT_PLAIN},                   {96, "$(####)", FMT_PLAIN},
      {97, "$(PIC_THUMBNAIL2X_LINK)", FMT_LINK},    {98, "$(CHAPTER_MAINTHUMBNAIL2X_LINK)", FMT_LINK},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Names().builtin[c.slot], c.name) << c.slot;
    EXPECT_EQ(Names().builtin_type[c.slot], c.type) << c.slot;
  }
  EXPECT_EQ(Names().section[1], "PageStart");
  EXPECT_EQ(Names().section[20], "PicThumbailTabEnd");
  EXPECT_EQ(Names().section[22], "SubChapterEnd");
  EXPECT_EQ(Names().section[23], "");
  EXPECT_EQ(Names().function[1], "$$PRINT_SHORT");
  EXPECT_EQ(Names().function[4], "$$MULTILINE");
}

TEST_F(BuiltinVariablesTest, SetGlobalValuesSetsProgramValues) {
  Program().copyright = "(c) Me";
  SetGlobalValues();
  EXPECT_EQ(Global(builtin::VERSION), "V1.80 (2007-05-06)");
  EXPECT_EQ(Global(builtin::COPYRIGHT), "(c) Me");
  EXPECT_EQ(Global(builtin::ALWAYS_DEFINED), "TRUE");
  EXPECT_EQ(Global(builtin::DEBUG), "<undefined>");
  EXPECT_FALSE(Global(builtin::GENDATE).empty());
  EXPECT_FALSE(Global(builtin::GENTIME).empty());
  EXPECT_EQ(Expand("$$IFDEF$(DEBUG)$$THEN debug $$ENDIF$$IFNDEF$(NEVER_DEFINED)$$THENok$$ENDIF"),
            "ok");
  Program().debug_level = 3;
  SetGlobalValues();
  EXPECT_EQ(Global(builtin::DEBUG), "3");
  Program().copyright.clear();
}

TEST_F(BuiltinVariablesTest, DatesFollowTheUserLocale) {
  // 2007-05-06 12:34:56 local time in the C locale's forms.
  struct tm parts = {};
  parts.tm_year = 107;
  parts.tm_mon = 4;
  parts.tm_mday = 6;
  parts.tm_hour = 12;
  parts.tm_min = 34;
  parts.tm_sec = 56;
  parts.tm_isdst = -1;
  const std::time_t time = mktime(&parts);
  const char* saved = getenv("LC_ALL");
  const std::string restore = saved ? saved : "";
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(FormatLocalDate(time), "05/06/07");
  EXPECT_EQ(FormatLocalTime(time), "12:34:56");
  if (saved) setenv("LC_ALL", restore.c_str(), 1);
  else unsetenv("LC_ALL");
}

TEST_F(BuiltinVariablesTest, UserVariablesFileSetsClearsAndReports) {
  TempDir dir;
  WriteFile(dir / "uservar.txt",
            "// comment line\r\n"
            "\r\n"
            "TITLE_PREFIX=My album\r\n"
            "no equals sign\r\n"
            "HOME=http://example.org/photos // where I live\r\n"
            "SPACED = both sides \r\n"
            "EMPTY=\r\n"
            "a//b=c\r\n");
  SetGlobalVar(90, "stale");  // the slot EMPTY will get
  ReadUserVars(dir.path());
  EXPECT_EQ(ui_.messages,
            std::vector<std::string>{"File " + dir / "uservar.txt" + ": Syntaxerror in line 4"});
  EXPECT_EQ(Global(FindBuiltinIndex("$(TITLE_PREFIX)")), "My album");
  EXPECT_EQ(Global(FindBuiltinIndex("$(HOME)")), "http:");
  EXPECT_EQ(Global(FindBuiltinIndex("$(SPACED )")), " both sides");
  EXPECT_EQ(FindBuiltinIndex("$(EMPTY)"), 90);
  EXPECT_EQ(Global(90), "<undefined>");
  // The comment is cut after "=" was found: the name is what is left, the value empty.
  EXPECT_EQ(Global(FindBuiltinIndex("$(a)")), "<undefined>");
  EXPECT_EQ(Expand("$$IFDEF$(EMPTY)$$THENx$$ENDIF[$(TITLE_PREFIX)]"), "[My album]");
}

TEST_F(BuiltinVariablesTest, EleventhUserVariableFindsNoSlot) {
  TempDir dir;
  std::string text;
  for (int i = 1; i <= 11; ++i) text += "V" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  text += "V3=again\r\n";
  WriteFile(dir / "uservar.txt", text);
  ReadUserVars(dir.path());
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"Couldn't set new uservar 'V11'!"});
  EXPECT_EQ(Global(FindBuiltinIndex("$(V10)")), "10");
  EXPECT_EQ(Global(FindBuiltinIndex("$(V3)")), "again");
  EXPECT_EQ(FindBuiltinIndex("$(V11)"), -1);
}

TEST_F(BuiltinVariablesTest, MissingUserVariablesFileIsNoError) {
  TempDir dir;
  ReadUserVars(dir.path());
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_TRUE(ui_.log_lines.empty());
}

}  // namespace
}  // namespace snapcrate
