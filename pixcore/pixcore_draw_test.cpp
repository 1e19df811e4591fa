// Bitmaps in memory: creating, filling, rotating, drawing scaled, freeing.

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include <vips/vips.h>

#include "pixcore/pixcore.h"
#include "pixcore/pixcore_test_support.h"

namespace snapcrate::testing {
namespace {

int32_t Load(const std::string& path) {
  int32_t code = 0;
  const int32_t bitmap = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, path.c_str(), &code);
  EXPECT_EQ(code, PIXCORE_OK) << path;
  return bitmap;
}

Size BitmapSize(int32_t bitmap) {
  Size size;
  PixCore_GetImageSize(bitmap, &size.width, &size.height);
  return size;
}

int32_t FilledCanvas(int width, int height, Rgb colour) {
  const int32_t canvas = PixCore_CreateBitmap(width, height);
  EXPECT_NE(canvas, 0);
  EXPECT_EQ(PixCore_FillBitmap(canvas, colour.red, colour.green, colour.blue), PIXCORE_OK);
  return canvas;
}

std::string Save(int32_t bitmap, const std::string& path) {
  EXPECT_EQ(PixCore_SaveImageAsJpeg(bitmap, path.c_str(), 100), PIXCORE_OK);
  return path;
}

TEST(PixCoreDraw, CreatesBitmapsOnlyOfSensibleSize) {
  struct Case {
    int32_t width, height;
    bool made;
  };
  const Case cases[] = {{1, 1, true},    {640, 480, true},  {0, 10, false},
                        {10, 0, false},  {-5, 10, false},   {10, -5, false},
                        {1 << 16, 1 << 14, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    const int32_t bitmap = PixCore_CreateBitmap(c.width, c.height);
    EXPECT_EQ(bitmap != 0, c.made);
    if (c.made) {
      EXPECT_EQ(BitmapSize(bitmap), (Size{c.width, c.height}));
    }
    PixCore_DeleteBitmap(bitmap);
  }
}

TEST(PixCoreDraw, FillPaintsTheColourClampingComponents) {
  ScratchDir dir;
  struct Case {
    Rgb asked, painted;
  };
  const Case cases[] = {{{0, 0, 0}, {0, 0, 0}},
                        {{255, 255, 255}, {255, 255, 255}},
                        {{12, 200, 99}, {12, 200, 99}},
                        {{-5, 300, 128}, {0, 255, 128}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.asked.red);
    const int32_t canvas = FilledCanvas(40, 30, c.asked);
    const std::string out = Save(canvas, dir / "fill.jpg");
    for (auto [x, y] : {std::pair{0, 0}, std::pair{39, 29}, std::pair{20, 15}}) {
      EXPECT_TRUE(Near(PixelAt(out, x, y), c.painted, 3)) << PixelAt(out, x, y);
    }
    PixCore_DeleteBitmap(canvas);
  }
}

TEST(PixCoreDraw, RotatesClockwiseIntoANewBitmapLeavingTheSource) {
  ScratchDir dir;
  ASSERT_TRUE(WriteQuadrants(dir / "q.png", 80, 40));
  const int32_t source = Load(dir / "q.png");
  // Corner colours after the turn: top left, top right, bottom left, bottom right.
  struct Case {
    int32_t angle;
    Size size;
    Rgb corners[4];
  };
  const Case cases[] = {
      {0, {80, 40}, {kRed, kGreen, kBlue, kWhite}},
      {90, {40, 80}, {kBlue, kRed, kWhite, kGreen}},
      {450, {40, 80}, {kBlue, kRed, kWhite, kGreen}},
      {180, {80, 40}, {kWhite, kBlue, kGreen, kRed}},
      {-180, {80, 40}, {kWhite, kBlue, kGreen, kRed}},
      {270, {40, 80}, {kGreen, kWhite, kRed, kBlue}},
      {-90, {40, 80}, {kGreen, kWhite, kRed, kBlue}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.angle);
    int32_t rotated = -1;
    ASSERT_EQ(PixCore_RotateCopy(source, &rotated, c.angle), PIXCORE_OK);
    ASSERT_NE(rotated, 0);
    ASSERT_NE(rotated, source);
    EXPECT_EQ(BitmapSize(rotated), c.size);
    const std::string out = Save(rotated, dir / "turned.jpg");
    const int right = c.size.width - 3, bottom = c.size.height - 3;
    EXPECT_TRUE(Near(PixelAt(out, 2, 2), c.corners[0])) << PixelAt(out, 2, 2);
    EXPECT_TRUE(Near(PixelAt(out, right, 2), c.corners[1])) << PixelAt(out, right, 2);
    EXPECT_TRUE(Near(PixelAt(out, 2, bottom), c.corners[2])) << PixelAt(out, 2, bottom);
    EXPECT_TRUE(Near(PixelAt(out, right, bottom), c.corners[3])) << PixelAt(out, right, bottom);
    // A copy, not a view: painting it leaves the source alone.
    EXPECT_EQ(PixCore_FillBitmap(rotated, 0, 0, 0), PIXCORE_OK);
    PixCore_DeleteBitmap(rotated);
  }
  EXPECT_EQ(BitmapSize(source), (Size{80, 40}));
  const std::string original = Save(source, dir / "source.jpg");
  EXPECT_TRUE(Near(PixelAt(original, 2, 2), kRed)) << PixelAt(original, 2, 2);

  int32_t rotated = -1;
  ASSERT_EQ(PixCore_RotateCopy(source, &rotated, 45), PIXCORE_OK);
  const Size diagonal = BitmapSize(rotated);
  EXPECT_GT(diagonal.width, 80);
  EXPECT_GT(diagonal.height, 40);
  PixCore_DeleteBitmap(rotated);
  PixCore_DeleteBitmap(source);
}

TEST(PixCoreDraw, DrawsScaledSourceIntoExactRectangleOnly) {
  ScratchDir dir;
  ASSERT_TRUE(WriteQuadrants(dir / "q.png", 400, 300));
  const int32_t source = Load(dir / "q.png");
  const Rgb grey{128, 128, 128};
  const int32_t canvas = FilledCanvas(300, 200, grey);
  // A 100 x 80 picture at (50, 20): its quadrants are 50 x 40 each.
  ASSERT_EQ(PixCore_LinearDownScaleCopy(source, canvas, 50, 20, 100, 80), PIXCORE_OK);
  const std::string out = Save(canvas, dir / "drawn.jpg");
  EXPECT_TRUE(Near(PixelAt(out, 53, 23), kRed)) << PixelAt(out, 53, 23);
  EXPECT_TRUE(Near(PixelAt(out, 146, 23), kGreen)) << PixelAt(out, 146, 23);
  EXPECT_TRUE(Near(PixelAt(out, 53, 96), kBlue)) << PixelAt(out, 53, 96);
  EXPECT_TRUE(Near(PixelAt(out, 146, 96), kWhite)) << PixelAt(out, 146, 96);
  for (auto [x, y] : {std::pair{47, 60}, std::pair{153, 60}, std::pair{100, 17},
                      std::pair{100, 103}, std::pair{299, 199}}) {
    EXPECT_TRUE(Near(PixelAt(out, x, y), grey)) << x << "," << y << " " << PixelAt(out, x, y);
  }
  EXPECT_EQ(BitmapSize(canvas), (Size{300, 200}));
  PixCore_DeleteBitmap(canvas);
  PixCore_DeleteBitmap(source);
}

// Opaque pictures reduced by up to 3 times go through our own lanczos3
// filter; it must give what libvips' gives in floating point, at the album's
// ratios, on one axis alone and at the limit.
TEST(PixCoreDraw, ScalesDownAsLibvipsLanczos3Does) {
  ScratchDir dir;
  const std::string photo = dir / "photo.jpg";
  ASSERT_TRUE(WritePhotoLike(photo, 1600, 1200));
  const int32_t source = Load(photo);
  VipsImage* file = vips_image_new_from_file(photo.c_str(), nullptr);
  ASSERT_NE(file, nullptr);
  VipsImage* decoded = nullptr;
  ASSERT_EQ(vips_cast_float(file, &decoded, nullptr), 0);
  g_object_unref(file);
  // Up to 3 times (an album picture from its reduced decode) and beyond
  // (thumbnails), one axis alone too.
  for (auto [width, height] : {std::pair{1024, 768}, {600, 450}, {1600, 600}, {534, 400},
                               {160, 120}, {250, 1200}, {64, 48}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    VipsImage* reduced = nullptr;
    ASSERT_EQ(vips_reduce(decoded, &reduced, 1600.0 / width, 1200.0 / height, "kernel",
                          VIPS_KERNEL_LANCZOS3, nullptr), 0);
    VipsImage* rounded = nullptr;
    ASSERT_EQ(vips_linear1(reduced, &rounded, 1.0, 0.5, "uchar", TRUE, nullptr), 0);
    g_object_unref(reduced);
    ASSERT_EQ(vips_jpegsave(rounded, (dir / "libvips.jpg").c_str(), "Q", 100, nullptr), 0);
    g_object_unref(rounded);
    const int32_t canvas = FilledCanvas(width, height, kRed);
    ASSERT_EQ(PixCore_LinearDownScaleCopy(source, canvas, 0, 0, width, height), PIXCORE_OK);
    Save(canvas, dir / "ours.jpg");
    PixCore_DeleteBitmap(canvas);
    EXPECT_LT(MeanDifference(dir / "ours.jpg", dir / "libvips.jpg"), 0.6);
  }
  g_object_unref(decoded);
  PixCore_DeleteBitmap(source);
}

TEST(PixCoreDraw, ClipsRectanglesReachingOutsideTheCanvas) {
  ScratchDir dir;
  ASSERT_TRUE(WriteQuadrants(dir / "q.png", 100, 100));
  const int32_t source = Load(dir / "q.png");
  const int32_t canvas = FilledCanvas(100, 100, kBlue);
  // Only the white quarter of a 200 x 200 drawing at (-100, -100) lands.
  ASSERT_EQ(PixCore_LinearDownScaleCopy(source, canvas, -100, -100, 200, 200), PIXCORE_OK);
  // Wholly outside: nothing to draw, and that is no failure.
  EXPECT_EQ(PixCore_LinearDownScaleCopy(source, canvas, 500, 0, 50, 50), PIXCORE_OK);
  const std::string out = Save(canvas, dir / "clipped.jpg");
  EXPECT_TRUE(Near(PixelAt(out, 50, 50), kWhite)) << PixelAt(out, 50, 50);
  EXPECT_TRUE(Near(PixelAt(out, 2, 97), kWhite)) << PixelAt(out, 2, 97);
  EXPECT_EQ(PixCore_LinearDownScaleCopy(source, canvas, 0, 0, 0, 10), PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(PixCore_LinearDownScaleCopy(source, canvas, 0, 0, 10, -1), PIXCORE_ERROR_ARGUMENT);
  PixCore_DeleteBitmap(canvas);
  PixCore_DeleteBitmap(source);
}

TEST(PixCoreDraw, ScaleCopyStretchesSmallPictureOverWholeCanvas) {
  ScratchDir dir;
  ASSERT_TRUE(WriteQuadrants(dir / "small.png", 40, 30));
  const int32_t source = Load(dir / "small.png");
  const int32_t canvas = FilledCanvas(400, 200, kBlue);
  ASSERT_EQ(PixCore_ScaleCopy(source, canvas, PIXCORE_SCALE_BEST), PIXCORE_OK);
  const std::string out = Save(canvas, dir / "big.jpg");
  EXPECT_EQ(FileSize(out), (Size{400, 200}));
  EXPECT_TRUE(Near(PixelAt(out, 10, 10), kRed)) << PixelAt(out, 10, 10);
  EXPECT_TRUE(Near(PixelAt(out, 390, 10), kGreen)) << PixelAt(out, 390, 10);
  EXPECT_TRUE(Near(PixelAt(out, 390, 190), kWhite)) << PixelAt(out, 390, 190);
  EXPECT_TRUE(Near(PixelAt(out, 150, 60), kRed)) << PixelAt(out, 150, 60);
  EXPECT_EQ(PixCore_ScaleCopy(source, 0, PIXCORE_SCALE_BEST), PIXCORE_ERROR_ARGUMENT);
  PixCore_DeleteBitmap(canvas);
  PixCore_DeleteBitmap(source);
}

TEST(PixCoreDraw, TransparentPartsShowTheBackgroundColour) {
  ScratchDir dir;
  ASSERT_TRUE(WriteHalfTransparentPng(dir / "half.png", 64, 32));
  const int32_t source = Load(dir / "half.png");
  const Rgb olive{120, 130, 20};
  const int32_t canvas = FilledCanvas(128, 64, olive);
  ASSERT_EQ(PixCore_ScaleCopy(source, canvas, PIXCORE_SCALE_BEST), PIXCORE_OK);
  const std::string out = Save(canvas, dir / "onto.jpg");
  EXPECT_TRUE(Near(PixelAt(out, 10, 30), kRed)) << PixelAt(out, 10, 30);
  EXPECT_TRUE(Near(PixelAt(out, 110, 30), olive)) << PixelAt(out, 110, 30);
  // Saved alone, the transparent half turns white.
  const std::string alone = Save(source, dir / "alone.jpg");
  EXPECT_TRUE(Near(PixelAt(alone, 55, 16), kWhite)) << PixelAt(alone, 55, 16);
  PixCore_DeleteBitmap(canvas);
  PixCore_DeleteBitmap(source);
}

// A scaled copy serves several files: the tile made from it must be the tile
// made from the source, and transparency must survive for the canvas.
TEST(PixCoreDraw, ScaledCopyGivesTheTilesOfItsSource) {
  ScratchDir dir;
  ASSERT_TRUE(WritePhotoLike(dir / "photo.jpg", 1024, 768));
  ASSERT_TRUE(WriteHalfTransparentPng(dir / "half.png", 640, 320));
  const Rgb olive{120, 130, 20};
  for (const char* name : {"photo.jpg", "half.png"}) {
    SCOPED_TRACE(name);
    const int32_t source = Load(dir / name);
    int32_t width = 0, height = 0;
    ASSERT_EQ(PixCore_GetImageSize(source, &width, &height), PIXCORE_OK);
    int32_t copy = 0;
    ASSERT_EQ(PixCore_ScaledCopy(source, &copy, width * 5 / 16, height * 5 / 16), PIXCORE_OK);
    int32_t copy_width = 0, copy_height = 0;
    ASSERT_EQ(PixCore_GetImageSize(copy, &copy_width, &copy_height), PIXCORE_OK);
    EXPECT_EQ(copy_width, width * 5 / 16);
    const std::string direct = dir / "direct.jpg", through = dir / "through.jpg";
    ASSERT_EQ(PixCore_SaveTileAsJpeg(source, direct.c_str(), copy_width + 8, copy_height, 4, 0,
                                     copy_width, copy_height, olive.red, olive.green, olive.blue, 90),
              PIXCORE_OK);
    ASSERT_EQ(PixCore_SaveTileAsJpeg(copy, through.c_str(), copy_width + 8, copy_height, 4, 0,
                                     copy_width, copy_height, olive.red, olive.green, olive.blue, 90),
              PIXCORE_OK);
    EXPECT_EQ(ReadBytes(through), ReadBytes(direct));
    PixCore_DeleteBitmap(copy);
    PixCore_DeleteBitmap(source);
  }
  int32_t copy = 7;
  EXPECT_EQ(PixCore_ScaledCopy(0, &copy, 10, 10), PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(copy, 0);
  const int32_t canvas = PixCore_CreateBitmap(10, 10);
  EXPECT_EQ(PixCore_ScaledCopy(canvas, &copy, 0, 10), PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(PixCore_ScaledCopy(canvas, &copy, 40000, 40000), PIXCORE_ERROR_TOO_LARGE);
  EXPECT_EQ(PixCore_ScaledCopy(canvas, nullptr, 5, 5), PIXCORE_ERROR_ARGUMENT);
  PixCore_DeleteBitmap(canvas);
}

TEST(PixCoreDraw, DrawsABitmapIntoItself) {
  ScratchDir dir;
  ASSERT_TRUE(WriteQuadrants(dir / "q.png", 100, 100));
  const int32_t bitmap = Load(dir / "q.png");
  // The whole picture shrunk into its own white quarter.
  ASSERT_EQ(PixCore_LinearDownScaleCopy(bitmap, bitmap, 50, 50, 50, 50), PIXCORE_OK);
  const std::string out = Save(bitmap, dir / "self.jpg");
  EXPECT_TRUE(Near(PixelAt(out, 55, 55), kRed)) << PixelAt(out, 55, 55);
  EXPECT_TRUE(Near(PixelAt(out, 95, 95), kWhite)) << PixelAt(out, 95, 95);
  EXPECT_TRUE(Near(PixelAt(out, 10, 10), kRed)) << PixelAt(out, 10, 10);
  PixCore_DeleteBitmap(bitmap);
}

TEST(PixCoreDraw, RefusesFreedAndUnknownHandles) {
  const int32_t bitmap = PixCore_CreateBitmap(8, 8);
  ASSERT_NE(bitmap, 0);
  EXPECT_EQ(PixCore_DeleteBitmap(bitmap), PIXCORE_OK);
  EXPECT_EQ(PixCore_DeleteBitmap(bitmap), PIXCORE_ERROR_ARGUMENT);
  int32_t width = 7, height = 7, rotated = 7;
  EXPECT_EQ(PixCore_GetImageSize(bitmap, &width, &height), PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(width + height, 0);
  EXPECT_EQ(PixCore_FillBitmap(bitmap, 1, 2, 3), PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(PixCore_RotateCopy(bitmap, &rotated, 90), PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(rotated, 0);
  EXPECT_EQ(PixCore_RotateCopy(bitmap, nullptr, 90), PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(PixCore_SaveImageAsJpeg(bitmap, "/tmp/never.jpg", 90), PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(PixCore_DeleteBitmap(0), PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(PixCore_DeleteBitmap(-1), PIXCORE_ERROR_ARGUMENT);
  // A new bitmap never takes a freed handle's number.
  const int32_t next = PixCore_CreateBitmap(8, 8);
  EXPECT_NE(next, bitmap);
  PixCore_DeleteBitmap(next);
}

TEST(PixCoreDraw, WorkerThreadsLoadScaleAndSaveAtOnce) {
  ScratchDir dir;
  ASSERT_TRUE(WritePhotoLike(dir / "photo.jpg", 800, 600));
  const int32_t shared = Load(dir / "photo.jpg");
  constexpr int kThreads = 6;
  std::vector<int> results(kThreads, 0);
  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t) {
    workers.emplace_back([&, t] {
      const std::string path = dir / "photo.jpg";
      int ok = 0;
      for (int round = 0; round < 3; ++round) {
        int32_t code = 0;
        // Half the threads work on their own decode, half read the shared one.
        const int32_t own = t % 2 == 0 ? PixCore_LoadImageForBox(PIXCORE_DETECT_FORMAT,
                                                                 path.c_str(), 200, 150, &code)
                                       : 0;
        const int32_t source = own != 0 ? own : shared;
        const int32_t canvas = PixCore_CreateBitmap(160 + t, 120);
        PixCore_FillBitmap(canvas, t * 40, 0, 0);
        const std::string out = dir / ("out" + std::to_string(t) + ".jpg");
        if (PixCore_LinearDownScaleCopy(source, canvas, 0, 0, 160 + t, 120) == PIXCORE_OK &&
            PixCore_SaveImageAsJpeg(canvas, out.c_str(), 80) == PIXCORE_OK &&
            FileSize(out) == Size{160 + t, 120}) {
          ++ok;
        }
        PixCore_DeleteBitmap(canvas);
        PixCore_DeleteBitmap(own);
      }
      results[t] = ok;
    });
  }
  for (std::thread& worker : workers) worker.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(results[t], 3) << "thread " << t;
  PixCore_DeleteBitmap(shared);
}

}  // namespace
}  // namespace snapcrate::testing
