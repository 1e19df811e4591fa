// Lossless rotation of JPEG files in place or into a new file.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <turbojpeg.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "jpegtran/jpegtran.h"
#include "jpegtran/jpegtran_test_support.h"

namespace snapcrate::testing {
namespace {

const Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

TEST(JpegTranRotate, TurnsClockwiseByQuarterTurns) {
  ScratchDir dir;
  ASSERT_TRUE(WriteBytes(dir / "in.jpg", MakeJpeg(64, 32, TJSAMP_444)));
  struct Case {
    int32_t angle;
    int width, height;
    Rgb corners[4];  // top left, top right, bottom left, bottom right
  };
  const Case cases[] = {
      {90, 32, 64, {kBlue, kRed, kWhite, kGreen}},
      {-270, 32, 64, {kBlue, kRed, kWhite, kGreen}},
      {180, 64, 32, {kWhite, kBlue, kGreen, kRed}},
      {-180, 64, 32, {kWhite, kBlue, kGreen, kRed}},
      {270, 32, 64, {kGreen, kWhite, kRed, kBlue}},
      {-90, 32, 64, {kGreen, kWhite, kRed, kBlue}},
      {0, 64, 32, {kRed, kGreen, kBlue, kWhite}},
      {360, 64, 32, {kRed, kGreen, kBlue, kWhite}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.angle);
    ASSERT_EQ(JT_Rotate((dir / "in.jpg").c_str(), (dir / "out.jpg").c_str(), c.angle), JT_OK);
    const Decoded out = DecodeJpeg(ReadBytes(dir / "out.jpg"));
    ASSERT_EQ(out.width, c.width);
    ASSERT_EQ(out.height, c.height);
    const int right = c.width - 2, bottom = c.height - 2;
    EXPECT_TRUE(Near(out.At(1, 1), c.corners[0]));
    EXPECT_TRUE(Near(out.At(right, 1), c.corners[1]));
    EXPECT_TRUE(Near(out.At(1, bottom), c.corners[2]));
    EXPECT_TRUE(Near(out.At(right, bottom), c.corners[3]));
  }
}

TEST(JpegTranRotate, FourQuarterTurnsGiveBackTheSamePixels) {
  ScratchDir dir;
  const std::string path = dir / "a.jpg";
  ASSERT_TRUE(WriteBytes(path, MakeJpeg(96, 48, TJSAMP_420)));
  const Decoded before = DecodeJpeg(ReadBytes(path));
  for (int turn = 0; turn < 4; ++turn) ASSERT_EQ(JT_Rotate(path.c_str(), path.c_str(), 90), JT_OK);
  const Decoded after = DecodeJpeg(ReadBytes(path));
  ASSERT_EQ(after.width, 96);
  ASSERT_EQ(after.height, 48);
  // Decoding and encoding again would have drifted; moved blocks do not.
  EXPECT_TRUE(after.rgb == before.rgb);
  EXPECT_EQ(dir.List(), std::vector<std::string>{"a.jpg"});
}

TEST(JpegTranRotate, CutsOnlyEdgeBlocksThatCannotMove) {
  ScratchDir dir;
  // 4:2:0 moves 16 x 16 blocks; 100 x 75 has partial blocks on both edges.
  const std::string source = dir / "odd.jpg";
  ASSERT_TRUE(WriteBytes(source, MakeJpeg(100, 75, TJSAMP_420)));
  struct Case {
    int32_t angle;
    int width, height;
  };
  const Case cases[] = {{90, 64, 100}, {180, 96, 64}, {270, 75, 96}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.angle);
    ASSERT_EQ(JT_Rotate(source.c_str(), (dir / "out.jpg").c_str(), c.angle), JT_OK);
    const Decoded out = DecodeJpeg(ReadBytes(dir / "out.jpg"));
    EXPECT_EQ(out.width, c.width);
    EXPECT_EQ(out.height, c.height);
  }
}

TEST(JpegTranRotate, KeepsMarkersAndMakesExifDescribeTheTurnedPicture) {
  ScratchDir dir;
  const std::string exif = MakeExifSegment(true, true, {6, 64, 32});
  const std::string comment = std::string("\xFF\xFE\x00\x0A", 4) + "keep me!";
  const std::string profile = std::string("\xFF\xE2\x00\x10ICC_PROFILE\0\x01\x01", 18);
  const std::string jpeg =
      InsertAfterStart(InsertAfterStart(InsertAfterStart(MakeJpeg(64, 32, TJSAMP_444), comment),
                                        profile),
                       exif);
  ASSERT_TRUE(WriteBytes(dir / "in.jpg", jpeg));
  ASSERT_EQ(JT_Rotate((dir / "in.jpg").c_str(), (dir / "out.jpg").c_str(), 90), JT_OK);
  const std::string out = ReadBytes(dir / "out.jpg");
  const std::string kept = FindSegment(out, 0xE1, std::string("Exif\0\0", 6));
  ASSERT_EQ(kept.size(), exif.size());
  EXPECT_EQ(ReadExifSegment(kept, true, true), (ExifValues{1, 32, 64}));
  // Everything else in the segment, the camera name among it, is as it was.
  EXPECT_EQ(kept, MakeExifSegment(true, true, {1, 32, 64}));
  EXPECT_EQ(FindSegment(out, 0xFE), comment);
  EXPECT_EQ(FindSegment(out, 0xE2), profile);
}

TEST(JpegTranRotate, SetsExifSizeToTheTrimmedSizeWhereverTheSegmentSits) {
  ScratchDir dir;
  const std::string picture = MakeJpeg(100, 75, TJSAMP_420);
  const std::string exif = MakeExifSegment(false, true, {8, 100, 75});
  const std::string jfif = FindSegment(picture, 0xE0);
  ASSERT_FALSE(jfif.empty());
  const std::string layouts[] = {
      InsertAfterStart(picture, exif),
      // After the JFIF header, where the turn itself leaves EXIF alone.
      picture.substr(0, 2) + jfif + exif + picture.substr(2 + jfif.size()),
  };
  for (const std::string& jpeg : layouts) {
    ASSERT_TRUE(WriteBytes(dir / "in.jpg", jpeg));
    ASSERT_EQ(JT_Rotate((dir / "in.jpg").c_str(), (dir / "out.jpg").c_str(), 90), JT_OK);
    const std::string kept =
        FindSegment(ReadBytes(dir / "out.jpg"), 0xE1, std::string("Exif\0\0", 6));
    EXPECT_EQ(ReadExifSegment(kept, false, true), (ExifValues{1, 64, 100}));
  }
}

TEST(JpegTranRotate, FailureLeavesDestinationUntouched) {
  ScratchDir dir;
  const std::string good = MakeJpeg(32, 32, TJSAMP_444);
  ASSERT_TRUE(WriteBytes(dir / "good.jpg", good));
  ASSERT_TRUE(WriteBytes(dir / "text.jpg", "this is no picture"));
  ASSERT_TRUE(WriteBytes(dir / "empty.jpg", ""));
  ASSERT_TRUE(WriteBytes(dir / "headless.jpg", good.substr(0, 20)));
  ASSERT_TRUE(WriteBytes(dir / "old.jpg", "previous contents"));
  std::filesystem::create_directory(dir / "folder");
  struct Case {
    std::string source, destination;
    int32_t angle;
    int32_t result;
  };
  const Case cases[] = {
      {dir / "missing.jpg", dir / "old.jpg", 90, JT_ERROR_OPEN},
      {dir / "folder", dir / "old.jpg", 90, JT_ERROR_OPEN},
      {dir / "text.jpg", dir / "old.jpg", 90, JT_ERROR_NOT_JPEG},
      {dir / "empty.jpg", dir / "old.jpg", 90, JT_ERROR_NOT_JPEG},
      {dir / "headless.jpg", dir / "old.jpg", 90, JT_ERROR_NOT_JPEG},
      {dir / "good.jpg", dir / "old.jpg", 45, JT_ERROR_ARGUMENT},
      {dir / "good.jpg", dir / "old.jpg", 1, JT_ERROR_ARGUMENT},
      {dir / "good.jpg", "", 90, JT_ERROR_ARGUMENT},
      {dir / "good.jpg", dir / "missing/out.jpg", 90, JT_ERROR_WRITE},
      {dir / "good.jpg", dir / "folder", 90, JT_ERROR_WRITE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source + " -> " + c.destination);
    EXPECT_EQ(JT_Rotate(c.source.c_str(), c.destination.c_str(), c.angle), c.result);
  }
  EXPECT_EQ(JT_Rotate(nullptr, (dir / "x.jpg").c_str(), 90), JT_ERROR_ARGUMENT);
  EXPECT_EQ(ReadBytes(dir / "old.jpg"), "previous contents");
  EXPECT_EQ(ReadBytes(dir / "good.jpg"), good);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
  // No temporary file stays behind either.
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"empty.jpg", "folder", "good.jpg",
                                                  "headless.jpg", "old.jpg", "text.jpg"}));
}

TEST(JpegTranRotate, TurnsTruncatedFileAsFarAsItGoes) {
  ScratchDir dir;
  const std::string full = MakeJpeg(256, 128, TJSAMP_444);
  ASSERT_TRUE(WriteBytes(dir / "cut.jpg", full.substr(0, full.size() * 2 / 3)));
  ASSERT_EQ(JT_Rotate((dir / "cut.jpg").c_str(), (dir / "out.jpg").c_str(), 90), JT_OK);
  const Decoded out = DecodeJpeg(ReadBytes(dir / "out.jpg"));
  EXPECT_EQ(out.width, 128);
  EXPECT_EQ(out.height, 256);
}

TEST(JpegTranRotate, GivesTheResultTheSourcesPermissions) {
  ScratchDir dir;
  ASSERT_TRUE(WriteBytes(dir / "in.jpg", MakeJpeg(16, 16, TJSAMP_444)));
  ASSERT_EQ(chmod((dir / "in.jpg").c_str(), 0444), 0);
  ASSERT_EQ(JT_Rotate((dir / "in.jpg").c_str(), (dir / "out.jpg").c_str(), 180), JT_OK);
  struct stat info;
  ASSERT_EQ(stat((dir / "out.jpg").c_str(), &info), 0);
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(info.st_mode & 0777, 0444 & ~mask);
}

TEST(JpegTranExports, BindsByPlainNameAndNamesVersions) {
  void* library = dlopen(SNAPCRATE_TEST_HOME "libjpegtran.so", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto version = reinterpret_cast<JT_GetVersionFn>(dlsym(library, "JT_GetVersion"));
  EXPECT_NE(dlsym(library, "JT_Rotate"), nullptr);
  ASSERT_NE(version, nullptr);
  char buffer[JT_VERSION_BUFFER_SIZE];
  std::memset(buffer, 'x', sizeof buffer);
  ASSERT_EQ(version(buffer), JT_OK);
  ASSERT_NE(std::memchr(buffer, '\0', sizeof buffer), nullptr);
  const std::string text = buffer;
  EXPECT_EQ(text.rfind("jpegtran ", 0), 0u) << text;
  EXPECT_NE(text.find("(libjpeg-turbo "), std::string::npos) << text;
  EXPECT_EQ(version(nullptr), JT_ERROR_ARGUMENT);
  dlclose(library);
}

}  // namespace
}  // namespace snapcrate::testing
