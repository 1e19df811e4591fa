#include "app/import/import_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/file_lib.h"
#include "app/program_state.h"
#include "app/settings.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

class ImportDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Program() = ProgramState{};
    Program().home_dir = home_.path();
    std::filesystem::create_directories(home_ / "etc");
    std::filesystem::create_directories(home_ / "card/DCIM");
    std::filesystem::create_directories(home_ / "archive");
    ReadSettings();
  }
  void TearDown() override { Program() = ProgramState{}; }

  testing::RecordingUiPort ui_;
  testing::TempDir home_;
};

TEST_F(ImportDialogTest, OpensOnTheStoredPathsAndFlags) {
  WriteSettings({{"ImportMediaFilesSourcePath", home_ / "card/DCIM"},
                 {"ImportMediaFilesDestPath", home_ / "archive/"},
                 {"ImportMediaFilesLogFile", "0"},
                 {"ImportMediaFilesAddOrigFilename", "yes"},
                 {"ImportMediaFilesEXIFJPEGOnly", "1"}});
  Program().import_result = "OK";
  ImportRequest request;
  ImportDialog dialog(request);
  EXPECT_EQ(Program().import_result, "");
  EXPECT_EQ(dialog.raw_source(), home_ / "card/DCIM");
  EXPECT_EQ(dialog.ShownSource(), home_ / "card/DCIM/");
  EXPECT_EQ(dialog.raw_destination(), home_ / "archive");
  EXPECT_EQ(dialog.ShownDestination(), home_ / "archive/");
  EXPECT_FALSE(request.options.log_file);
  EXPECT_TRUE(request.options.add_orig_filename);  // anything but "0" is true
  EXPECT_TRUE(request.options.exif_jpeg_only);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ImportDialogTest, RootGivesOneSlashAndMissingDirectoryFallsBackToItsParent) {
  WriteSettings({{"ImportMediaFilesSourcePath", "/"}, {"ImportMediaFilesDestPath", home_ / "archive/2007/05"}});
  ImportRequest request;
  ImportDialog dialog(request);
  EXPECT_EQ(dialog.raw_source(), "/");
  EXPECT_EQ(dialog.ShownSource(), "/");
  EXPECT_EQ(dialog.raw_destination(), home_ / "archive");
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"Error while setting " + home_ / "archive/2007/05"});
}

TEST_F(ImportDialogTest, ConfirmWritesTheRawPathsAndTheFlags) {
  ImportRequest request;
  ImportDialog dialog(request);
  SetDirAndDriveControl(home_ / "card/DCIM/", dialog.source());
  dialog.UpdateSourcePath();
  SetDirAndDriveControl(home_ / "archive", dialog.destination());
  dialog.UpdateDestPath();
  dialog.options().log_file = false;
  dialog.Confirm();
  EXPECT_EQ(Program().import_result, "OK");
  EXPECT_EQ(request.source, home_ / "card/DCIM/");
  EXPECT_EQ(request.destination, home_ / "archive/");
  EXPECT_EQ(ReadSetting("ImportMediaFilesSourcePath", ""), home_ / "card/DCIM");
  EXPECT_EQ(ReadSetting("ImportMediaFilesDestPath", ""), home_ / "archive");
  const std::string file = testing::ReadFile(SettingsPath());
  EXPECT_NE(file.find("[ImportMediaFilesLogFile]\r\n0\r\n"), std::string::npos);
  EXPECT_NE(file.find("[ImportMediaFilesAddOrigFilename]\r\n1\r\n"), std::string::npos);
  EXPECT_NE(file.find("[ImportMediaFilesEXIFJPEGOnly]\r\n0\r\n"), std::string::npos);
}

}  // namespace
}  // namespace snapcrate
