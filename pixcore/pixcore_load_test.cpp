// Reading sizes and decoding picture files, including broken ones.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <tuple>

#include <vips/vips.h>

#include "pixcore/pixcore.h"
#include "pixcore/pixcore_test_support.h"

namespace snapcrate::testing {
namespace {

// Saves the bitmap, freeing it, and returns the written file's path.
std::string SaveAndFree(int32_t bitmap, const std::string& path, int quality = 95) {
  EXPECT_EQ(PixCore_SaveImageAsJpeg(bitmap, path.c_str(), quality), PIXCORE_OK);
  EXPECT_EQ(PixCore_DeleteBitmap(bitmap), PIXCORE_OK);
  return path;
}

// JPEG and PNG sizes are read from the headers without libvips; the answer
// must be libvips' own, and a file libvips cannot open must get no size.
TEST(PixCoreLoad, SizesFromHeadersAgreeWithTheDecoder) {
  ScratchDir dir;
  ASSERT_TRUE(WriteQuadrants(dir / "plain.jpg", 64, 48));
  ASSERT_TRUE(WriteQuadrants(dir / "plain.png", 33, 17));
  ASSERT_TRUE(WriteQuadrantsAs(dir / "grey.jpg", 40, 30, ColourVariant::kGreyJpeg));
  ASSERT_TRUE(WriteQuadrantsAs(dir / "cmyk.jpg", 41, 29, ColourVariant::kCmykJpeg));
  ASSERT_TRUE(WriteQuadrantsAs(dir / "deep.png", 20, 10, ColourVariant::kRgb16Png));
  ASSERT_TRUE(WriteQuadrantsAs(dir / "grey_alpha.png", 21, 11, ColourVariant::kGreyAlphaPng));
  ASSERT_TRUE(WriteJpegWithOrientation(dir / "turned.jpg", 80, 60, 6));
  ASSERT_EQ(VIPS_INIT("pixcore_test"), 0);
  VipsImage* photo = vips_image_new_from_file((dir / "plain.jpg").c_str(), nullptr);
  ASSERT_NE(photo, nullptr);
  ASSERT_EQ(vips_jpegsave(photo, (dir / "progressive.jpg").c_str(), "interlace", TRUE, nullptr), 0);
  g_object_unref(photo);

  const std::string jpeg = ReadBytes(dir / "plain.jpg");
  const size_t scan = jpeg.find("\xFF\xDA");
  ASSERT_NE(scan, std::string::npos);
  ASSERT_TRUE(WriteBytes(dir / "no_scan.jpg", jpeg.substr(0, scan)));
  const size_t frame = jpeg.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  std::string twelve_bit = jpeg;
  twelve_bit[frame + 4] = 12;
  ASSERT_TRUE(WriteBytes(dir / "twelve_bit.jpg", twelve_bit));
  std::string png = ReadBytes(dir / "plain.png");
  png[29] = static_cast<char>(png[29] ^ 0x55);  // the header's checksum
  ASSERT_TRUE(WriteBytes(dir / "bad_checksum.png", png));

  for (const char* name : {"plain.jpg", "plain.png", "grey.jpg", "cmyk.jpg", "deep.png", "grey_alpha.png",
                           "turned.jpg", "progressive.jpg", "no_scan.jpg", "twelve_bit.jpg", "bad_checksum.png"}) {
    SCOPED_TRACE(name);
    const std::string path = dir / name;
    const Size decoder = FileSize(path);
    int32_t width = -1, height = -1;
    const int32_t code = PixCore_GetFileImageSize(PIXCORE_DETECT_FORMAT, path.c_str(), &width, &height);
    if (decoder == Size{}) {
      EXPECT_NE(code, PIXCORE_OK);
    } else {
      EXPECT_EQ(code, PIXCORE_OK);
      EXPECT_EQ((Size{width, height}), decoder);
      int32_t orientation = 0;
      ASSERT_EQ(PixCore_GetFileImageInfo(PIXCORE_DETECT_FORMAT, path.c_str(), &width, &height, &orientation),
                PIXCORE_OK);
      EXPECT_EQ((Size{width, height}), decoder);
      VipsImage* opened = vips_image_new_from_file(path.c_str(), nullptr);
      ASSERT_NE(opened, nullptr);
      EXPECT_EQ(orientation, vips_image_get_orientation(opened));
      g_object_unref(opened);
    }
  }
  // A format the caller names must be the file's.
  int32_t width = 0, height = 0;
  EXPECT_EQ(PixCore_GetFileImageSize(PIXCORE_TYPE_PNG, (dir / "plain.jpg").c_str(), &width, &height),
            PIXCORE_ERROR_FORMAT);
  EXPECT_EQ(PixCore_GetFileImageSize(PIXCORE_TYPE_JPEG, (dir / "plain.jpg").c_str(), &width, &height),
            PIXCORE_OK);
  EXPECT_EQ(width, 64);
}

TEST(PixCoreLoad, ReadsSizeAndPixelsOfEveryFormat) {
  ScratchDir dir;
  for (const char* name : {"q.jpg", "q.png", "q.gif", "q.tif", "q.webp"}) {
    SCOPED_TRACE(name);
    const std::string path = dir / name;
    ASSERT_TRUE(WriteQuadrants(path, 64, 48));
    int32_t width = -1, height = -1;
    EXPECT_EQ(PixCore_GetFileImageSize(PIXCORE_DETECT_FORMAT, path.c_str(), &width, &height),
              PIXCORE_OK);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 48);

    int32_t code = 0;
    const int32_t bitmap = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, path.c_str(), &code);
    ASSERT_NE(bitmap, 0);
    EXPECT_EQ(code, PIXCORE_OK);
    ASSERT_EQ(PixCore_GetImageSize(bitmap, &width, &height), PIXCORE_OK);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 48);
    const std::string out = SaveAndFree(bitmap, dir / "out.jpg");
    EXPECT_TRUE(Near(PixelAt(out, 8, 8), kRed)) << PixelAt(out, 8, 8);
    EXPECT_TRUE(Near(PixelAt(out, 56, 8), kGreen)) << PixelAt(out, 56, 8);
    EXPECT_TRUE(Near(PixelAt(out, 8, 40), kBlue)) << PixelAt(out, 8, 40);
    EXPECT_TRUE(Near(PixelAt(out, 56, 40), kWhite)) << PixelAt(out, 56, 40);
  }
}

TEST(PixCoreLoad, ConvertsGreyCmykAndDeepPicturesToSrgb) {
  ScratchDir dir;
  struct Case {
    const char* name;
    ColourVariant variant;
    bool grey;
    int tolerance;
  };
  const Case cases[] = {
      {"grey.jpg", ColourVariant::kGreyJpeg, true, 12},
      // CMYK passes through a printing profile and back: near, not exact.
      {"cmyk.jpg", ColourVariant::kCmykJpeg, false, 60},
      {"deep.png", ColourVariant::kRgb16Png, false, 12},
      {"grey_alpha.png", ColourVariant::kGreyAlphaPng, true, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir / c.name;
    ASSERT_TRUE(WriteQuadrantsAs(path, 64, 48, c.variant));
    int32_t code = 0;
    const int32_t bitmap = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, path.c_str(), &code);
    ASSERT_NE(bitmap, 0) << code;
    const std::string out = SaveAndFree(bitmap, dir / "out.jpg");
    const Rgb top_left = PixelAt(out, 8, 8), bottom_right = PixelAt(out, 56, 40);
    if (c.grey) {
      EXPECT_EQ(top_left.red, top_left.green);
      EXPECT_EQ(top_left.green, top_left.blue);
    } else {
      EXPECT_TRUE(Near(top_left, kRed, c.tolerance)) << top_left;
    }
    EXPECT_TRUE(Near(bottom_right, kWhite, c.tolerance)) << bottom_right;
  }
}

TEST(PixCoreLoad, RefusesHugePicturesBeforeDecoding) {
  ScratchDir dir;
  ASSERT_TRUE(WriteQuadrants(dir / "small.jpg", 64, 48));
  std::string bytes = ReadBytes(dir / "small.jpg");
  // The frame header claims 60000 x 60000 pixels.
  const size_t frame = bytes.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  for (size_t at : {frame + 5, frame + 7}) {
    bytes[at] = char(60000 >> 8);
    bytes[at + 1] = char(60000 & 0xFF);
  }
  const std::string path = dir / "huge.jpg";
  ASSERT_TRUE(WriteBytes(path, bytes));
  int32_t width = 0, height = 0, code = 0;
  EXPECT_EQ(PixCore_GetFileImageSize(PIXCORE_DETECT_FORMAT, path.c_str(), &width, &height),
            PIXCORE_OK);
  EXPECT_EQ(width, 60000);
  EXPECT_EQ(PixCore_LoadImage(PIXCORE_DETECT_FORMAT, path.c_str(), &code), 0);
  EXPECT_EQ(code, PIXCORE_ERROR_TOO_LARGE);
  // A decode at 1/8 would fit in memory, but the claim alone refuses it.
  code = 0;
  EXPECT_EQ(PixCore_LoadImageForBox(PIXCORE_DETECT_FORMAT, path.c_str(), 640, 480, &code), 0);
  EXPECT_EQ(code, PIXCORE_ERROR_TOO_LARGE);
  code = 0;
  EXPECT_EQ(PixCore_LoadImageScaled(PIXCORE_DETECT_FORMAT, path.c_str(), 640, 640, &code), 0);
  EXPECT_EQ(code, PIXCORE_ERROR_TOO_LARGE);
}

TEST(PixCoreLoad, FindsFormatFromContentsNotName) {
  ScratchDir dir;
  ASSERT_TRUE(WriteQuadrants(dir / "really.png", 20, 10));
  std::filesystem::rename(dir / "really.png", dir / "named.jpg");
  const std::string path = dir / "named.jpg";
  int32_t width = 0, height = 0;
  EXPECT_EQ(PixCore_GetFileImageSize(PIXCORE_DETECT_FORMAT, path.c_str(), &width, &height),
            PIXCORE_OK);
  EXPECT_EQ(PixCore_GetFileImageSize(PIXCORE_TYPE_PNG, path.c_str(), &width, &height),
            PIXCORE_OK);
  // Asking for a format the file does not have is a failure, not a guess.
  EXPECT_EQ(PixCore_GetFileImageSize(PIXCORE_TYPE_JPEG, path.c_str(), &width, &height),
            PIXCORE_ERROR_FORMAT);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
}

// libvips reads a trailing "[...]" of a name as load options; a user's file
// name is only a name.
TEST(PixCoreLoad, ReadsFilesWhoseNamesLookLikeLoadOptions) {
  ScratchDir dir;
  for (const char* name : {"scan[2]", "holiday [best].jpg[1]"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(WriteQuadrants(dir / "plain.jpg", 20, 10));
    std::filesystem::rename(dir / "plain.jpg", dir / name);
    const std::string path = dir / name;
    int32_t width = 0, height = 0, code = 0;
    EXPECT_EQ(PixCore_GetFileImageSize(PIXCORE_DETECT_FORMAT, path.c_str(), &width, &height),
              PIXCORE_OK);
    EXPECT_EQ(width, 20);
    const int32_t bitmap = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, path.c_str(), &code);
    EXPECT_NE(bitmap, 0);
    EXPECT_EQ(code, PIXCORE_OK);
    PixCore_DeleteBitmap(bitmap);
  }
}

TEST(PixCoreLoad, ReadsSizeFromHeaderWithoutDecodingPixels) {
  ScratchDir dir;
  ASSERT_TRUE(WritePhotoLike(dir / "full.jpg", 800, 600));
  // Only the first part survives: headers complete, most of the scan missing.
  const std::string bytes = ReadBytes(dir / "full.jpg");
  ASSERT_TRUE(WriteBytes(dir / "cut.jpg", bytes.substr(0, bytes.size() / 3)));
  const std::string cut = dir / "cut.jpg";
  int32_t width = 0, height = 0;
  EXPECT_EQ(PixCore_GetFileImageSize(PIXCORE_DETECT_FORMAT, cut.c_str(), &width, &height),
            PIXCORE_OK);
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 600);
  int32_t code = 0;
  EXPECT_EQ(PixCore_LoadImage(PIXCORE_DETECT_FORMAT, cut.c_str(), &code), 0);
  EXPECT_EQ(code, PIXCORE_ERROR_DECODE);
}

TEST(PixCoreLoad, BrokenFilesFailWithCodeInsteadOfCrashing) {
  ScratchDir dir;
  ASSERT_TRUE(WritePhotoLike(dir / "good.jpg", 400, 300));
  ASSERT_TRUE(WriteQuadrants(dir / "good.png", 400, 300));
  const std::string jpeg = ReadBytes(dir / "good.jpg");
  const std::string png = ReadBytes(dir / "good.png");
  std::string scrambled = jpeg;
  for (size_t i = 20; i < scrambled.size(); i += 3) scrambled[i] = char(i * 7);
  std::filesystem::create_directory(dir / "folder.jpg");

  struct Case {
    const char* name;
    std::string bytes;
    int32_t size_code;  // PixCore_GetFileImageSize
    int32_t load_code;  // PixCore_LoadImage
  };
  const Case cases[] = {
      {"empty.jpg", "", PIXCORE_ERROR_FORMAT, PIXCORE_ERROR_FORMAT},
      {"text.jpg", "not a picture at all\n", PIXCORE_ERROR_FORMAT, PIXCORE_ERROR_FORMAT},
      {"soi_only.jpg", "\xFF\xD8\xFF", PIXCORE_ERROR_DECODE, PIXCORE_ERROR_DECODE},
      {"half.jpg", jpeg.substr(0, jpeg.size() / 2), PIXCORE_OK, PIXCORE_ERROR_DECODE},
      {"cut.png", png.substr(0, png.size() - 30), PIXCORE_OK, PIXCORE_ERROR_DECODE},
      {"ihdr_only.png", png.substr(0, 33), PIXCORE_ERROR_DECODE, PIXCORE_ERROR_DECODE},
      {"scrambled.jpg", scrambled, 0, 0},  // any failure code, or a noisy picture
      {"missing.jpg", "", PIXCORE_ERROR_OPEN, PIXCORE_ERROR_OPEN},
      {"folder.jpg", "", PIXCORE_ERROR_OPEN, PIXCORE_ERROR_OPEN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir / c.name;
    if (std::string(c.name) != "missing.jpg" && std::string(c.name) != "folder.jpg") {
      ASSERT_TRUE(WriteBytes(path, c.bytes));
    }
    int32_t width = 0, height = 0;
    const int32_t size_code =
        PixCore_GetFileImageSize(PIXCORE_DETECT_FORMAT, path.c_str(), &width, &height);
    int32_t load_code = 0, scaled_code = 0;
    const int32_t bitmap = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, path.c_str(), &load_code);
    // Decoding while scaling fails the same way.
    const int32_t scaled =
        PixCore_LoadImageScaled(PIXCORE_DETECT_FORMAT, path.c_str(), 100, 75, &scaled_code);
    if (c.load_code == 0) {
      EXPECT_EQ(bitmap != 0, load_code == PIXCORE_OK);
      EXPECT_EQ(scaled != 0, scaled_code == PIXCORE_OK);
    } else {
      EXPECT_EQ(size_code, c.size_code);
      EXPECT_EQ(load_code, c.load_code);
      EXPECT_EQ(bitmap, 0);
      EXPECT_EQ(scaled_code, c.load_code);
      EXPECT_EQ(scaled, 0);
    }
    PixCore_DeleteBitmap(scaled);
    if (size_code != PIXCORE_OK) {
      EXPECT_EQ(width + height, 0);
    }
    PixCore_DeleteBitmap(bitmap);
  }
}

TEST(PixCoreLoad, RefusesMissingArguments) {
  ScratchDir dir;
  ASSERT_TRUE(WriteQuadrants(dir / "q.jpg", 16, 16));
  const std::string path = dir / "q.jpg";
  int32_t width = 0, height = 0, code = 0;
  EXPECT_EQ(PixCore_GetFileImageSize(PIXCORE_DETECT_FORMAT, nullptr, &width, &height),
            PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(PixCore_GetFileImageSize(PIXCORE_DETECT_FORMAT, path.c_str(), nullptr, &height),
            PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(PixCore_GetFileImageSize(77, path.c_str(), &width, &height), PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(PixCore_LoadImage(PIXCORE_DETECT_FORMAT, "", &code), 0);
  EXPECT_EQ(code, PIXCORE_ERROR_ARGUMENT);
  for (auto [width, height] : {std::pair{0, 16}, std::pair{16, 0}, std::pair{-1, -1}}) {
    EXPECT_EQ(PixCore_LoadImageScaled(PIXCORE_DETECT_FORMAT, path.c_str(), width, height, &code), 0);
    EXPECT_EQ(code, PIXCORE_ERROR_ARGUMENT);
  }
  // The code pointer is optional.
  const int32_t bitmap = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, path.c_str(), nullptr);
  EXPECT_NE(bitmap, 0);
  PixCore_DeleteBitmap(bitmap);
  const int32_t scaled = PixCore_LoadImageScaled(PIXCORE_DETECT_FORMAT, path.c_str(), 8, 8, nullptr);
  EXPECT_NE(scaled, 0);
  PixCore_DeleteBitmap(scaled);
}

TEST(PixCoreLoad, KeepsPixelsAsStoredWhateverTheExifOrientation) {
  ScratchDir dir;
  const std::string path = dir / "turned.jpg";
  ASSERT_TRUE(WriteJpegWithOrientation(path, 60, 40, 6));
  int32_t width = 0, height = 0, code = 0;
  ASSERT_EQ(PixCore_GetFileImageSize(PIXCORE_DETECT_FORMAT, path.c_str(), &width, &height),
            PIXCORE_OK);
  EXPECT_EQ(width, 60);
  const int32_t bitmap = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, path.c_str(), &code);
  ASSERT_EQ(PixCore_GetImageSize(bitmap, &width, &height), PIXCORE_OK);
  EXPECT_EQ(width, 60);
  EXPECT_EQ(height, 40);
  const std::string out = SaveAndFree(bitmap, dir / "out.jpg");
  EXPECT_TRUE(Near(PixelAt(out, 5, 5), kRed)) << PixelAt(out, 5, 5);
}

// Every EXIF orientation, mirrored ones included, stands up as libvips' own
// turn stands it up; the header read reports what the decoder would.
TEST(PixCoreLoad, OrientCopyStandsEveryOrientationUpright) {
  ScratchDir dir;
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    const std::string path = dir / ("o" + std::to_string(orientation) + ".jpg");
    ASSERT_TRUE(WriteJpegWithOrientation(path, 60, 40, orientation));
    int32_t width = 0, height = 0, reported = 0, code = 0;
    ASSERT_EQ(PixCore_GetFileImageInfo(PIXCORE_DETECT_FORMAT, path.c_str(), &width, &height, &reported),
              PIXCORE_OK);
    EXPECT_EQ(reported, orientation);
    EXPECT_EQ((Size{width, height}), (Size{60, 40}));

    VipsImage* stored = vips_image_new_from_file(path.c_str(), nullptr);
    ASSERT_NE(stored, nullptr);
    VipsImage* turned = nullptr;
    ASSERT_EQ(vips_autorot(stored, &turned, nullptr), 0);
    const std::string expected = dir / ("expected" + std::to_string(orientation) + ".png");
    ASSERT_EQ(vips_pngsave(turned, expected.c_str(), nullptr), 0);
    g_object_unref(turned);
    g_object_unref(stored);

    const int32_t bitmap = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, path.c_str(), &code);
    int32_t upright = 0;
    ASSERT_EQ(PixCore_OrientCopy(bitmap, &upright, orientation), PIXCORE_OK);
    EXPECT_EQ(PixCore_DeleteBitmap(bitmap), PIXCORE_OK);
    ASSERT_EQ(PixCore_GetImageSize(upright, &width, &height), PIXCORE_OK);
    EXPECT_EQ((Size{width, height}), orientation >= 5 ? (Size{40, 60}) : (Size{60, 40}));
    const std::string out = SaveAndFree(upright, dir / ("out" + std::to_string(orientation) + ".jpg"));
    for (const auto& [x, y] : {std::pair{3, 3}, {width - 4, 3}, {3, height - 4}, {width - 4, height - 4}})
      EXPECT_TRUE(Near(PixelAt(out, x, y), PixelAt(expected, x, y))) << x << "," << y;
  }
  int32_t oriented = 7;
  EXPECT_EQ(PixCore_OrientCopy(0, &oriented, 6), PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(oriented, 0);
}

// Plain JPEGs are decoded at the smallest scale of eighths that leaves 1.4
// times the box (7/8 is skipped: slower than a full decode).
TEST(PixCoreLoad, ShrinksJpegOnLoadByEighthsWhileEnoughOfTheBoxRemains) {
  ScratchDir dir;
  const std::string photo = dir / "photo.jpg";
  ASSERT_TRUE(WritePhotoLike(photo, 1600, 1200));
  ASSERT_TRUE(WriteQuadrants(dir / "q.png", 1600, 1200));
  const std::string png = dir / "q.png";
  struct Case {
    std::string path;
    int box_width, box_height;
    int width, height;
  };
  const Case cases[] = {
      {photo, 100, 75, 200, 150},     // room 16: 1/8
      {photo, 142, 107, 200, 150},    // room 11.27: 1/8
      {photo, 143, 108, 400, 300},    // just below 11.2: 2/8
      {photo, 285, 214, 400, 300},    // room 5.61: 2/8
      {photo, 286, 215, 600, 450},    // just below 5.6: 3/8
      {photo, 428, 321, 600, 450},    // room 3.738: 3/8
      {photo, 429, 322, 800, 600},    // just below 3.733: 4/8
      {photo, 640, 480, 1000, 750},   // room 2.5: 5/8
      {photo, 800, 600, 1200, 900},   // room 2: 6/8
      {photo, 900, 675, 1600, 1200},  // room 1.78 would be 7/8: full size
      // A tall box is met turned as well: 1200 / 300 caps the room at 4.
      {photo, 300, 1000, 600, 450},
      {photo, 0, 0, 1600, 1200},     // original size wanted
      {photo, -2, -2, 1600, 1200},   // copy or link boxes
      {png, 100, 75, 1600, 1200},    // only JPEG decoders scale on load
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + " " + std::to_string(c.box_width) + "x" + std::to_string(c.box_height));
    int32_t code = 0, width = 0, height = 0;
    const int32_t bitmap = PixCore_LoadImageForBox(PIXCORE_DETECT_FORMAT, c.path.c_str(),
                                                   c.box_width, c.box_height, &code);
    ASSERT_NE(bitmap, 0);
    EXPECT_EQ(code, PIXCORE_OK);
    ASSERT_EQ(PixCore_GetImageSize(bitmap, &width, &height), PIXCORE_OK);
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(height, c.height);
    PixCore_DeleteBitmap(bitmap);
  }
}

// Fits a bitmap into a box the way the album generator does and saves it.
void FitIntoBox(int32_t bitmap, int box_width, int box_height, const std::string& path) {
  const int32_t canvas = PixCore_CreateBitmap(box_width, box_height);
  ASSERT_NE(canvas, 0);
  ASSERT_EQ(PixCore_LinearDownScaleCopy(bitmap, canvas, 0, 0, box_width, box_height), PIXCORE_OK);
  ASSERT_EQ(PixCore_SaveImageAsJpeg(canvas, path.c_str(), 95), PIXCORE_OK);
  PixCore_DeleteBitmap(canvas);
}

TEST(PixCoreLoad, ShrunkDecodeGivesSameSizesAndClosePixels) {
  ScratchDir dir;
  const std::string photo = dir / "photo.jpg";
  ASSERT_TRUE(WritePhotoLike(photo, 1600, 1200));
  int32_t code = 0;
  const int32_t full = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, photo.c_str(), &code);
  const int32_t shrunk =
      PixCore_LoadImageForBox(PIXCORE_DETECT_FORMAT, photo.c_str(), 200, 150, &code);
  ASSERT_NE(full, 0);
  ASSERT_NE(shrunk, 0);
  for (auto [width, height] : {std::pair{200, 150}, std::pair{120, 90}}) {
    SCOPED_TRACE(width);
    FitIntoBox(full, width, height, dir / "from_full.jpg");
    FitIntoBox(shrunk, width, height, dir / "from_shrunk.jpg");
    EXPECT_EQ(FileSize(dir / "from_shrunk.jpg"), (Size{width, height}));
    EXPECT_LT(MeanDifference(dir / "from_full.jpg", dir / "from_shrunk.jpg"), 3.0);
  }
  PixCore_DeleteBitmap(full);
  PixCore_DeleteBitmap(shrunk);
}

// At the tightest margins (half the size decoded with 1.5 times the box left
// for the filter, 3/8 with 1.4) the result must stay closer to a full decode
// than saving it at the album's usual quality brings it.
TEST(PixCoreLoad, ReducedDecodeAtTheMarginDiffersLessThanQuality85Does) {
  ScratchDir dir;
  const std::string photo = dir / "photo.jpg";
  ASSERT_TRUE(WritePhotoLike(photo, 1600, 1200, 95));
  int32_t code = 0;
  const int32_t full = PixCore_LoadImage(PIXCORE_DETECT_FORMAT, photo.c_str(), &code);
  ASSERT_NE(full, 0);
  for (auto [box_width, box_height, decoded_width] : {std::tuple{533, 400, 800}, {428, 321, 600}}) {
    SCOPED_TRACE(box_width);
    const int32_t reduced =
        PixCore_LoadImageForBox(PIXCORE_DETECT_FORMAT, photo.c_str(), box_width, box_height, &code);
    ASSERT_NE(reduced, 0);
    int32_t width = 0, height = 0;
    ASSERT_EQ(PixCore_GetImageSize(reduced, &width, &height), PIXCORE_OK);
    EXPECT_EQ(width, decoded_width);
    FitIntoBox(full, box_width, box_height, dir / "from_full.jpg");
    FitIntoBox(reduced, box_width, box_height, dir / "from_reduced.jpg");
    PixCore_DeleteBitmap(reduced);
    const int32_t again =
        PixCore_LoadImage(PIXCORE_DETECT_FORMAT, (dir / "from_full.jpg").c_str(), &code);
    ASSERT_NE(again, 0);
    SaveAndFree(again, dir / "from_full_q85.jpg", 85);
    const double shrink_error = MeanDifference(dir / "from_full.jpg", dir / "from_reduced.jpg");
    const double quality_error = MeanDifference(dir / "from_full.jpg", dir / "from_full_q85.jpg");
    EXPECT_LT(shrink_error, quality_error) << shrink_error << " against " << quality_error;
  }
  PixCore_DeleteBitmap(full);
}

// Plain JPEGs skip libvips' loader, the rest goes through it; either way a
// picture has the pixels libvips' own decode and colour conversion give it
// at the scales that loader offers (compared as files saved at quality 100).
TEST(PixCoreLoad, DecodesJpegsToTheSamePixelsAsLibvips) {
  ScratchDir dir;
  ASSERT_TRUE(WritePhotoLike(dir / "subsampled.jpg", 1600, 1200, 85));
  ASSERT_TRUE(WriteQuadrantsAs(dir / "grey.jpg", 1600, 1200, ColourVariant::kGreyJpeg));
  ASSERT_TRUE(WriteQuadrantsAs(dir / "cmyk.jpg", 1600, 1200, ColourVariant::kCmykJpeg));
  {
    VipsImage* photo = vips_image_new_from_file((dir / "subsampled.jpg").c_str(), nullptr);
    ASSERT_NE(photo, nullptr);
    ASSERT_EQ(vips_jpegsave(photo, (dir / "profile.jpg").c_str(), "Q", 90, "profile", "srgb",
                            nullptr), 0);
    g_object_unref(photo);
  }
  ASSERT_NE(ReadBytes(dir / "profile.jpg").find("ICC_PROFILE"), std::string::npos);
  for (const char* name : {"subsampled.jpg", "grey.jpg", "cmyk.jpg", "profile.jpg"}) {
    // No box: full size; 533 x 400: 4/8 = 1/2; 100 x 75: 1/8.
    for (auto [box_width, box_height, shrink] : {std::tuple{0, 0, 1}, {533, 400, 2}, {100, 75, 8}}) {
      SCOPED_TRACE(std::string(name) + " 1/" + std::to_string(shrink));
      const std::string path = dir / name;
      VipsImage* loaded = nullptr;
      ASSERT_EQ(vips_jpegload(path.c_str(), &loaded, "shrink", shrink, nullptr), 0);
      VipsImage* srgb = nullptr;
      const bool profile = vips_image_get_typeof(loaded, VIPS_META_ICC_NAME) != 0;
      ASSERT_EQ(profile ? vips_icc_transform(loaded, &srgb, "srgb", "embedded", TRUE, nullptr)
                        : vips_colourspace(loaded, &srgb, VIPS_INTERPRETATION_sRGB, nullptr),
                0);
      g_object_unref(loaded);
      VipsImage* eight_bit = nullptr;
      ASSERT_EQ(vips_cast_uchar(srgb, &eight_bit, nullptr), 0);
      g_object_unref(srgb);
      const bool optimise = int64_t{eight_bit->Xsize} * eight_bit->Ysize <= 512 * 512;
      ASSERT_EQ(vips_jpegsave(eight_bit, (dir / "libvips.jpg").c_str(), "Q", 100, "strip", TRUE,
                              "optimize_coding", optimise, nullptr), 0);
      g_object_unref(eight_bit);
      int32_t code = 0;
      const int32_t bitmap =
          PixCore_LoadImageForBox(PIXCORE_DETECT_FORMAT, path.c_str(), box_width, box_height, &code);
      ASSERT_NE(bitmap, 0) << code;
      SaveAndFree(bitmap, dir / "pixcore.jpg", 100);
      EXPECT_EQ(FileSize(dir / "pixcore.jpg"), FileSize(dir / "libvips.jpg"));
      EXPECT_TRUE(ReadBytes(dir / "pixcore.jpg") == ReadBytes(dir / "libvips.jpg"));
    }
  }
}

// The generator relies on this: a picture scaled while it is decoded makes
// the same files as one decoded first and scaled afterwards.
TEST(PixCoreLoad, ScaledLoadGivesTheSamePixelsAsDecodeThenScale) {
  ScratchDir dir;
  const std::string photo = dir / "photo.jpg";
  const std::string png = dir / "photo.png";
  ASSERT_TRUE(WritePhotoLike(photo, 1600, 1200));
  ASSERT_TRUE(WriteQuadrants(png, 640, 480));
  const struct {
    std::string path;
    int width, height;
  } cases[] = {
      {photo, 1000, 750},  // full-size decode
      {photo, 400, 300},   // decoded at 1/2
      {photo, 100, 75},    // decoded at 1/8
      {photo, 300, 400},   // a different aspect: stretched alike
      {photo, 2000, 1500},  // upwards
      {png, 160, 120},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path + " " + std::to_string(c.width) + "x" + std::to_string(c.height));
    int32_t code = 0, width = 0, height = 0;
    const int32_t scaled =
        PixCore_LoadImageScaled(PIXCORE_DETECT_FORMAT, c.path.c_str(), c.width, c.height, &code);
    ASSERT_NE(scaled, 0);
    EXPECT_EQ(code, PIXCORE_OK);
    ASSERT_EQ(PixCore_GetImageSize(scaled, &width, &height), PIXCORE_OK);
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(height, c.height);
    const int32_t decoded = PixCore_LoadImageForBox(PIXCORE_DETECT_FORMAT, c.path.c_str(),
                                                    c.width, c.height, &code);
    ASSERT_NE(decoded, 0);
    FitIntoBox(decoded, c.width, c.height, dir / "decoded_then_scaled.jpg");
    PixCore_DeleteBitmap(decoded);
    SaveAndFree(scaled, dir / "scaled_while_decoded.jpg");
    EXPECT_EQ(ReadBytes(dir / "scaled_while_decoded.jpg"), ReadBytes(dir / "decoded_then_scaled.jpg"));
  }
}

TEST(PixCoreLoad, ScaledLoadKeepsTransparency) {
  ScratchDir dir;
  ASSERT_TRUE(WriteHalfTransparentPng(dir / "half.png", 200, 100));
  int32_t code = 0;
  const int32_t scaled =
      PixCore_LoadImageScaled(PIXCORE_DETECT_FORMAT, (dir / "half.png").c_str(), 100, 50, &code);
  ASSERT_NE(scaled, 0);
  // Saving flattens onto white: the transparent right half came through as such.
  const std::string out = SaveAndFree(scaled, dir / "out.jpg");
  EXPECT_TRUE(Near(PixelAt(out, 20, 25), Rgb{255, 0, 0})) << PixelAt(out, 20, 25);
  EXPECT_TRUE(Near(PixelAt(out, 80, 25), Rgb{255, 255, 255})) << PixelAt(out, 80, 25);
}

}  // namespace
}  // namespace snapcrate::testing
