#include "app/pictures/image_library.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/file_lib.h"
#include "app/paths.h"
#include "pixcore/pixcore.h"
#include "tests/support/exif_writer/camera_exif.h"
#include "tests/support/exif_writer/file_bytes.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

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

bool LibvipsLoaded() {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line))
    if (line.find("/libvips.so") != std::string::npos) return true;
  return false;
}

// An unchanged album asks only for sizes; loading libvips with its hundred
// libraries is left to the first picture that must be decoded, and must
// still happen then. (No other test of this program decodes.)
TEST_F(ImageLibraryTest, SizesFromHeadersLeaveLibvipsUnloadedUntilADecode) {
#if !defined(__x86_64__)
  GTEST_SKIP() << "libpixcore is linked to libvips on this machine";
#endif
  testing::TempDir dir;
  const std::string path = dir / "a.jpg";
  exif_writer::WriteFileBytes(path, exif_writer::MakeCameraJpeg({.orientation = 6}, exif_writer::MakeGrayJpeg(24, 16)));
  int32_t width = 0, height = 0, orientation = 0;
  ASSERT_EQ(PixCoreGetFileImageInfo(-2, path, width, height, orientation), 1);
  EXPECT_EQ(width, 24);
  EXPECT_EQ(height, 16);
  EXPECT_EQ(orientation, 6);
  EXPECT_EQ(PixCoreCompareFiles(path, path), 0);
  EXPECT_FALSE(LibvipsLoaded());

  const auto load = reinterpret_cast<PixCore_LoadImageFn>(PixCoreLibrary().Find("PixCore_LoadImage"));
  const auto remove = reinterpret_cast<PixCore_DeleteBitmapFn>(PixCoreLibrary().Find("PixCore_DeleteBitmap"));
  ASSERT_TRUE(load && remove);
  int32_t error = 0;
  const int32_t bitmap = load(PIXCORE_DETECT_FORMAT, path.c_str(), &error);
  EXPECT_GT(bitmap, 0) << error;
  EXPECT_TRUE(LibvipsLoaded());
  remove(bitmap);
  EXPECT_TRUE(ui_.log_lines.empty());
}

}  // namespace
}  // namespace snapcrate
