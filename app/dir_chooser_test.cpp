#include "app/dir_chooser.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace snapcrate
