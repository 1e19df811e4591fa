#include "app/pictures/image_library.h"

#include <gtest/gtest.h>

#include "app/file_lib.h"
#include "app/paths.h"
#include "tests/support/recording_ui_port.h"

namespace snapcrate {
namespace {

using testing::RecordingUiPort;

// Bound before any test reaches the library: the binding looks it up once.
const bool kLibraryDirSet = (SetLibraryDir(SNAPCRATE_TEST_HOME), true);

class ImageLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!FileExists(std::string(SNAPCRATE_TEST_HOME) + "libpixcore.so"))
      GTEST_SKIP() << "libpixcore.so is not built in " << SNAPCRATE_TEST_HOME;
  }
  RecordingUiPort ui_;
};

TEST_F(ImageLibraryTest, TellsPicturesByTheirNameAlone) {
  ASSERT_TRUE(kLibraryDirSet);
  for (const char* name : {"a.jpg", "IMG_0042.JPG", "_extra/b.jpeg", "c.tif", "d.png"})
    EXPECT_NE(PixCoreGetFileImageType(name), -1) << name;
  for (const char* name : {"a.dsc", "_snapcrate_.dsc", "STOP_SNAPCRATE", "notes.txt", "noext"})
    EXPECT_EQ(PixCoreGetFileImageType(name), -1) << name;
  EXPECT_TRUE(ui_.log_lines.empty());
}

TEST_F(ImageLibraryTest, FileThatIsNoPictureHasNoSize) {
  int32_t width = 7, height = 7;
  EXPECT_NE(PixCoreGetFileImageSize(-2, "/nonexistent/a.jpg", width, height), 1);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
}

}  // namespace
}  // namespace snapcrate
