#include "app/generator/link_helpers.h"

#include <gtest/gtest.h>

#include "app/generator/album_root.h"
#include "tests/support/recording_ui_port.h"

namespace snapcrate {
namespace {

TEST(RelativePathTest, StepsUpToTheCommonDirectoryThenDown) {
  const struct {
    const char* from;
    const char* to;
    const char* path;
  } cases[] = {
      {"/d/_sc_/", "/d/_sc_/_common_/style.css", "_common_/style.css"},
      {"/d/_sc_/2004/Rome/", "/d/_sc_/_common_/style.css", "../../_common_/style.css"},
      {"/d/_sc_/2004", "/d/_sc_/2004/_640x480_/a.jpg",
       "_640x480_/a.jpg"},  // "/" added to the start
      {"/d/_sc_/", "/d/_sc_", "../_sc_"},
      {"/d/_sc_/a/", "/d/_sc_", "../../_sc_"},
      {"/d/_sc_/a/", "/d/_sc_/a/", ""},
      {"/d/_sc_/a/", "/src/2004/a.jpg", "../../../src/2004/a.jpg"},
      {"/d/ab/", "/d/abc/x.jpg", "../abc/x.jpg"},            // a longer name is no prefix
      {"/d/Photos/", "/d/photos/x.jpg", "../photos/x.jpg"},  // names differ by letter case
      {"a/b/", "c/d.jpg", "../../c/d.jpg"},                  // relative paths meet at their start
      {"", "x.jpg", "x.jpg"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetRelativePath(c.from, c.to), c.path) << c.from << " -> " << c.to;
}

TEST(EscapeLinkKeyTest, EncodesWhatWouldBreakALinkOrAnAttribute) {
  const struct {
    std::string key;
    const char* escaped;
  } cases[] = {
      {"a b", "a%20b"},
      {"100%", "100%25"},
      {"Rome_2004-05 (2)", "Rome_2004-05%20(2)"},
      {"tab\there", "tab%09here"},
      {"\x7f", "\x7f"},  // 127 is kept
      {"\x80", "%80"},
      {"Z\xc3\xbcrich", "Z%C3%BCrich"},  // UTF-8 bytes one by one
      {"say \"hi\" <b>'x'", "say%20%22hi%22%20%3Cb%3E%27x%27"},
      {"a&b=c#d", "a&b=c#d"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeLinkKey(c.key), c.escaped) << c.key;
}

TEST(CommonFileLinksTest, LinksEveryFileOfThePageAndClearsTheRest) {
  testing::RecordingUiPort ui;
  VarSet set;
  SetFileVar(set, 2, "left over from the last page");
  CommonFileValues files;
  files[1] = "style.css";
  files[3] = "_common_\\logo one.png";  // a value naming the scheme's directory
  files[kFileSlots] = "last.js";

  SetCommonFileLinks(set, files, "/d/_sc_/2004/Rome/", "/d/_sc_");
  EXPECT_TRUE(set.file_defined[1]);
  EXPECT_EQ(set.file_values[1], "../../_common_/style.css");
  EXPECT_FALSE(set.file_defined[2]);
  EXPECT_EQ(set.file_values[3], "../../_common_/logo%20one.png");
  EXPECT_EQ(set.file_values[kFileSlots], "../../_common_/last.js");
  for (int slot = 4; slot < kFileSlots; ++slot) EXPECT_FALSE(set.file_defined[slot]) << slot;
  ASSERT_TRUE(set.builtin_defined[builtin::CUR_ROOT_LINK]);
  EXPECT_EQ(set.builtin_values[builtin::CUR_ROOT_LINK], "../../../_sc_");

  SetCommonFileLinks(set, files, "/d/_sc_/", "/d/_sc_");
  EXPECT_EQ(set.file_values[1], "_common_/style.css");
  EXPECT_EQ(set.builtin_values[builtin::CUR_ROOT_LINK], "../_sc_");
  EXPECT_TRUE(ui.log_lines.empty());
}

}  // namespace
}  // namespace snapcrate
