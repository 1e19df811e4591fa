#include "app/init.h"

#include <gtest/gtest.h>

#include "app/file_lib.h"
#include "app/log.h"
#include "app/program_state.h"
#include "app/settings.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::ReadFile;
using testing::RecordingUiPort;
using testing::TempDir;
using testing::WriteFile;

class InitTest : public ::testing::Test {
 protected:
  // Start-up ends the program without a scheme, so every home gets a small one.
  InitTest() {
    WriteFile(home_ / "etc/scheme_test/scheme.ini",
              "[Name]\r\nTest\r\n[ShortName]\r\nT\r\n[Description]\r\nd\r\n[PageSchemes]\r\nindex=p\r\n");
    WriteFile(home_ / "etc/scheme_test/p.ini", "[MainSection]\r\n<p>$(CHAPTER_TITLE)</p>\r\n");
    WriteFile(home_ / "etc/config_test.ini",
              "[Name]\r\nTest\r\n[IndexMainScheme]\r\nTest\r\n[ScaledAlbumSchemes]\r\n"
              "Test,800x600,100x100,4,5x3,0x0,1,#000000,85\r\n");
  }
  void RunInit() { Init({.home_override = home_.path()}); }
  RecordingUiPort ui_;
  TempDir home_;
};

TEST_F(InitTest, CreatesTheSettingsFileWithSeventeenKeysInOrder) {
  WriteFile(home_ / "etc/stoplist.txt", "");
  RunInit();
  const std::string path = home_ / "etc/snapcrate.ini";
  EXPECT_EQ(ui_.log_lines.front(), "Info: Creating new \"" + path + "\"");
  EXPECT_EQ(ui_.log_lines.back(), "Initialization completed.");
  EXPECT_TRUE(Program().initialized);
  LineStore store(101);
  ASSERT_EQ(ReadLines(path, store), 34);
  const char* keys[] = {"GenDebug", "GenOwnIndexPageSubNodesThreshold", "DirDscName", "GenHTMLRootDir",
                        "ImportMediaFilesSourcePath", "ImportMediaFilesDestPath", "AdjustExifDateTimePath",
                        "AddDescPath", "AddDescImageIndex", "GenHTMLSourcePath", "GenHTMLDestPath",
                        "GenHTMLMinQual", "GenHTMLMinOrig", "GenHTMLConfigIndex",
                        "RotateLoslessAtOriginalLocation", "Copyright", "ExtViewer"};
  for (size_t i = 0; i < std::size(keys); ++i) EXPECT_EQ(store[2 * i], "[" + std::string(keys[i]) + "]");
  EXPECT_EQ(store[3], "2");
  EXPECT_EQ(store[5], "_snapcrate_.dsc");
  EXPECT_EQ(store[27], "-1");
  EXPECT_EQ(Program().debug_level, 0);
  EXPECT_EQ(Program().own_index_page_sub_nodes_threshold, 2);
  EXPECT_EQ(Program().gen_html_ext, ".htm");
  EXPECT_EQ(Program().dir_dsc_name, "_snapcrate_.dsc");

  // A second start creates nothing.
  ui_.log_lines.clear();
  RunInit();
  EXPECT_EQ(ui_.log_lines, (std::vector<std::string>{"Reading Scheme Test ...", "Stoplist read!", "Initialization completed."}));
}

TEST_F(InitTest, ConvertsNumericSettingsByTheirLeadingNumber) {
  const struct {
    const char* debug;
    const char* threshold;
    int want_debug;
    int want_threshold;
  } cases[] = {{"3x", "0", 3, 861}, {"", "abc", 0, 861}, {"1", "5", 1, 5}, {" 2.5", "-3", 2, 861}};
  for (const auto& c : cases) {
    WriteFile(home_ / "etc/snapcrate.ini", std::string("[GenDebug]\r\n") + c.debug +
                                               "\r\n[GenOwnIndexPageSubNodesThreshold]\r\n" + c.threshold +
                                               "\r\n[GenHTMLExt]\r\n.html\r\n");
    RunInit();
    EXPECT_EQ(Program().debug_level, c.want_debug) << c.debug;
    EXPECT_EQ(Program().own_index_page_sub_nodes_threshold, c.want_threshold) << c.threshold;
    EXPECT_EQ(Program().gen_html_ext, ".html");
  }
}

TEST_F(InitTest, UnpackOnFirstStartShowsTheSettingsDialog) {
  WriteFile(home_ / "unzip", "#!/bin/sh\nexit 0\n");
  chmod((home_ / "unzip").c_str(), 0755);
  WriteFile(home_ / "etc/stoplist.txt", "");
  WriteFile(home_ / "__inst.zip", "PK");
  RunInit();
  EXPECT_EQ(ui_.settings_dialogs, 1);
  RunInit();
  EXPECT_EQ(ui_.settings_dialogs, 1);
}

TEST_F(InitTest, SettingsFileThatCannotBeCreatedLeavesDefaults) {
  // A directory where the settings file belongs: the file cannot be written,
  // start-up goes on with defaults.
  WriteFile(home_ / "etc/snapcrate.ini/keep", "");
  RunInit();
  EXPECT_TRUE(Program().initialized);
  EXPECT_EQ(Program().own_index_page_sub_nodes_threshold, 2);
  EXPECT_EQ(ReadSetting("GenHTMLConfigIndex", "-1"), "-1");
}

TEST(FindHomeDirTest, FindsTheExecutablesOwnDirectoryFirst) {
  std::string dir;
  EXPECT_TRUE(FindHomeDir("snapcrate_core_test", dir));
  EXPECT_EQ(dir.back(), '/');
  EXPECT_FALSE(FindHomeDir("no-such-executable-name", dir));
}

}  // namespace
}  // namespace snapcrate
