#include "app/generator/generate_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/init.h"
#include "app/log.h"
#include "app/program_state.h"
#include "app/schemes/album_config.h"
#include "app/settings.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::WriteFile;

class GenerateDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(fs::path(SNAPCRATE_SOURCE_DIR) / "etc", home_.path() + "etc",
             fs::copy_options::recursive);
    fs::remove(home_ / "etc/snapcrate.ini");
    fs::create_directories(home_ / "pictures/2007");
    fs::create_directories(home_ / "album");
    Init({.home_override = home_.path()});
    WriteSettings(
        {{"GenHTMLSourcePath", home_ / "pictures"}, {"GenHTMLDestPath", home_ / "album"}});
  }
  void TearDown() override { Program().debug_level = 0; }

  /// A dialog whose configuration editor is `edit`, counting its calls.
  GenerateDialog Dialog(std::function<bool(AlbumConfig&)> edit = {}) {
    return GenerateDialog(
        [this, edit](AlbumConfig& buffer) {
          edited_.push_back(buffer);
          return edit ? edit(buffer) : false;
        },
        request_);
  }
  int IndexOf(const std::string& name) const {
    const auto& configs = Configs();
    for (size_t i = 0; i < configs.size(); ++i)
      if (configs[i].name == name) return static_cast<int>(i);
    return -1;
  }
  size_t Count(const std::string& log_line) const {
    return static_cast<size_t>(std::count(ui_.log_lines.begin(), ui_.log_lines.end(), log_line));
  }
  void WriteUserConfig(int number) {
    const std::string n = std::to_string(number);
    WriteFile(home_ / ("etc/config_userdef" + n + ".ini"),
              "[Name]\r\nUser " + n +
                  "\r\n[Description]\r\nMine\r\n[IndexMainScheme]\r\nStandard\r\n"
                  "[ScaledAlbumSchemes]\r\nStandard,640x480,80x80,3,5x2,0x0,1,#000000,80\r\n");
  }

  testing::RecordingUiPort ui_;
  testing::TempDir home_;
  GenerationRequest request_;
  std::vector<AlbumConfig> edited_;
};

TEST_F(GenerateDialogTest, OpeningRereadsAndSelectsByTheStoredPositionElseStandard) {
  struct Case {
    std::string stored_index;
    std::string want;
  };
  ASSERT_EQ(Configs().size(), 5u);
  // A text without a number counts as position 0.
  const Case cases[] = {{"-1", "Standard"},
                        {"1", Configs()[1].name},
                        {"5", "Standard"},
                        {"", Configs()[0].name},
                        {"x", Configs()[0].name}};
  for (const Case& c : cases) {
    WriteSettings({{"GenHTMLConfigIndex", c.stored_index}});
    ui_.log_lines.clear();
    GenerateDialog dialog = Dialog();
    ASSERT_FALSE(ui_.log_lines.empty());
    EXPECT_EQ(ui_.log_lines[0], kRereadingMessage);
    ASSERT_GE(dialog.selected(), 0);
    EXPECT_EQ(dialog.ConfigNames()[static_cast<size_t>(dialog.selected())], c.want)
        << c.stored_index;
  }
  WriteSettings({{"GenHTMLConfigIndex", "-1"}});
  GenerateDialog dialog = Dialog();
  EXPECT_EQ(dialog.ConfigText(),
            "One album of pictures up to 1024 x 768 with 160 x 160 thumbnails, 20 to a "
            "page\r\nSTD:1024 x 768 Pixel");
  EXPECT_EQ(dialog.SourcePath(), home_ / "pictures/");
  EXPECT_EQ(dialog.DestinationPath(), home_ / "album/");
}

TEST_F(GenerateDialogTest, OkFillsTheRequestAndStoresTheFiveSettings) {
  WriteSettings({{"GenHTMLMinQual", "2"}, {"GenHTMLMinOrig", ""}});
  GenerateDialog dialog = Dialog();
  EXPECT_EQ(dialog.min_quality(), 2);
  EXPECT_EQ(dialog.min_originality(), 0);
  dialog.Select(IndexOf("Two sizes"));
  dialog.SetMinOriginality(5);
  dialog.source().SetDirectory(home_ / "pictures/2007");
  ASSERT_TRUE(dialog.Confirm());
  EXPECT_EQ(Program().gen_html_result, "OK");
  EXPECT_EQ(request_.source_path, home_ / "pictures/2007/");
  EXPECT_EQ(request_.destination_path, home_ / "album/");
  EXPECT_EQ(request_.min_quality, 2);
  EXPECT_EQ(request_.min_originality, 5);
  EXPECT_EQ(request_.config, Configs()[static_cast<size_t>(IndexOf("Two sizes"))]);
  EXPECT_EQ(ReadSetting("GenHTMLSourcePath", "?"), home_ / "pictures/2007");
  EXPECT_EQ(ReadSetting("GenHTMLDestPath", "?"), home_ / "album");
  EXPECT_EQ(ReadSetting("GenHTMLMinQual", "?"), "2");
  EXPECT_EQ(ReadSetting("GenHTMLMinOrig", "?"), "5");
  EXPECT_EQ(ReadSetting("GenHTMLConfigIndex", "?"), std::to_string(IndexOf("Two sizes")));
  EXPECT_TRUE(request_.auto_orient);  // not in a new settings file: on
  EXPECT_EQ(ReadSetting("GenHTMLAutoOrient", "?"), "1");
  EXPECT_TRUE(ui_.messages.empty());

  // The stored values come back in the next window.
  GenerateDialog again = Dialog();
  EXPECT_EQ(again.ConfigNames()[static_cast<size_t>(again.selected())], "Two sizes");
  EXPECT_EQ(again.min_originality(), 5);
  EXPECT_EQ(again.SourcePath(), home_ / "pictures/2007/");
}

TEST_F(GenerateDialogTest, NoRatingsGiveTheNoMinimumAndDebugShowsItsNotice) {
  WriteSettings({{"GenHTMLMinQual", "4"}, {"GenHTMLMinOrig", "6"}});
  GenerateDialog dialog = Dialog();
  dialog.ResetRatings();
  dialog.DestinationEqualsSource();
  dialog.SetAutoOrient(false);
  Program().debug_level = 1;
  ASSERT_TRUE(dialog.Confirm());
  EXPECT_FALSE(request_.auto_orient);
  EXPECT_EQ(request_.min_quality, kNoMinimalRating);
  EXPECT_EQ(request_.min_originality, kNoMinimalRating);
  EXPECT_EQ(request_.destination_path, home_ / "pictures/");
  EXPECT_EQ(ReadSetting("GenHTMLMinQual", "?"), "");
  EXPECT_EQ(ReadSetting("GenHTMLMinOrig", "?"), "");
  EXPECT_EQ(ui_.messages, std::vector<std::string>{std::string(kDebugInfoMessage)});
  Program().debug_level = 0;
  EXPECT_FALSE(Dialog().auto_orient());  // the switch is remembered
}

TEST_F(GenerateDialogTest, CancelStoresTheDestinationOnly) {
  GenerateDialog dialog = Dialog();
  dialog.source().SetDirectory(home_ / "pictures/2007");
  dialog.destination().SetDirectory(home_ / "pictures");
  dialog.SetMinQuality(1);
  dialog.Cancel();
  EXPECT_EQ(Program().gen_html_result, "");
  EXPECT_EQ(ReadSetting("GenHTMLDestPath", "?"), home_ / "pictures");
  EXPECT_EQ(ReadSetting("GenHTMLSourcePath", "?"), home_ / "pictures");
  EXPECT_EQ(ReadSetting("GenHTMLMinQual", "?"), "6");
  EXPECT_EQ(request_.source_path, "");
}

TEST_F(GenerateDialogTest, EditOnOkKeepsABackupAndRewritesTheFile) {
  const std::string path = home_ / "etc/config_standard.ini";
  const std::string before = ReadFile(path);
  GenerateDialog dialog = Dialog([](AlbumConfig& buffer) {
    buffer.description = "Changed";
    buffer.scaled[0].quality = 70;
    return true;
  });
  const std::string standard_key = Configs()[static_cast<size_t>(dialog.selected())].key;
  ASSERT_EQ(standard_key, "standard");
  dialog.EditConfig();
  ASSERT_EQ(edited_.size(), 1u);
  EXPECT_EQ(edited_[0].name, "Standard");
  EXPECT_EQ(ReadFile(path + ".bak"), before);
  EXPECT_EQ(ReadFile(path),
            "[Name]\r\nStandard\r\n[Description]\r\nChanged\r\n[IndexMainScheme]\r\nStandard\r\n"
            "[ScaledAlbumSchemes]\r\nStandard,1024x768,160x160,4,5x4,0x0,1,#FFFFFF,70\r\n");
  EXPECT_EQ(Count(std::string(kRereadingMessage)), 2u);
  EXPECT_EQ(Configs()[static_cast<size_t>(dialog.selected())].key, "standard");
  EXPECT_EQ(Configs()[static_cast<size_t>(dialog.selected())].scaled[0].quality, 70);
  EXPECT_EQ(dialog.ConfigText().substr(0, 9), "Changed\r\n");
}

TEST_F(GenerateDialogTest, EditorCancelKeepsTheOldConfiguration) {
  const std::string path = home_ / "etc/config_standard.ini";
  const std::string before = ReadFile(path);
  GenerateDialog dialog = Dialog([](AlbumConfig& buffer) {
    buffer.scaled.clear();  // changed, then cancelled
    return false;
  });
  const AlbumConfig kept = Configs()[static_cast<size_t>(dialog.selected())];
  dialog.EditConfig();
  EXPECT_EQ(edited_.size(), 1u);
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_FALSE(fs::exists(path + ".bak"));
  EXPECT_EQ(Configs()[static_cast<size_t>(dialog.selected())], kept);
  EXPECT_EQ(Count(std::string(kRereadingMessage)), 1u);
}

TEST_F(GenerateDialogTest, NewTakesTheFirstFreeUserNumberAndStartsFromTheSelection) {
  WriteUserConfig(1);
  WriteUserConfig(3);
  bool accept = false;
  GenerateDialog dialog = Dialog([&](AlbumConfig&) { return accept; });
  dialog.Select(IndexOf("Two sizes"));
  dialog.NewConfig();  // the editor cancels: nothing is written
  ASSERT_EQ(edited_.size(), 1u);
  EXPECT_EQ(edited_[0].key, "userdef2");
  EXPECT_EQ(edited_[0].name, "UserConfig #2");
  EXPECT_EQ(edited_[0].description, "< description of UserConfig #2 >");
  EXPECT_EQ(edited_[0].scaled.size(), 2u);
  EXPECT_FALSE(fs::exists(home_ / "etc/config_userdef2.ini"));
  EXPECT_EQ(IndexOf("UserConfig #2"), -1);

  accept = true;
  dialog.NewConfig();
  EXPECT_TRUE(fs::exists(home_ / "etc/config_userdef2.ini"));
  ASSERT_GE(IndexOf("UserConfig #2"), 0);
  EXPECT_EQ(dialog.selected(), IndexOf("UserConfig #2"));
  EXPECT_EQ(Configs()[static_cast<size_t>(dialog.selected())].scaled.size(), 2u);
}

TEST_F(GenerateDialogTest, ATwentyFirstConfigurationCannotBeCreated) {
  for (int number = 1; number <= 15; ++number) WriteUserConfig(number);
  GenerateDialog dialog = Dialog([](AlbumConfig&) { return true; });
  ASSERT_EQ(Configs().size(), 20u);
  dialog.NewConfig();
  EXPECT_TRUE(edited_.empty());
  EXPECT_EQ(ui_.messages, std::vector<std::string>{std::string(kTooManyConfigsMessage)});
  EXPECT_FALSE(fs::exists(home_ / "etc/config_userdef16.ini"));
}

TEST_F(GenerateDialogTest, DeleteAsksItsQuestionAndKeepsABackup) {
  WriteUserConfig(1);
  GenerateDialog dialog = Dialog();
  const std::string user_path = home_ / "etc/config_userdef1.ini";
  const std::string user_text = ReadFile(user_path);
  dialog.Select(IndexOf("User 1"));
  ui_.answers = {MessageAnswer::kNo};
  dialog.DeleteConfig();
  EXPECT_TRUE(fs::exists(user_path));
  EXPECT_FALSE(fs::exists(user_path + ".bak"));
  ui_.answers = {MessageAnswer::kYes};
  dialog.DeleteConfig();
  EXPECT_EQ(ui_.messages,
            (std::vector<std::string>{"Deleting Scheme 'User 1'?", "Deleting Scheme 'User 1'?"}));
  EXPECT_FALSE(fs::exists(user_path));
  EXPECT_EQ(ReadFile(user_path + ".bak"), user_text);
  EXPECT_EQ(IndexOf("User 1"), -1);
  EXPECT_EQ(dialog.ConfigNames().size(), 5u);

  ui_.messages.clear();
  dialog.Select(IndexOf("Standard"));
  ui_.answers = {MessageAnswer::kYes};
  dialog.DeleteConfig();
  EXPECT_EQ(ui_.messages, std::vector<std::string>{std::string(kDeleteStandardConfigQuestion)});
  EXPECT_FALSE(fs::exists(home_ / "etc/config_standard.ini"));
  EXPECT_TRUE(fs::exists(home_ / "etc/config_standard.ini.bak"));
  EXPECT_EQ(IndexOf("Standard"), -1);
  EXPECT_GE(dialog.selected(), 0);
  EXPECT_LT(dialog.selected(), 4);
}

TEST_F(GenerateDialogTest, OkWithoutAnyConfigurationIsRefused) {
  for (const auto& entry : fs::directory_iterator(home_ / "etc"))
    if (entry.path().filename().string().starts_with("config_")) fs::remove(entry.path());
  const std::string settings = ReadFile(home_ / "etc/snapcrate.ini");
  GenerateDialog dialog = Dialog();
  EXPECT_EQ(dialog.selected(), -1);
  EXPECT_EQ(dialog.ConfigText(), "");
  dialog.EditConfig();
  dialog.DeleteConfig();
  EXPECT_FALSE(dialog.Confirm());
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{"Warning: No Snapcrate Configurations found!",
                                                    std::string(kNoConfigSelectedMessage)}));
  EXPECT_TRUE(edited_.empty());
  EXPECT_EQ(Program().gen_html_result, "");
  EXPECT_EQ(ReadFile(home_ / "etc/snapcrate.ini"), settings);
}

}  // namespace
}  // namespace snapcrate
