#include "app/dir_chooser.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/paths.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

TEST(DirChooserTest, MissingLevelsFallBackToTheNearestParentWithOneMessage) {
  testing::RecordingUiPort ui;
  testing::TempDir dir;
  testing::WriteFile(dir / "photos/x.jpg", "");
  DirChooser chooser({"/", dir.path()});
  SetDirAndDriveControl(dir / "photos/2004/05/", chooser);
  EXPECT_EQ(chooser.directory(), dir / "photos");
  EXPECT_EQ(chooser.volume(), dir.path());
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"Error while setting " + dir / "photos/2004/05/"}));
}

TEST(DirChooserTest, ExistingDirectoryIsSetSilentlyAndDriveChangeReturnsToIt) {
  testing::RecordingUiPort ui;
  testing::TempDir dir;
  testing::WriteFile(dir / "a/x", "");
  DirChooser chooser({"/", dir.path()});
  SetDirAndDriveControl(dir / "a/", chooser);
  EXPECT_EQ(chooser.directory(), dir / "a");
  SetDirAndDriveControl("/", chooser);
  EXPECT_EQ(chooser.volume(), "/");
  DriveChanged(1, chooser);
  EXPECT_EQ(chooser.directory(), dir / "a");
  EXPECT_TRUE(ui.messages.empty());
}

TEST(DirChooserTest, VolumesStartWithRootAndHome) {
  const auto volumes = ListVolumes();
  ASSERT_FALSE(volumes.empty());
  EXPECT_EQ(volumes.front(), "/");
  for (const auto& volume : volumes) EXPECT_EQ(volume.back(), '/');
  EXPECT_EQ(VolumeOf("/media/card/DCIM", {"/", "/media/card/"}), "/media/card/");
  EXPECT_EQ(VolumeOf("/media/cardx", {"/", "/media/card/"}), "/");
}

TEST(DirChooserTest, FreshImportProposesTheCameraCardIntoThePictures) {
  testing::TempDir dir;
  testing::WriteFile(dir / "stick/notes.txt", "");
  testing::WriteFile(dir / "card/dcim/100CANON/IMG_0001.JPG", "");
  testing::WriteFile(dir / "Pictures/x", "");
  std::string source, destination;
  DefaultImportPaths({"/", dir / "stick/", dir / "card/"}, dir / "Pictures", source, destination);
  EXPECT_EQ(source, dir / "card/dcim/");
  EXPECT_EQ(destination, dir / "Pictures/");
  // Without a card: the home; and never the destination itself.
  DefaultImportPaths({"/", dir / "stick/"}, dir / "Pictures/", source, destination);
  EXPECT_EQ(source, GetUserHomeDir());
  DefaultImportPaths({"/"}, GetUserHomeDir(), source, destination);
  EXPECT_EQ(source, "/");
  EXPECT_EQ(destination, GetUserHomeDir());
}

TEST(DirChooserTest, PicturesFolderFromTheDesktopSettingsElsePicturesElseHome) {
  testing::TempDir home;
  const std::string old_home = std::getenv("HOME") ? std::getenv("HOME") : "";
  const char* old_config = std::getenv("XDG_CONFIG_HOME");
  const std::string saved_config = old_config ? old_config : "";
  setenv("HOME", home.path().c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  const std::string alone = GetUserPicturesDir();
  testing::WriteFile(home / "Pictures/x", "");
  const std::string standard = GetUserPicturesDir();
  testing::WriteFile(home / "Fotos/x", "");
  testing::WriteFile(home / "config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"$HOME/Fotos\"\n");
  const std::string configured = GetUserPicturesDir();
  setenv("HOME", old_home.c_str(), 1);
  if (old_config) setenv("XDG_CONFIG_HOME", saved_config.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(alone, home.path());
  EXPECT_EQ(standard, home / "Pictures/");
  EXPECT_EQ(configured, home / "Fotos/");
}

}  // namespace
}  // namespace snapcrate
