#include "app/generator/image_scaling.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <filesystem>

#include "app/file_lib.h"
#include "app/generator/pixcore_bitmaps.h"
#include "app/library_loader.h"
#include "app/paths.h"
#include "app/pictures/dir_listing.h"
#include "app/progress.h"
#include "pixcore/pixcore.h"
#include "pixcore/pixcore_test_support.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::FileSize;
using testing::Near;
using testing::PixelAt;
using testing::RecordingUiPort;
using testing::Rgb;
using testing::Size;
using testing::TempDir;

const bool kLibraryDirSet = (SetLibraryDir(SNAPCRATE_TEST_HOME), true);

constexpr Rgb kGrey{60, 60, 60};
constexpr Rgb kBlack{0, 0, 0};
constexpr SizeBox kLink{kOrigLink, kOrigLink};
constexpr SizeBox kCopy{kOrigCopy, kOrigCopy};
constexpr SizeBox kOriginal{kOrigSize, kOrigSize};

PictureRecord Picture(const std::string& file_name, int32_t width, int32_t height,
                      int16_t rotation = 0) {
  PictureRecord picture;
  picture.valid = true;
  picture.file_name = file_name;
  SplitExt(file_name, picture.extension);
  picture.width = width;
  picture.height = height;
  picture.rotation = rotation;
  return picture;
}

int64_t WriteTime(const std::string& path) {
  FindRecord record;
  return FindFile(path, record) ? record.last_write_time : -1;
}

/// Plain files anywhere below `dir`.
int CountFiles(const std::string& dir) {
  int count = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
    count += entry.is_regular_file();
  return count;
}

void ShiftWriteTime(const std::string& path, std::chrono::seconds by) {
  std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + by);
}

TEST(SizeDirNameTest, NamesBoxesAndCodes) {
  const struct {
    SizeBox box;
    const char* name;
  } cases[] = {
      {{640, 480}, "_640x480_"}, {{5000, 10}, "_5000x10_"}, {kOriginal, "_origsize_"},
      {kCopy, "_origcopy_"},     {kLink, "_origlink_"},     {{0, 480}, "_UNDEFINED_"},
      {{-1, -2}, "_UNDEFINED_"}, {{-3, -3}, "_UNDEFINED_"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetSizeDirName(c.box), c.name) << c.box.width << "x" << c.box.height;
}

TEST(OutputFileNameTest, ScalesOnlyWhatTheOriginalCannotServe) {
  RecordingUiPort ui;
  const struct {
    const char* file;
    int32_t width, height;
    int16_t rotation;
    SizeBox box;
    bool scaled;
    const char* output;
  } cases[] = {
      {"a.jpg", 640, 480, 0, {640, 480}, false, "a.jpg"},  // fits exactly: copied
      {"a.jpg", 200, 150, 0, {195, 146}, true, "a.jpg"},   // small excess, but 200 wide
      {"a.jpg", 199, 149, 0, {195, 146}, false, "a.jpg"},  // small excess below 200
      {"a.jpg", 150, 100, 0, {140, 100}, true, "a.jpg"},   // 10 too wide
      {"a.jpg", 150, 100, 0, {141, 100}, false, "a.jpg"},  // 9 too wide
      {"a.jpg", 150, 200, 0, {150, 199}, true, "a.jpg"},   // 200 high and too high
      {"a.jpg", 100, 75, 0, {640, 480}, true, "a.jpg"},    // scaled up
      {"a.jpg", 100, 75, 0, {120, 90}, true, "a.jpg"},     // exactly 1.2 times
      {"a.jpg", 100, 75, 0, {119, 90}, false, "a.jpg"},    // not 1.2 times wider
      {"a.jpg", 640, 480, 0, {700, 500}, false, "a.jpg"},  // box barely larger
      {"a.jpg", 4000, 3000, 0, kOriginal, false, "a.jpg"},
      {"X.JPG", 640, 480, 0, {640, 480}, true, "X.JPG.jpg"},  // letter case counts
      {"a.jpeg", 64, 48, 0, {640, 480}, true, "a.jpeg.jpg"},
      {"a.tif", 640, 480, 0, kOriginal, true, "a.tif.jpg"},
      {"a.png", 640, 480, 0, {640, 480}, false, "a.png"},
      {"b.gif", 640, 480, 0, {700, 500}, false, "b.gif"},
      {"noext", 640, 480, 0, {640, 480}, true, "noext.jpg"},
      {"IMG_0001.jpg", 640, 480, 90, {640, 480}, true, "IMG_0001r90.jpg"},
      {"IMG_0001.jpg", 640, 480, 90, kOriginal, true, "IMG_0001r90.jpg"},
      {"IMG_0001.jpg", 640, 480, 270, kCopy, false, "IMG_0001.jpg"},  // a copy is the original
      {"IMG_0001.jpg", 640, 480, 90, kLink, false, "IMG_0001.jpg"},
      {"a.TIF", 640, 480, 180, kCopy, false, "a.TIF"},
      {"_extra/b.jpg", 1600, 1200, 0, {640, 480}, true, "_extra/b.jpg"},
      {"_extra/b.png", 1600, 1200, 0, {640, 480}, true, "_extra/b.png.jpg"},
  };
  for (const auto& c : cases) {
    const PictureRecord picture = Picture(c.file, c.width, c.height, c.rotation);
    EXPECT_EQ(IsScalingOfOrigImageNeeded(picture, c.box), c.scaled)
        << c.file << " " << c.width << "x" << c.height << " into " << GetSizeDirName(c.box);
    EXPECT_EQ(GetOutputFileName(picture, c.box), c.output)
        << c.file << " into " << GetSizeDirName(c.box);
  }
  EXPECT_TRUE(ui.log_lines.empty());
  EXPECT_EQ(GetOutputPath("/out/", Picture("_extra/b.jpg", 800, 600, 90), {160, 160}),
            "/out/_160x160_/_extra/br90.jpg");
  // Turned by its EXIF orientation: always made anew, under a name of its own.
  PictureRecord turned = Picture("IMG_0001.jpg", 640, 480);
  turned.orientation = 6;
  EXPECT_TRUE(IsScalingOfOrigImageNeeded(turned, kOriginal));
  EXPECT_EQ(GetOutputFileName(turned, kOriginal), "IMG_0001o6.jpg");
  EXPECT_EQ(GetOutputFileName(turned, {640, 480}), "IMG_0001o6.jpg");
  EXPECT_FALSE(IsScalingOfOrigImageNeeded(turned, kCopy));
  EXPECT_EQ(GetOutputFileName(turned, kCopy), "IMG_0001.jpg");
}

TEST(OutputFileNameTest, UnknownSizeIsAnInternalError) {
  RecordingUiPort ui;
  EXPECT_FALSE(IsScalingOfOrigImageNeeded(Picture("a.tif", 0, 480), {640, 480}));
  EXPECT_EQ(ui.log_lines, std::vector<std::string>{"IsScalingOfOrigImageNeeded: internal error"});
}

TEST(TileGeometryTest, FitsPicturesToThePixel) {
  const struct {
    int32_t picture_width, picture_height, box_width, box_height;
    bool exact;
    int32_t border_width, border_height;
    TileGeometry expected;  // canvas, then the picture's rectangle
  } cases[] = {
      {1600, 1200, 640, 640, false, 0, 0, {640, 640, 0, 80, 640, 480}},
      {1600, 1200, 640, 640, true, 0, 0, {640, 480, 0, 0, 640, 480}},
      {1600, 1200, 640, 640, false, 10, 5, {660, 650, 10, 85, 640, 480}},
      {1600, 1200, 640, 640, true, 10, 5, {660, 490, 10, 5, 640, 480}},
      {1600, 1195, 640, 480, false, 0, 0, {640, 480, 0, 0, 640, 480}},  // 478 stretched to 480
      {1600, 1190, 640, 480, false, 0, 0, {640, 480, 0, 2, 640, 476}},  // 476 is 4 short: centred
      {100, 75, 640, 480, false, 0, 0, {640, 480, 0, 0, 640, 480}},     // scaled up to the box
      {100, 75, 640, 640, false, 8, 8, {656, 656, 8, 88, 640, 480}},
      {640, 480, 640, 480, false, 0, 0, {640, 480, 0, 0, 640, 480}},
      {400, 93, 200, 200, false, 0, 0, {200, 200, 0, 77, 200, 46}},     // 46.5 rounds to 46
      {400, 91, 200, 200, false, 0, 0, {200, 200, 0, 77, 200, 46}},     // 45.5 rounds to 46
      {950, 1280, 640, 640, false, 0, 0, {640, 640, 82, 0, 475, 640}},  // offset 82.5 to 82
      {946, 1280, 640, 640, false, 0, 0, {640, 640, 84, 0, 473, 640}},  // offset 83.5 to 84
      {2000, 1, 100, 100, false, 0, 0, {100, 100, 0, 50, 100, 1}},      // at least one pixel
      {300, 200, 0, 100, false, 0, 0, {300, 100, 75, 0, 150, 100}},  // box width from the picture
      {123, 45, 0, 0, false, 2, 3, {127, 51, 2, 3, 123, 45}},
  };
  for (const auto& c : cases) {
    TileGeometry geometry;
    ASSERT_EQ(ComputeTileGeometry(c.picture_width, c.picture_height, c.box_width, c.box_height,
                                  c.exact, c.border_width, c.border_height, geometry),
              1);
    const auto as_array = [](const TileGeometry& g) {
      return std::array{g.canvas_width, g.canvas_height, g.x, g.y, g.width, g.height};
    };
    EXPECT_EQ(as_array(geometry), as_array(c.expected))
        << c.picture_width << "x" << c.picture_height << " into " << c.box_width << "x"
        << c.box_height << (c.exact ? " exact" : "");
  }
  TileGeometry geometry;
  EXPECT_EQ(ComputeTileGeometry(0, 0, 0, 100, false, 0, 0, geometry), kTileNoBox);
  EXPECT_EQ(ComputeTileGeometry(100, 100, -1, -1, false, 0, 0, geometry), kTileNoBox);
}

class ImageScalingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kLibraryDirSet);
    if (!FileExists(std::string(SNAPCRATE_TEST_HOME) + "libpixcore.so"))
      GTEST_SKIP() << "libpixcore.so is not built in " << SNAPCRATE_TEST_HOME;
    ClearAbort();
    MakeDir(source_);
    MakeDir(output_);
  }
  void TearDown() override { ClearAbort(); }

  /// A quadrant picture (red, green / blue, white) in the source directory.
  PictureRecord Source(const std::string& file_name, int32_t width, int32_t height,
                       int16_t rotation = 0) {
    std::filesystem::create_directories(std::filesystem::path(source_ + file_name).parent_path());
    EXPECT_TRUE(testing::WriteQuadrants(source_ + file_name, width, height)) << file_name;
    return Picture(file_name, width, height, rotation);
  }

  int32_t Resize(const PictureRecord& picture, std::span<const ScaledOutput> outputs) {
    return ResizeImage(source_, output_, picture, outputs, files_made_, operations_);
  }

  std::string Output(SizeBox box, const std::string& name) const {
    return output_ + GetSizeDirName(box) + "/" + name;
  }

  RecordingUiPort ui_;
  TempDir dir_;
  const std::string source_ = dir_ / "src/";
  const std::string output_ = dir_ / "out/";
  int32_t files_made_ = 0;
  int32_t operations_ = 0;
};

TEST_F(ImageScalingTest, SaveJpgTileCentresThePictureOnTheBackground) {
  const PictureRecord picture = Source("big.jpg", 1600, 1200);
  int32_t code = 0;
  PixBitmap bitmap = PixCoreLoadImage(-2, source_ + "big.jpg", code);
  ASSERT_EQ(code, 1);
  ScaledOutput style{.red = kGrey.red, .green = kGrey.green, .blue = kGrey.blue, .quality = 90};
  int32_t canvas_width = 0, canvas_height = 0;

  ASSERT_EQ(
      SaveJpgTile(bitmap.get(), dir_ / "box.jpg", 640, 640, style, canvas_width, canvas_height), 1);
  EXPECT_EQ(canvas_width, 640);
  EXPECT_EQ(canvas_height, 640);
  EXPECT_EQ(FileSize(dir_ / "box.jpg"), (Size{640, 640}));
  const struct {
    int x, y;
    Rgb colour;
  } box_pixels[] = {{320, 30}, {160, 200}, {480, 200}, {160, 440}, {480, 440}, {320, 610}};
  const Rgb box_colours[] = {kGrey,          testing::kRed,   testing::kGreen,
                             testing::kBlue, testing::kWhite, kGrey};
  for (size_t i = 0; i < std::size(box_pixels); ++i)
    EXPECT_TRUE(Near(PixelAt(dir_ / "box.jpg", box_pixels[i].x, box_pixels[i].y), box_colours[i]))
        << box_pixels[i].x << "," << box_pixels[i].y << ": "
        << PixelAt(dir_ / "box.jpg", box_pixels[i].x, box_pixels[i].y);

  style.exact_size = true;
  style.border_width = 4;
  style.border_height = 2;
  ASSERT_EQ(
      SaveJpgTile(bitmap.get(), dir_ / "exact.jpg", 640, 640, style, canvas_width, canvas_height),
      1);
  EXPECT_EQ(FileSize(dir_ / "exact.jpg"), (Size{648, 484}));
  EXPECT_TRUE(Near(PixelAt(dir_ / "exact.jpg", 1, 240), kGrey));
  EXPECT_TRUE(Near(PixelAt(dir_ / "exact.jpg", 30, 30), testing::kRed));

  // The source bitmap stays with the caller.
  int32_t width = 0, height = 0;
  EXPECT_EQ(PixCoreGetImageSize(bitmap.get(), width, height), 1);
}

TEST_F(ImageScalingTest, SmallPictureIsScaledUpIntoItsPlaceNotOverTheBorders) {
  Source("small.jpg", 100, 75);
  int32_t code = 0;
  PixBitmap bitmap = PixCoreLoadImage(-2, source_ + "small.jpg", code);
  ASSERT_EQ(code, 1);
  const ScaledOutput style{.border_width = 8,
                           .border_height = 8,
                           .red = kGrey.red,
                           .green = kGrey.green,
                           .blue = kGrey.blue,
                           .quality = 90};
  int32_t canvas_width = 0, canvas_height = 0;
  ASSERT_EQ(
      SaveJpgTile(bitmap.get(), dir_ / "up.jpg", 640, 640, style, canvas_width, canvas_height), 1);
  ASSERT_EQ(FileSize(dir_ / "up.jpg"), (Size{656, 656}));
  const std::string up = dir_ / "up.jpg";
  // Borders and the band above and below keep the background; the picture keeps its aspect.
  EXPECT_TRUE(Near(PixelAt(up, 3, 328), kGrey)) << PixelAt(up, 3, 328);
  EXPECT_TRUE(Near(PixelAt(up, 328, 50), kGrey)) << PixelAt(up, 328, 50);
  EXPECT_TRUE(Near(PixelAt(up, 328, 610), kGrey)) << PixelAt(up, 328, 610);
  EXPECT_TRUE(Near(PixelAt(up, 168, 200), testing::kRed)) << PixelAt(up, 168, 200);
  EXPECT_TRUE(Near(PixelAt(up, 488, 200), testing::kGreen)) << PixelAt(up, 488, 200);
  EXPECT_TRUE(Near(PixelAt(up, 168, 500), testing::kBlue)) << PixelAt(up, 168, 500);
  EXPECT_TRUE(Near(PixelAt(up, 488, 500), testing::kWhite)) << PixelAt(up, 488, 500);
}

TEST_F(ImageScalingTest, SaveJpgTileReportsItsFailures) {
  int32_t canvas_width = 0, canvas_height = 0;
  PixBitmap bitmap = PixCoreCreateBitmap(10, 10);
  // A quality the library refuses is brought into its range instead of failing every picture.
  EXPECT_EQ(SaveJpgTile(bitmap.get(), dir_ / "q0.jpg", 20, 20, ScaledOutput{.quality = 0},
                        canvas_width, canvas_height),
            1);
  EXPECT_EQ(SaveJpgTile(bitmap.get(), dir_ / "none/q.jpg", 20, 20, ScaledOutput{}, canvas_width,
                        canvas_height),
            PIXCORE_ERROR_WRITE);
  EXPECT_EQ(SaveJpgTile(0, dir_ / "b.jpg", 20, 20, ScaledOutput{}, canvas_width, canvas_height),
            PIXCORE_ERROR_ARGUMENT);
  EXPECT_EQ(SaveJpgTile(bitmap.get(), dir_ / "c.jpg", 40000, 40000, ScaledOutput{}, canvas_width,
                        canvas_height),
            kTileNoCanvas);
  EXPECT_FALSE(FileExists(dir_ / "c.jpg"));
}

TEST_F(ImageScalingTest, MakesEveryFileOnceAndASecondRunDecodesNothing) {
  const std::vector<ScaledOutput> outputs = {
      {.full = {640, 480}, .thumbnail = {160, 160}, .quality = 80},
      {.full = kCopy, .thumbnail = {160, 160}, .quality = 80},  // the same thumbnails again
      {.full = kLink, .thumbnail = {100, 100}, .quality = 80},
  };
  const std::vector<Subchapter> subchapters = {{"_extra", "Extra", 3}};
  for (const ScaledOutput& output : outputs) CreateSizeDirs(output_, output, subchapters);
  for (const char* dir : {"_640x480_", "_160x160_", "_160x160_2x_", "_origcopy_", "_origlink_",
                          "_100x100_", "_100x100_2x_"}) {
    EXPECT_TRUE(IsDirectory(output_ + dir)) << dir;
    EXPECT_TRUE(IsDirectory(output_ + dir + "/_extra")) << dir;
  }

  const std::vector<PictureRecord> pictures = {Source("big.jpg", 1600, 1200),
                                               Source("fits.jpg", 640, 480),
                                               Source("_extra/b.png", 300, 200)};
  for (const PictureRecord& picture : pictures)
    EXPECT_EQ(Resize(picture, outputs), 1) << picture.file_name;
  // Six files each: the second album's thumbnails (at 1x and 2x) are the
  // first's, and the third album's full pictures are links. fits.jpg is
  // copied into 640x480.
  EXPECT_EQ(files_made_, 18);
  EXPECT_EQ(operations_, 3);
  EXPECT_EQ(FileSize(Output({640, 480}, "big.jpg")), (Size{640, 480}));
  EXPECT_EQ(FileSize(Output({160, 160}, "big.jpg")), (Size{160, 160}));
  EXPECT_EQ(FileSize(Output({100, 100}, "big.jpg")), (Size{100, 100}));
  EXPECT_EQ(FileSize(Output({160, 160}, "_extra/b.png.jpg")), (Size{160, 160}));
  EXPECT_EQ(FileSize(Output({640, 480}, "_extra/b.png.jpg")), (Size{640, 480}));
  EXPECT_EQ(testing::ReadFile(Output(kCopy, "big.jpg")), testing::ReadFile(source_ + "big.jpg"));
  EXPECT_EQ(testing::ReadFile(Output({640, 480}, "fits.jpg")),
            testing::ReadFile(source_ + "fits.jpg"));
  EXPECT_EQ(testing::ReadFile(Output(kCopy, "_extra/b.png")),
            testing::ReadFile(source_ + "_extra/b.png"));
  EXPECT_EQ(CountFiles(output_ + "_origlink_"), 0);
  EXPECT_TRUE(ui_.log_lines.empty());

  // A copy keeps its original's time; it is up to date all the same.
  EXPECT_EQ(WriteTime(Output({640, 480}, "fits.jpg")), WriteTime(source_ + "fits.jpg"));
  const int64_t thumbnail_time = WriteTime(Output({160, 160}, "big.jpg"));

  // Pixels no decoder could read, at the original's time: a decode would fail.
  const int64_t source_time = WriteTime(source_ + "big.jpg");
  const auto source_clock = std::filesystem::last_write_time(source_ + "big.jpg");
  testing::WriteFile(source_ + "big.jpg", "no picture");
  std::filesystem::last_write_time(source_ + "big.jpg", source_clock);
  ASSERT_EQ(WriteTime(source_ + "big.jpg"), source_time);

  files_made_ = 0;
  for (const PictureRecord& picture : pictures)
    EXPECT_EQ(Resize(picture, outputs), 1) << picture.file_name;
  EXPECT_EQ(files_made_, 0);
  EXPECT_EQ(operations_, 3);
  EXPECT_EQ(WriteTime(Output({160, 160}, "big.jpg")), thumbnail_time);
  EXPECT_TRUE(ui_.log_lines.empty());
}

TEST_F(ImageScalingTest, NewerOriginalIsMadeAgainCopiesAndThumbnailsAlike) {
  const PictureRecord picture = Source("small.jpg", 150, 100);
  // Both boxes fit the original: both files are copies.
  const std::vector<ScaledOutput> outputs = {{.full = {160, 110}, .thumbnail = {155, 105}}};
  CreateSizeDirs(output_, outputs[0], {});
  ASSERT_EQ(Resize(picture, outputs), 1);
  ASSERT_EQ(files_made_, 2);
  ASSERT_EQ(testing::ReadFile(Output({155, 105}, "small.jpg")),
            testing::ReadFile(source_ + "small.jpg"));

  Source("small.jpg", 150, 100);  // written anew: newer than both copies
  ShiftWriteTime(source_ + "small.jpg", std::chrono::seconds(5));
  files_made_ = 0;
  ASSERT_EQ(Resize(picture, outputs), 1);
  EXPECT_EQ(files_made_, 2);
  EXPECT_EQ(WriteTime(Output({155, 105}, "small.jpg")), WriteTime(source_ + "small.jpg"));

  files_made_ = 0;
  ASSERT_EQ(Resize(picture, outputs), 1);
  EXPECT_EQ(files_made_, 0);
}

TEST_F(ImageScalingTest, LinkedAlbumProducesNothingForItsFullPictures) {
  const PictureRecord picture = Source("a.jpg", 800, 600);
  const std::vector<ScaledOutput> outputs = {{.full = kLink, .thumbnail = {160, 160}}};
  CreateSizeDirs(output_, outputs[0], {});
  ASSERT_EQ(Resize(picture, outputs), 1);
  EXPECT_EQ(files_made_, 2);  // the thumbnail at 1x and 2x
  EXPECT_TRUE(FileExists(Output({160, 160}, "a.jpg")));
  EXPECT_EQ(CountFiles(output_ + "_origlink_"), 0);
  files_made_ = 0;
  ASSERT_EQ(Resize(picture, outputs), 1);
  EXPECT_EQ(files_made_, 0);
  EXPECT_EQ(operations_, 1);
}

TEST_F(ImageScalingTest, RotatesOnceForEveryBox) {
  const PictureRecord picture = Source("IMG_0001.jpg", 400, 300, 90);
  const std::vector<ScaledOutput> outputs = {
      {.full = kOriginal, .thumbnail = {160, 160}, .quality = 90}};
  CreateSizeDirs(output_, outputs[0], {});
  ASSERT_EQ(Resize(picture, outputs), 1);
  EXPECT_EQ(files_made_, 3);
  const std::string full = Output(kOriginal, "IMG_0001r90.jpg");
  EXPECT_EQ(FileSize(full), (Size{300, 400}));
  // Turned clockwise: the bottom left (blue) comes to the top left.
  EXPECT_TRUE(Near(PixelAt(full, 75, 100), testing::kBlue)) << PixelAt(full, 75, 100);
  EXPECT_TRUE(Near(PixelAt(full, 225, 100), testing::kRed)) << PixelAt(full, 225, 100);
  const std::string thumbnail = Output({160, 160}, "IMG_0001r90.jpg");
  EXPECT_EQ(FileSize(thumbnail), (Size{160, 160}));
  EXPECT_TRUE(Near(PixelAt(thumbnail, 40, 40), testing::kBlue)) << PixelAt(thumbnail, 40, 40);
  EXPECT_TRUE(Near(PixelAt(thumbnail, 5, 80), kBlack)) << PixelAt(thumbnail, 5, 80);
}

TEST_F(ImageScalingTest, PictureDecodedSmallerComesOutAsFromAFullDecode) {
  // 640 x 301 is decoded at half size for a 160 x 160 box; the half-size
  // picture alone would give 160 x 76 (320 x 151 halved), the original 160 x 75.
  const PictureRecord picture = Source("wide.jpg", 640, 301);
  std::vector<ScaledOutput> outputs = {
      {.full = kLink, .thumbnail = {160, 160}, .exact_size = true}};
  CreateSizeDirs(output_, outputs[0], {});
  ASSERT_EQ(Resize(picture, outputs), 1);
  EXPECT_EQ(FileSize(Output({160, 160}, "wide.jpg")), (Size{160, 75}));

  const PictureRecord turned = Source("tall.jpg", 640, 301, 90);
  ASSERT_EQ(Resize(turned, outputs), 1);
  EXPECT_EQ(FileSize(Output({160, 160}, "tallr90.jpg")), (Size{75, 160}));

  // Turned right by its EXIF orientation: the stored bottom left comes to the top left.
  ASSERT_TRUE(testing::WriteJpegWithOrientation(source_ + "exif.jpg", 640, 301, 6));
  PictureRecord exif = Picture("exif.jpg", 640, 301);
  exif.orientation = 6;
  ASSERT_EQ(Resize(exif, outputs), 1);
  const std::string upright = Output({160, 160}, "exifo6.jpg");
  EXPECT_EQ(FileSize(upright), (Size{75, 160}));
  EXPECT_TRUE(Near(PixelAt(upright, 10, 10), testing::kBlue)) << PixelAt(upright, 10, 10);
  EXPECT_TRUE(Near(PixelAt(upright, 65, 150), testing::kGreen)) << PixelAt(upright, 65, 150);
}

// Without an original-size box the picture is scaled while it is decoded, to
// the largest file; every other file is made from that.
TEST_F(ImageScalingTest, PictureScaledWhileDecodedServesEveryBoxTurned) {
  const PictureRecord picture = Source("IMG_0002.jpg", 1600, 1200, 270);
  const std::vector<ScaledOutput> outputs = {
      {.full = {640, 480}, .thumbnail = {160, 160}, .quality = 90},
      {.full = {800, 600}, .thumbnail = {100, 100}, .exact_size = true, .border_width = 4,
       .border_height = 2, .red = kGrey.red, .green = kGrey.green, .blue = kGrey.blue, .quality = 90},
  };
  for (const ScaledOutput& output : outputs) CreateSizeDirs(output_, output, {});
  ASSERT_EQ(Resize(picture, outputs), 1);
  EXPECT_EQ(files_made_, 6);
  // Turned counter-clockwise: green comes to the top left, blue to the bottom right.
  const std::string full = Output({640, 480}, "IMG_0002r270.jpg");
  ASSERT_EQ(FileSize(full), (Size{640, 480}));
  EXPECT_TRUE(Near(PixelAt(full, 230, 120), testing::kGreen)) << PixelAt(full, 230, 120);
  EXPECT_TRUE(Near(PixelAt(full, 410, 360), testing::kBlue)) << PixelAt(full, 410, 360);
  EXPECT_TRUE(Near(PixelAt(full, 20, 240), kBlack)) << PixelAt(full, 20, 240);
  EXPECT_EQ(FileSize(Output({160, 160}, "IMG_0002r270.jpg")), (Size{160, 160}));
  const std::string larger = Output({800, 600}, "IMG_0002r270.jpg");
  ASSERT_EQ(FileSize(larger), (Size{458, 604}));
  EXPECT_TRUE(Near(PixelAt(larger, 1, 300), kGrey)) << PixelAt(larger, 1, 300);
  EXPECT_TRUE(Near(PixelAt(larger, 340, 150), testing::kWhite)) << PixelAt(larger, 340, 150);
  EXPECT_TRUE(Near(PixelAt(larger, 110, 450), testing::kRed)) << PixelAt(larger, 110, 450);
  EXPECT_EQ(FileSize(Output({100, 100}, "IMG_0002r270.jpg")), (Size{83, 104}));
}

TEST(Thumbnail2xTest, OnlyAScaledThumbnailOfALargerPictureGetsOne) {
  const struct {
    PictureRecord picture;
    SizeBox box;
    bool needed;
  } cases[] = {
      {Picture("a.jpg", 1600, 1200), {160, 160}, true},
      {Picture("a.jpg", 1200, 1600, 90), {200, 100}, true},
      {Picture("a.jpg", 300, 225), {160, 160}, true},
      {Picture("a.jpg", 150, 100), {155, 105}, false},  // the original serves as thumbnail
      {Picture("a.jpg", 100, 75), {160, 160}, false},   // scaled up: nothing more to show
      {Picture("a.jpg", 1600, 1200), kOriginal, false},
      {Picture("a.jpg", 1600, 1200), kCopy, false},
      {Picture("a.jpg", 1600, 1200), kLink, false},
      {Picture("a.jpg", 30000, 20000), {20000, 20000}, false},  // twice the box is no box
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsThumbnail2xNeeded(c.picture, c.box), c.needed)
        << c.picture.width << "x" << c.picture.height << " into " << c.box.width << "x"
        << c.box.height;
  EXPECT_EQ(GetThumbnail2xDirName({160, 120}), "_160x120_2x_");
}

TEST_F(ImageScalingTest, ThumbnailAtTwiceTheBoxIsTheSameCanvasDoubledAndKeptCurrent) {
  const PictureRecord picture = Source("IMG_0003.jpg", 1600, 1200);
  const std::vector<ScaledOutput> outputs = {
      {.full = {640, 480}, .thumbnail = {160, 160}, .exact_size = true, .border_width = 8,
       .border_height = 1, .red = kGrey.red, .green = kGrey.green, .blue = kGrey.blue}};
  CreateSizeDirs(output_, outputs[0], {});
  ASSERT_EQ(Resize(picture, outputs), 1);
  EXPECT_EQ(files_made_, 3);
  EXPECT_EQ(operations_, 1);
  EXPECT_EQ(FileSize(Output({160, 160}, "IMG_0003.jpg")), (Size{176, 122}));
  const std::string doubled = output_ + "_160x160_2x_/IMG_0003.jpg";
  ASSERT_EQ(FileSize(doubled), (Size{352, 244}));
  EXPECT_TRUE(Near(PixelAt(doubled, 4, 120), kGrey)) << PixelAt(doubled, 4, 120);
  EXPECT_TRUE(Near(PixelAt(doubled, 96, 62), testing::kRed)) << PixelAt(doubled, 96, 62);
  EXPECT_TRUE(Near(PixelAt(doubled, 256, 182), testing::kWhite)) << PixelAt(doubled, 256, 182);

  files_made_ = 0;
  ASSERT_EQ(Resize(picture, outputs), 1);
  EXPECT_EQ(files_made_, 0);
  // An album made before the 2x files existed gets them by the next run.
  std::filesystem::remove(doubled);
  ASSERT_EQ(Resize(picture, outputs), 1);
  EXPECT_EQ(files_made_, 1);
  EXPECT_EQ(FileSize(doubled), (Size{352, 244}));
}

TEST_F(ImageScalingTest, UnreadablePictureIsLoggedAndNamesItsCode) {
  testing::WriteFile(source_ + "broken.jpg", "no picture at all");
  const std::vector<ScaledOutput> outputs = {{.full = {640, 480}, .thumbnail = {160, 160}}};
  CreateSizeDirs(output_, outputs[0], {});
  const int32_t code = Resize(Picture("broken.jpg", 1600, 1200), outputs);
  EXPECT_TRUE(code == PIXCORE_ERROR_FORMAT || code == PIXCORE_ERROR_DECODE) << code;
  EXPECT_EQ(ui_.log_lines,
            std::vector<std::string>{"PixCore_LoadImage: Error " + std::to_string(code) +
                                     " while loading '" + source_ + "broken.jpg'"});
  EXPECT_EQ(files_made_, 0);
}

TEST_F(ImageScalingTest, PictureClaimingTooManyPixelsIsRefusedBeforeDecoding) {
  ASSERT_TRUE(testing::WriteQuadrants(source_ + "huge.jpg", 64, 48));
  std::string bytes = testing::ReadBytes(source_ + "huge.jpg");
  const size_t frame = bytes.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  for (size_t at : {frame + 5, frame + 7}) {  // height, width: 60000 each
    bytes[at] = char(60000 >> 8);
    bytes[at + 1] = char(60000 & 0xFF);
  }
  ASSERT_TRUE(testing::WriteBytes(source_ + "huge.jpg", bytes));
  const std::vector<ScaledOutput> outputs = {{.full = {640, 480}, .thumbnail = {160, 160}}};
  CreateSizeDirs(output_, outputs[0], {});
  EXPECT_EQ(Resize(Picture("huge.jpg", 60000, 60000), outputs), PIXCORE_ERROR_TOO_LARGE);
  EXPECT_EQ(ui_.log_lines, std::vector<std::string>{"'" + source_ +
                                                    "huge.jpg' claims 60000 x 60000 pixels, more than the "
                                                    "268435456 a picture may have: not loaded"});
  EXPECT_EQ(files_made_, 0);
}

TEST_F(ImageScalingTest, LongestNamesAreWrittenThroughTheirTemporaryFiles) {
  // 255 bytes with the extension: the temporary name must not be longer.
  const std::string name = std::string(251, 'n') + ".jpg";
  const std::vector<ScaledOutput> outputs = {{.full = {640, 480}, .thumbnail = {160, 160}}};
  CreateSizeDirs(output_, outputs[0], {});
  EXPECT_EQ(Resize(Source(name, 800, 600), outputs), 1);
  EXPECT_EQ(files_made_, 3);  // the picture, the thumbnail at 1x and 2x
  EXPECT_EQ(FileSize(Output({160, 160}, name)), (Size{160, 160}));
  EXPECT_TRUE(ui_.log_lines.empty());
}

TEST_F(ImageScalingTest, MissingLibraryIsLoggedNotACrash) {
  const PictureRecord picture = Source("a.jpg", 800, 600);
  const std::vector<ScaledOutput> outputs = {{.full = {640, 480}, .thumbnail = {160, 160}}};
  CreateSizeDirs(output_, outputs[0], {});
  TempDir empty;
  SetLibraryDir(empty.path());
  const int32_t code = Resize(picture, outputs);
  SetLibraryDir(SNAPCRATE_TEST_HOME);

  EXPECT_EQ(code, PIXCORE_ERROR_INIT);
  ASSERT_EQ(ui_.log_lines.size(), 2u);
  EXPECT_EQ(ui_.log_lines[0].rfind("Can't load library " + empty.path() + "libpixcore.so: ", 0),
            0u);
  EXPECT_EQ(ui_.log_lines[1], "PixCore_LoadImage: Error 108 while loading '" + source_ + "a.jpg'");
  EXPECT_EQ(files_made_, 0);
}

TEST_F(ImageScalingTest, FailedTileEndsThePictureWithItsCode) {
  const PictureRecord picture = Source("a.jpg", 800, 600);
  const std::vector<ScaledOutput> outputs = {{.full = {640, 480}, .thumbnail = {160, 160}}};
  // No size directories: the thumbnail cannot be written.
  const int32_t code = Resize(picture, outputs);
  EXPECT_EQ(code, PIXCORE_ERROR_WRITE);
  EXPECT_EQ(ui_.log_lines,
            std::vector<std::string>{"Error while creating '" + Output({160, 160}, "a.jpg") + "'"});
  EXPECT_EQ(files_made_, 0);
}

TEST_F(ImageScalingTest, AbortStopsBeforeAnythingIsWritten) {
  const PictureRecord picture = Source("a.jpg", 800, 600);
  const std::vector<ScaledOutput> outputs = {{.full = {640, 480}, .thumbnail = {160, 160}}};
  CreateSizeDirs(output_, outputs[0], {});
  ui_.abort_at_event = 1;
  EXPECT_EQ(Resize(picture, outputs), kResizeAborted);
  EXPECT_EQ(files_made_, 0);
  EXPECT_FALSE(FileExists(Output({160, 160}, "a.jpg")));
  EXPECT_EQ(ui_.progress_labels, std::vector<std::string>{source_ + "a.jpg"});

  // The next run finds nothing done and does it all.
  ClearAbort();
  ui_.abort_at_event = 0;
  EXPECT_EQ(Resize(picture, outputs), 1);
  EXPECT_EQ(files_made_, 3);
}

TEST_F(ImageScalingTest, RealCameraPicturesComeOutInTheirBoxes) {
  const std::string samples = SNAPCRATE_SOURCE_DIR "../shared/testdata/exif-samples/";
  if (!IsDirectory(samples)) GTEST_SKIP() << "sample pictures not found at " << samples;
  std::vector<DirEntry> entries;
  ListDirEntries(samples, kFileEntries, entries, kMaxDirEntries);
  const std::vector<ScaledOutput> outputs = {
      {.full = {640, 480}, .thumbnail = {160, 160}, .quality = 75}};
  CreateSizeDirs(output_, outputs[0], {});
  int pictures = 0;
  for (const DirEntry& entry : entries) {
    PictureRecord picture;
    if (!ReadPictureRecord(samples, entry.name, picture) || picture.extension != ".jpg") continue;
    ++pictures;
    const int32_t code = ResizeImage(samples, output_, picture, outputs, files_made_, operations_);
    if (code != 1) {
      // Damaged samples: one log line naming the file, nothing else.
      EXPECT_EQ(ui_.log_lines.back(), "PixCore_LoadImage: Error " + std::to_string(code) +
                                          " while loading '" + samples + entry.name + "'");
      continue;
    }
    // Pictures stored turned come out upright, under their own names.
    EXPECT_EQ(FileSize(Output({160, 160}, GetOutputFileName(picture, {160, 160}))), (Size{160, 160}))
        << entry.name;
    const std::string full = Output({640, 480}, GetOutputFileName(picture, {640, 480}));
    if (IsScalingOfOrigImageNeeded(picture, {640, 480}))
      EXPECT_EQ(FileSize(full), (Size{640, 480})) << entry.name;
    else
      EXPECT_EQ(testing::ReadFile(full), testing::ReadFile(samples + entry.name)) << entry.name;
  }
  ASSERT_GT(pictures, 10);
  EXPECT_GT(files_made_, 2 * 10);

  files_made_ = 0;
  ui_.log_lines.clear();
  for (const DirEntry& entry : entries) {
    PictureRecord picture;
    if (!ReadPictureRecord(samples, entry.name, picture) || picture.extension != ".jpg") continue;
    ResizeImage(samples, output_, picture, outputs, files_made_, operations_);
  }
  // Damaged pictures are tried again; every picture made is up to date.
  EXPECT_EQ(files_made_, 0);
}

}  // namespace
}  // namespace snapcrate
