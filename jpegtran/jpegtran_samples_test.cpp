// Real camera files keep their EXIF block through a lossless turn.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "jpegtran/jpegtran.h"
#include "jpegtran/jpegtran_test_support.h"

namespace snapcrate::testing {
namespace {

const std::filesystem::path kSamples = SNAPCRATE_SOURCE_DIR "../shared/testdata/exif-samples";

TEST(JpegTranSamples, TurnsEveryCameraFileKeepingItsExif) {
  if (!std::filesystem::is_directory(kSamples)) {
    GTEST_SKIP() << "no camera samples at " << kSamples.string();
  }
  ScratchDir dir;
  int turned = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kSamples)) {
    if (entry.path().extension() != ".jpg") continue;
    const std::string path = entry.path().string();
    SCOPED_TRACE(path);
    const std::string before = ReadBytes(path);
    const Decoded original = DecodeJpeg(before);
    ASSERT_GT(original.width, 0);
    const std::string out = dir / "turned.jpg";
    ASSERT_EQ(JT_Rotate(path.c_str(), out.c_str(), -90), JT_OK);
    const std::string after = ReadBytes(out);
    const Decoded result = DecodeJpeg(after);
    // Turning left moves the right edge to the top: only its partial blocks
    // (under 16 pixels) may have been cut.
    EXPECT_EQ(result.width, original.height);
    EXPECT_LE(result.height, original.width);
    EXPECT_GT(result.height, original.width - 16);
    const std::string exif_name("Exif\0\0", 6);
    EXPECT_EQ(FindSegment(after, 0xE1, exif_name).size(), FindSegment(before, 0xE1, exif_name).size());
    ++turned;
  }
  EXPECT_GT(turned, 0);
}

}  // namespace
}  // namespace snapcrate::testing
