// Real camera files: every one is sized, decoded and made into a thumbnail.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <vips/vips.h>

#include "pixcore/pixcore.h"
#include "pixcore/pixcore_test_support.h"

namespace snapcrate::testing {
namespace {

const std::filesystem::path kSamples =
    SNAPCRATE_SOURCE_DIR "../shared/testdata/exif-samples";

TEST(PixCoreSamples, LoadsEveryCameraFile) {
  if (!std::filesystem::is_directory(kSamples)) {
    GTEST_SKIP() << "no camera samples at " << kSamples.string();
  }
  ScratchDir dir;
  int pictures = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kSamples)) {
    const std::string path = entry.path().string();
    if (PixCore_GetFileImageType(entry.path().filename().c_str()) == PIXCORE_TYPE_NONE) continue;
    SCOPED_TRACE(path);
    ++pictures;
    int32_t width = 0, height = 0, code = 0;
    ASSERT_EQ(PixCore_GetFileImageSize(PIXCORE_DETECT_FORMAT, path.c_str(), &width, &height),
              PIXCORE_OK);
    const Size header{width, height};
    // The orientation read with the size is the decoder's.
    int32_t orientation = 0;
    ASSERT_EQ(PixCore_GetFileImageInfo(PIXCORE_DETECT_FORMAT, path.c_str(), &width, &height, &orientation),
              PIXCORE_OK);
    EXPECT_EQ((Size{width, height}), header);
    VipsImage* opened = vips_image_new_from_file(path.c_str(), nullptr);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(orientation, vips_image_get_orientation(opened));
    g_object_unref(opened);
    const int32_t bitmap = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, path.c_str(), &code);
    ASSERT_NE(bitmap, 0) << "code " << code;
    Size decoded;
    PixCore_GetImageSize(bitmap, &decoded.width, &decoded.height);
    EXPECT_EQ(decoded, header);
    const int32_t canvas = PixCore_CreateBitmap(160, 120);
    ASSERT_EQ(PixCore_LinearDownScaleCopy(bitmap, canvas, 0, 0, 160, 120), PIXCORE_OK);
    const std::string out = dir / "thumb.jpg";
    ASSERT_EQ(PixCore_SaveImageAsJpeg(canvas, out.c_str(), 80), PIXCORE_OK);
    EXPECT_EQ(FileSize(out), (Size{160, 120}));
    PixCore_DeleteBitmap(canvas);
    PixCore_DeleteBitmap(bitmap);
  }
  EXPECT_GT(pictures, 0);
}

// Phone HEIF pictures come out of the decoder turned by their container: the
// size given with the orientation is the upright one, and the orientation
// says no further turn is due, whatever the EXIF tag inside says.
TEST(PixCoreSamples, HeifPicturesAreTurnedOnlyOnce) {
  const std::filesystem::path heif = kSamples.parent_path() / "heic-samples/iphone_13_pro_max.HEIC";
  if (!std::filesystem::exists(heif)) GTEST_SKIP() << "no HEIF sample at " << heif.string();
  int32_t width = 0, height = 0, orientation = 0, code = 0;
  // Stored 4032 x 3024 with an EXIF orientation of 6: held upright.
  ASSERT_EQ(PixCore_GetFileImageInfo(PIXCORE_DETECT_FORMAT, heif.c_str(), &width, &height, &orientation),
            PIXCORE_OK);
  EXPECT_EQ((Size{width, height}), (Size{3024, 4032}));
  EXPECT_EQ(orientation, 1);
  const int32_t bitmap = PixCore_LoadImageForBox(PIXCORE_DETECT_FORMAT, heif.c_str(), 160, 160, &code);
  ASSERT_NE(bitmap, 0) << "code " << code;
  Size decoded;
  PixCore_GetImageSize(bitmap, &decoded.width, &decoded.height);
  EXPECT_GT(decoded.height, decoded.width);
  PixCore_DeleteBitmap(bitmap);
}

}  // namespace
}  // namespace snapcrate::testing
