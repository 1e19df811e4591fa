#include "app/generator/chapter_info.h"

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::RecordingUiPort;
using testing::TempDir;
using testing::WriteFile;

TEST(StripNumberPrefixTest, DropsOnlyShortNumbersBeforeABlankOrUnderscore) {
  const struct {
    const char* name;
    const char* stripped;
  } cases[] = {
      {"01 Rome", "Rome"},
      {"12_Trip", "Trip"},
      {"1 a b", "a b"},
      {"2004 Rome", "2004 Rome"},
      {"20040512_134501_IMG_0042", "20040512_134501_IMG_0042"},
      {"1a Rome", "1a Rome"},
      {"ab_c d", "ab_c d"},    // the blank stands too far right, the "_" has letters before it
      {"1_a b c", "a b c"},    // the blank at position 4 is too far right: the "_" counts
      {"_extra", "extra"},     // nothing before the separator
      {"Rome", "Rome"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(StripNumberPrefix(c.name), c.stripped) << c.name;
}

class ChapterInfoTest : public ::testing::Test {
 protected:
  ChapterInfoTest() : saved_name_(Program().dir_dsc_name) { Program().dir_dsc_name = "_snapcrate_.dsc"; }
  ~ChapterInfoTest() override { Program().dir_dsc_name = saved_name_; }

  std::string saved_name_;
  RecordingUiPort ui_;
  TempDir dir_;
};

TEST_F(ChapterInfoTest, ChapterWithoutTitleIsNamedAfterItsPath) {
  const struct {
    const char* relative_path;
    const char* title;
  } cases[] = {
      {"", "Home"},
      {"01 Rome/", "Rome"},
      {"2005/", "2005"},
      {"2005/summer/", "2005/summer"},
      {"<b>Tom & Jerry</b>/", "&lt;b&gt;Tom &amp; Jerry&lt;/b&gt;"},  // a name is text
      {"$UNDEFINED$", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadChapterInfo(dir_.path(), c.relative_path).title, c.title) << c.relative_path;
}

TEST_F(ChapterInfoTest, ReadsTheDirectoryDescriptionFile) {
  WriteFile(dir_ / "_snapcrate_.dsc",
            "[Title]\r\nSummer<br>2005\r\n[Description]\r\nLake<br>trip\r\n[Image]\r\n_extra\\IMG_7.JPG\r\n");
  const ChapterInfo info = ReadChapterInfo(dir_.path(), "01 Rome/");
  EXPECT_EQ(info.title, "Summer\r\n2005");
  EXPECT_EQ(info.description, "Lake\r\ntrip");
  EXPECT_EQ(info.index_picture, "_extra/IMG_7.JPG");
  EXPECT_EQ(ReadChapterInfo(dir_.path(), "").title, "Summer\r\n2005");
  // A typed title may hold HTML on purpose.
  WriteFile(dir_ / "_snapcrate_.dsc", "[Title]\r\n<i>Rome</i> & more\r\n");
  EXPECT_EQ(ReadChapterInfo(dir_.path(), "<x>/").title, "<i>Rome</i> & more");
}

}  // namespace
}  // namespace snapcrate
