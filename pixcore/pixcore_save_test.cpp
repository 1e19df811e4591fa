// Writing JPEG files: sizes, quality range, stripped metadata, whole-or-nothing.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vips/vips.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "pixcore/pixcore.h"
#include "pixcore/pixcore_test_support.h"

namespace snapcrate::testing {
namespace {

TEST(PixCoreSave, AcceptsQualityFromOneToHundredOnly) {
  ScratchDir dir;
  ASSERT_TRUE(WritePhotoLike(dir / "photo.jpg", 320, 240));
  int32_t code = 0;
  const int32_t bitmap = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, (dir / "photo.jpg").c_str(), &code);
  ASSERT_NE(bitmap, 0);
  struct Case {
    int32_t quality;
    int32_t result;
  };
  const Case cases[] = {{-1, PIXCORE_ERROR_ARGUMENT},
                        {0, PIXCORE_ERROR_ARGUMENT},
                        {1, PIXCORE_OK},
                        {100, PIXCORE_OK},
                        {101, PIXCORE_ERROR_ARGUMENT}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.quality);
    const std::string out = dir / ("q" + std::to_string(c.quality) + ".jpg");
    EXPECT_EQ(PixCore_SaveImageAsJpeg(bitmap, out.c_str(), c.quality), c.result);
    EXPECT_EQ(std::filesystem::exists(out), c.result == PIXCORE_OK);
  }
  EXPECT_LT(std::filesystem::file_size(dir / "q1.jpg") * 4,
            std::filesystem::file_size(dir / "q100.jpg"));
  EXPECT_LT(MeanDifference(dir / "photo.jpg", dir / "q100.jpg"), 2.0);
  PixCore_DeleteBitmap(bitmap);
}

TEST(PixCoreSave, StripsCameraMetadataFromProducedFiles) {
  ScratchDir dir;
  const std::string original = dir / "camera.jpg";
  ASSERT_TRUE(WriteJpegWithOrientation(original, 64, 48, 6));
  const std::vector<int> markers = JpegMarkersBeforeScan(original);
  ASSERT_NE(std::find(markers.begin(), markers.end(), 0xE1), markers.end());
  int32_t code = 0;
  const int32_t bitmap = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, original.c_str(), &code);
  const std::string out = dir / "web.jpg";
  ASSERT_EQ(PixCore_SaveImageAsJpeg(bitmap, out.c_str(), 90), PIXCORE_OK);
  for (int marker : JpegMarkersBeforeScan(out)) {
    // A JFIF header is all that may precede the picture.
    EXPECT_EQ(marker, 0xE0) << std::hex << marker;
  }
  PixCore_DeleteBitmap(bitmap);
}

TEST(PixCoreSave, FitsPictureIntoBoxWithBackgroundBands) {
  // The album's thumbnail recipe: canvas of the box, background, picture centred.
  ScratchDir dir;
  ASSERT_TRUE(WriteQuadrants(dir / "wide.jpg", 1600, 1200));
  int32_t code = 0;
  const int32_t picture =
      PixCore_LoadImageForBox(PIXCORE_DETECT_FORMAT, (dir / "wide.jpg").c_str(), 640, 640, &code);
  ASSERT_NE(picture, 0);
  const int32_t canvas = PixCore_CreateBitmap(640 + 2 * 5, 640 + 2 * 5);
  ASSERT_EQ(PixCore_FillBitmap(canvas, 0, 0, 0), PIXCORE_OK);
  ASSERT_EQ(PixCore_LinearDownScaleCopy(picture, canvas, 5, 5 + 80, 640, 480), PIXCORE_OK);
  const std::string out = dir / "tile.jpg";
  ASSERT_EQ(PixCore_SaveImageAsJpeg(canvas, out.c_str(), 85), PIXCORE_OK);
  EXPECT_EQ(FileSize(out), (Size{650, 650}));
  EXPECT_TRUE(Near(PixelAt(out, 320, 40), Rgb{0, 0, 0})) << PixelAt(out, 320, 40);
  EXPECT_TRUE(Near(PixelAt(out, 20, 100), kRed)) << PixelAt(out, 20, 100);
  EXPECT_TRUE(Near(PixelAt(out, 620, 550), kWhite)) << PixelAt(out, 620, 550);
  EXPECT_TRUE(Near(PixelAt(out, 320, 610), Rgb{0, 0, 0})) << PixelAt(out, 320, 610);
  PixCore_DeleteBitmap(canvas);
  PixCore_DeleteBitmap(picture);
}

TEST(PixCoreSave, FailedWriteLeavesNoFileBehind) {
  ScratchDir dir;
  const int32_t canvas = PixCore_CreateBitmap(32, 32);
  ASSERT_NE(canvas, 0);
  std::filesystem::create_directory(dir / "taken.jpg");
  EXPECT_EQ(PixCore_SaveImageAsJpeg(canvas, (dir / "missing/out.jpg").c_str(), 90),
            PIXCORE_ERROR_WRITE);
  EXPECT_EQ(PixCore_SaveImageAsJpeg(canvas, (dir / "taken.jpg").c_str(), 90), PIXCORE_ERROR_WRITE);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.jpg"));
  EXPECT_EQ(PixCore_SaveImageAsJpeg(canvas, nullptr, 90), PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(dir.List(), std::vector<std::string>{"taken.jpg"});
  PixCore_DeleteBitmap(canvas);
}

TEST(PixCoreSave, ReplacesAnOlderFileWhole) {
  ScratchDir dir;
  const std::string out = dir / "out.jpg";
  ASSERT_TRUE(WriteBytes(out, std::string(500000, 'x')));
  const int32_t canvas = PixCore_CreateBitmap(20, 10);
  ASSERT_EQ(PixCore_SaveImageAsJpeg(canvas, out.c_str(), 90), PIXCORE_OK);
  EXPECT_EQ(FileSize(out), (Size{20, 10}));
  EXPECT_LT(std::filesystem::file_size(out), 5000u);
  EXPECT_EQ(dir.List(), std::vector<std::string>{"out.jpg"});
  // Readable by the web server: the mode follows the umask, not a private 0600.
  struct stat info;
  ASSERT_EQ(stat(out.c_str(), &info), 0);
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
  PixCore_DeleteBitmap(canvas);
}

// The generator saves its tiles in one pipeline; the files must be the ones
// the canvas in memory gave.
TEST(PixCoreSave, TileSavedInOnePassEqualsTheCanvasDrawnInMemory) {
  ScratchDir dir;
  ASSERT_TRUE(WritePhotoLike(dir / "photo.jpg", 1600, 1200));
  ASSERT_TRUE(WriteHalfTransparentPng(dir / "half.png", 200, 100));
  int32_t code = 0;
  const int32_t photo = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, (dir / "photo.jpg").c_str(), &code);
  const int32_t half = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, (dir / "half.png").c_str(), &code);
  ASSERT_NE(photo, 0);
  ASSERT_NE(half, 0);
  const struct {
    const char* name;
    int32_t source;
    int canvas_width, canvas_height, x, y, width, height, red, green, blue;
  } cases[] = {
      {"centred", photo, 640, 640, 0, 80, 640, 480, 60, 60, 60},
      {"borders", photo, 648, 484, 4, 2, 640, 480, 255, 255, 255},
      {"fills it", photo, 1024, 768, 0, 0, 1024, 768, 0, 0, 0},
      {"clipped", photo, 300, 200, -50, -20, 400, 300, 10, 200, 30},
      {"outside", photo, 100, 100, 200, 200, 50, 50, 0, 0, 255},
      {"upwards", half, 656, 656, 8, 168, 640, 320, 60, 60, 60},
      {"alpha", half, 120, 80, 10, 15, 100, 50, 0, 128, 255},
      {"clamped", half, 120, 80, 10, 15, 100, 50, 300, -5, 128},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string in_memory = dir / "in_memory.jpg";
    const std::string one_pass = dir / "one_pass.jpg";
    const int32_t canvas = PixCore_CreateBitmap(c.canvas_width, c.canvas_height);
    ASSERT_EQ(PixCore_FillBitmap(canvas, c.red, c.green, c.blue), PIXCORE_OK);
    ASSERT_EQ(PixCore_LinearDownScaleCopy(c.source, canvas, c.x, c.y, c.width, c.height), PIXCORE_OK);
    ASSERT_EQ(PixCore_SaveImageAsJpeg(canvas, in_memory.c_str(), 85), PIXCORE_OK);
    PixCore_DeleteBitmap(canvas);
    ASSERT_EQ(PixCore_SaveTileAsJpeg(c.source, one_pass.c_str(), c.canvas_width, c.canvas_height,
                                     c.x, c.y, c.width, c.height, c.red, c.green, c.blue, 85),
              PIXCORE_OK);
    EXPECT_EQ(ReadBytes(one_pass), ReadBytes(in_memory));
  }
  PixCore_DeleteBitmap(photo);
  PixCore_DeleteBitmap(half);
}

// Opaque pictures skip libvips' saver; the files must not notice: the same
// chroma halving, tables, quality and markers, so the same bytes.
TEST(PixCoreSave, WritesTheBytesLibvipsSaverWrites) {
  ScratchDir dir;
  const struct {
    int width, height, quality;
  } cases[] = {
      {600, 450, 85},  // standard Huffman tables, chroma halved
      {320, 240, 85},  // optimised tables
      {601, 449, 95},  // full chroma, odd sizes
      {33, 17, 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " q" +
                 std::to_string(c.quality));
    const std::string photo = dir / "photo.jpg";
    const std::string lossless = dir / "photo.png";
    ASSERT_TRUE(WritePhotoLike(photo, c.width, c.height));
    VipsImage* decoded = vips_image_new_from_file(photo.c_str(), nullptr);
    ASSERT_NE(decoded, nullptr);
    ASSERT_EQ(vips_pngsave(decoded, lossless.c_str(), nullptr), 0);
    g_object_unref(decoded);
    VipsImage* pixels = vips_image_new_from_file(lossless.c_str(), nullptr);
    ASSERT_NE(pixels, nullptr);
    const std::string by_libvips = dir / "libvips.jpg";
    ASSERT_EQ(vips_jpegsave(pixels, by_libvips.c_str(), "Q", c.quality, "strip", TRUE,
                            "optimize_coding", c.width * c.height <= 512 * 512, nullptr),
              0);
    g_object_unref(pixels);
    int32_t code = 0;
    const int32_t bitmap = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, lossless.c_str(), &code);
    ASSERT_NE(bitmap, 0);
    const std::string ours = dir / "ours.jpg";
    ASSERT_EQ(PixCore_SaveImageAsJpeg(bitmap, ours.c_str(), c.quality), PIXCORE_OK);
    PixCore_DeleteBitmap(bitmap);
    EXPECT_EQ(ReadBytes(ours), ReadBytes(by_libvips));
  }
}

TEST(PixCoreSave, TileRefusesWhatTheCanvasRouteRefuses) {
  ScratchDir dir;
  const int32_t bitmap = PixCore_CreateBitmap(10, 10);
  const std::string out = dir / "t.jpg";
  const struct {
    const char* name;
    int32_t source;
    std::string path;
    int canvas_width, canvas_height, width, quality;
    int32_t result;
  } cases[] = {
      {"quality 0", bitmap, out, 20, 20, 10, 0, PIXCORE_ERROR_ARGUMENT},
      {"quality 101", bitmap, out, 20, 20, 10, 101, PIXCORE_ERROR_ARGUMENT},
      {"no bitmap", 0, out, 20, 20, 10, 80, PIXCORE_ERROR_ARGUMENT},
      {"no canvas", bitmap, out, 0, 20, 10, 80, PIXCORE_ERROR_ARGUMENT},
      {"no picture size", bitmap, out, 20, 20, 0, 80, PIXCORE_ERROR_ARGUMENT},
      {"huge canvas", bitmap, out, 40000, 40000, 10, 80, PIXCORE_ERROR_TOO_LARGE},
      {"no directory", bitmap, dir / "none/t.jpg", 20, 20, 10, 80, PIXCORE_ERROR_WRITE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PixCore_SaveTileAsJpeg(c.source, c.path.c_str(), c.canvas_width, c.canvas_height, 0, 0,
                                     c.width, 10, 0, 0, 0, c.quality),
              c.result);
    EXPECT_FALSE(std::filesystem::exists(c.path));
  }
  EXPECT_EQ(PixCore_SaveTileAsJpeg(bitmap, nullptr, 20, 20, 0, 0, 10, 10, 0, 0, 0, 80),
            PIXCORE_ERROR_ARGUMENT);
  PixCore_DeleteBitmap(bitmap);
}

}  // namespace
}  // namespace snapcrate::testing
