#include "app/generator/pixcore_bitmaps.h"

#include <gtest/gtest.h>

#include "app/file_lib.h"
#include "app/library_loader.h"
#include "pixcore/pixcore.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::RecordingUiPort;
using testing::TempDir;

const bool kLibraryDirSet = (SetLibraryDir(SNAPCRATE_TEST_HOME), true);

class PixCoreBitmapsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kLibraryDirSet);
    if (!FileExists(std::string(SNAPCRATE_TEST_HOME) + "libpixcore.so"))
      GTEST_SKIP() << "libpixcore.so is not built in " << SNAPCRATE_TEST_HOME;
  }
  RecordingUiPort ui_;
  TempDir dir_;
};

TEST_F(PixCoreBitmapsTest, FreesEachBitmapExactlyOnce) {
  int32_t handle = 0;
  {
    PixBitmap bitmap = PixCoreCreateBitmap(30, 20);
    ASSERT_TRUE(bitmap);
    handle = bitmap.get();
    PixBitmap moved = std::move(bitmap);
    EXPECT_FALSE(bitmap);
    EXPECT_EQ(moved.get(), handle);
  }
  // Freed when its owner went away; a second free is refused.
  EXPECT_EQ(PixCoreDeleteBitmap(handle), PIXCORE_ERROR_ARGUMENT);

  PixBitmap kept = PixCoreCreateBitmap(5, 5);
  const int32_t released = kept.Release();
  EXPECT_FALSE(kept);
  EXPECT_EQ(PixCoreDeleteBitmap(released), PIXCORE_OK);

  PixBitmap replaced = PixCoreCreateBitmap(5, 5);
  const int32_t first = replaced.get();
  replaced = PixCoreCreateBitmap(6, 6);
  EXPECT_EQ(PixCoreDeleteBitmap(first), PIXCORE_ERROR_ARGUMENT);
  EXPECT_TRUE(ui_.log_lines.empty());
}

TEST_F(PixCoreBitmapsTest, DrawsSavesLoadsAndTurnsThroughTheLibrary) {
  PixBitmap canvas = PixCoreCreateBitmap(64, 48);
  ASSERT_TRUE(canvas);
  ASSERT_EQ(PixCoreFillBitmap(canvas.get(), 200, 30, 30), PIXCORE_OK);
  PixBitmap small = PixCoreCreateBitmap(8, 6);
  ASSERT_EQ(PixCoreScaleCopy(small.get(), canvas.get(), PIXCORE_SCALE_BEST), PIXCORE_OK);
  ASSERT_EQ(PixCoreLinearDownScaleCopy(small.get(), canvas.get(), 1, 1, 4, 3), PIXCORE_OK);
  const std::string path = dir_ / "a.jpg";
  ASSERT_EQ(PixCoreSaveImageAsJpeg(canvas.get(), path, 90), PIXCORE_OK);

  int32_t code = 0;
  PixBitmap loaded = PixCoreLoadImage(PIXCORE_DETECT_FORMAT, path, code);
  ASSERT_EQ(code, PIXCORE_OK);
  int32_t width = 0, height = 0;
  ASSERT_EQ(PixCoreGetImageSize(loaded.get(), width, height), PIXCORE_OK);
  EXPECT_EQ(width, 64);
  EXPECT_EQ(height, 48);

  PixBitmap rotated;
  ASSERT_EQ(PixCoreRotateCopy(loaded.get(), rotated, 90), PIXCORE_OK);
  ASSERT_EQ(PixCoreGetImageSize(rotated.get(), width, height), PIXCORE_OK);
  EXPECT_EQ(width, 48);
  EXPECT_EQ(height, 64);
  ASSERT_EQ(PixCoreGetImageSize(loaded.get(), width, height), PIXCORE_OK);
  EXPECT_EQ(width, 64);  // the source is untouched
}

TEST_F(PixCoreBitmapsTest, FailuresLeaveNoBitmapBehind) {
  int32_t code = 0;
  EXPECT_FALSE(PixCoreLoadImage(PIXCORE_DETECT_FORMAT, dir_ / "missing.jpg", code));
  EXPECT_EQ(code, PIXCORE_ERROR_OPEN);
  EXPECT_FALSE(PixCoreLoadImageForBox(PIXCORE_DETECT_FORMAT, dir_ / "missing.jpg", 160, 160, code));
  EXPECT_EQ(code, PIXCORE_ERROR_OPEN);
  PixBitmap rotated = PixCoreCreateBitmap(2, 2);
  EXPECT_EQ(PixCoreRotateCopy(0, rotated, 90), PIXCORE_ERROR_ARGUMENT);
  EXPECT_FALSE(rotated);
  EXPECT_FALSE(PixCoreCreateBitmap(0, 10));
  int32_t width = 7, height = 7;
  EXPECT_EQ(PixCoreGetImageSize(0, width, height), PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
}

TEST_F(PixCoreBitmapsTest, MissingLibraryIsALogLineAndAFailureCode) {
  TempDir empty;
  SetLibraryDir(empty.path());
  int32_t code = 0;
  const PixBitmap bitmap = PixCoreLoadImage(PIXCORE_DETECT_FORMAT, dir_ / "a.jpg", code);
  const PixBitmap canvas = PixCoreCreateBitmap(10, 10);
  int32_t width = 7, height = 7;
  const int32_t size_code = PixCoreGetImageSize(1, width, height);
  SetLibraryDir(SNAPCRATE_TEST_HOME);

  EXPECT_FALSE(bitmap);
  EXPECT_EQ(code, PIXCORE_ERROR_INIT);
  EXPECT_FALSE(canvas);
  EXPECT_EQ(size_code, PIXCORE_ERROR_INIT);
  EXPECT_EQ(width, 0);
  ASSERT_EQ(ui_.log_lines.size(), 1u);  // logged once, not at every call
  EXPECT_EQ(ui_.log_lines[0].rfind("Can't load library " + empty.path() + "libpixcore.so: ", 0), 0u)
      << ui_.log_lines[0];
}

}  // namespace
}  // namespace snapcrate
