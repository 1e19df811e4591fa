#include "app/generator/album_root.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app/file_lib.h"
#include "app/paths.h"
#include "app/program_state.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::ReadFile;
using testing::RecordingUiPort;
using testing::TempDir;
using testing::WriteFile;

class AlbumRootTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_home_ = Program().home_dir;
    saved_extension_ = Program().gen_html_ext;
    Program().home_dir = home_.path();
    Program().gen_html_ext = ".htm";
    WriteFile(home_ / "etc/readme.txt", "read me\r\n");
    WriteFile(home_ / "etc/redirect.htm.ini",
              "<html>\r\n<meta http-equiv=\"refresh\" content=\"0; url=$(REDIRECT_LINK)\">\n"
              "<a href=\"$(REDIRECT_LINK)\">$(REDIRECT_LINK)</a>\r\n</html>");
    // The run makes the album root before it puts the root files in.
    std::filesystem::create_directories(dest_ + "_snapcrate_");
    std::filesystem::create_directories(dest_ + "album");
  }
  void TearDown() override {
    Program().home_dir = saved_home_;
    Program().gen_html_ext = saved_extension_;
  }

  RecordingUiPort ui_;
  TempDir home_;
  TempDir dir_;
  const std::string dest_ = dir_ / "dest/";
  std::string saved_home_;
  std::string saved_extension_;
};

TEST_F(AlbumRootTest, PutsFixedFilesRedirectPageAndCommonFilesInPlace) {
  WriteFile(dir_ / "scheme_a/_common_/style.css", "a style");
  WriteFile(dir_ / "scheme_a/_common_/shared.js", "a script");
  WriteFile(dir_ / "scheme_b/_common_/shared.js", "b script");
  WriteFile(dir_ / "scheme_b/_common_/icons/x.png", "not copied: below a subdirectory");
  WriteFile(dir_ / "scheme_c/scheme.ini", "no common files");
  const std::vector<std::string> schemes = {dir_ / "scheme_a", dir_ / "scheme_c",
                                            dir_ / "scheme_b/"};

  CopyAlbumRootFiles(dest_, "_snapcrate_", schemes);

  EXPECT_EQ(ReadFile(dest_ + "readme.txt"), "read me\r\n");
  EXPECT_EQ(ReadFile(dest_ + "_snapcrate_/readme.txt"), "read me\r\n");
  // No starter is installed on this system, and none is made up.
  EXPECT_FALSE(std::filesystem::exists(dest_ + "go.exe"));
  EXPECT_FALSE(std::filesystem::exists(dest_ + "_snapcrate_/go.exe"));
  EXPECT_EQ(ReadFile(dest_ + "index.htm"),
            "<html>\r\n<meta http-equiv=\"refresh\" content=\"0; url=_snapcrate_/index.htm\">\r\n"
            "<a href=\"_snapcrate_/index.htm\">_snapcrate_/index.htm</a>\r\n</html>\r\n");
  const std::string common = dest_ + "_snapcrate_/_common_/";
  EXPECT_EQ(ReadFile(common + "style.css"), "a style");
  EXPECT_EQ(ReadFile(common + "shared.js"), "b script");  // the later scheme wins
  EXPECT_FALSE(std::filesystem::exists(common + "icons"));
  EXPECT_TRUE(ui_.log_lines.empty());
}

TEST_F(AlbumRootTest, InstalledStarterGoesBesideTheAlbumAndRerunsReplaceFiles) {
  WriteFile(home_ / "etc/go.exe", "starter");
  CopyAlbumRootFiles(dest_, "album", {});
  EXPECT_EQ(ReadFile(dest_ + "go.exe"), "starter");
  EXPECT_EQ(ReadFile(dest_ + "album/go.exe"), "starter");
  EXPECT_TRUE(IsDirectory(dest_ + "album/_common_"));

  WriteFile(home_ / "etc/readme.txt", "new text");
  Program().gen_html_ext = ".html";
  CopyAlbumRootFiles(dest_, "album", {});
  EXPECT_EQ(ReadFile(dest_ + "readme.txt"), "new text");
  EXPECT_EQ(ReadFile(dest_ + "album/readme.txt"), "new text");
  EXPECT_NE(ReadFile(dest_ + "index.html").find("url=album/index.html\""), std::string::npos);
  EXPECT_TRUE(ui_.log_lines.empty());
}

TEST_F(AlbumRootTest, RedirectLinkIsInLinkFormAndAMissingTemplateWritesNothing) {
  WriteRedirectPage(dest_, "my \"album\"");
  EXPECT_NE(ReadFile(dest_ + "index.htm").find("href=\"my%20%22album%22/index.htm\""),
            std::string::npos)
      << ReadFile(dest_ + "index.htm");

  std::filesystem::remove(home_ / "etc/redirect.htm.ini");
  std::filesystem::remove(dest_ + "index.htm");
  WriteRedirectPage(dest_, "album");
  EXPECT_FALSE(std::filesystem::exists(dest_ + "index.htm"));
  EXPECT_TRUE(ui_.log_lines.empty());
}

}  // namespace
}  // namespace snapcrate
