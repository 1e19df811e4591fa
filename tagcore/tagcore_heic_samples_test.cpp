// Phone HEIC pictures: a shift of one hour changes nothing but the bytes of
// the EXIF dates, and an independent reader finds the shifted dates.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tagcore/tagcore.h"
#include "tagcore/tagcore_test_support.h"
#include "tests/support/exif_writer/file_bytes.h"

namespace snapcrate::tagcore_test {
namespace {

namespace fs = std::filesystem;

const fs::path kSamples = fs::path(SNAPCRATE_SOURCE_DIR) / "../shared/testdata/heic-samples";

struct Sample {
  const char* file;
  const char* date;     // every EXIF date of the picture
  const char* shifted;  // the same, one hour later
};

const Sample kSamplesList[] = {
    {"IMG_5195.HEIC", "2021:04:11 15:47:53", "2021:04:11 16:47:53"},
    {"iphone_13_pro_max.HEIC", "2022:02:16 12:55:41", "2022:02:16 13:55:41"},
};

// Whether the 19 bytes at `at` read like "YYYY:MM:DD HH:MM:SS".
bool IsDateAt(const Bytes& bytes, size_t at) {
  static const char kPattern[] = "dddd:dd:dd dd:dd:dd";
  if (at + 19 > bytes.size()) return false;
  for (size_t i = 0; i < 19; ++i) {
    const char c = static_cast<char>(bytes[at + i]);
    if (kPattern[i] == 'd' ? (c < '0' || c > '9') : c != kPattern[i]) return false;
  }
  return true;
}

std::string CommandOutput(const std::string& command) {
  std::string out;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  pclose(pipe);
  return out;
}

TEST(TagCoreHeicSamples, HourShiftChangesOnlyDateBytesAndExiftoolReadsThem) {
  if (!fs::exists(kSamples / "SOURCE.txt")) GTEST_SKIP() << "no HEIC samples at " << kSamples;
  const bool have_exiftool = std::system("exiftool -ver >/dev/null 2>&1") == 0;
  ScopedTimeZone zone("UTC0");
  for (const Sample& sample : kSamplesList) {
    SCOPED_TRACE(sample.file);
    const Bytes original = exif_writer::ReadFileBytes((kSamples / sample.file).string());
    TempDir dir;
    const std::string copy = dir.Write("shifted.heic", original);
    int32_t code = -1;
    CaptureStdout([&] { code = TagCore_AdjustDateTime(copy.c_str(), 3600); });
    ASSERT_EQ(code, 0);

    const Bytes shifted = exif_writer::ReadFileBytes(copy);
    ASSERT_EQ(shifted.size(), original.size());
    int dates = 0;
    for (size_t i = 0; i < original.size(); ++i) {
      if (original[i] == shifted[i]) continue;
      // The first changed byte of a date lies behind its year; find its start.
      size_t start = i;
      while (start > 0 && i - start < 18 && !IsDateAt(original, start)) --start;
      ASSERT_TRUE(IsDateAt(original, start)) << "byte " << i << " changed outside a date";
      EXPECT_EQ(std::string(original.begin() + long(start), original.begin() + long(start) + 19),
                sample.date);
      EXPECT_EQ(std::string(shifted.begin() + long(start), shifted.begin() + long(start) + 19),
                sample.shifted);
      i = start + 18;
      ++dates;
    }
    EXPECT_EQ(dates, 3);  // DateTime, DateTimeOriginal, DateTimeDigitized

    if (!have_exiftool) continue;
    const std::string read = CommandOutput(
        "exiftool -s -s -s -EXIF:DateTimeOriginal -EXIF:CreateDate -EXIF:ModifyDate '" + copy +
        "'");
    const std::string want = std::string(sample.shifted) + "\n";
    EXPECT_EQ(read, want + want + want);
  }
  if (!have_exiftool) GTEST_SKIP() << "exiftool not installed: shifted dates not read back";
}

}  // namespace
}  // namespace snapcrate::tagcore_test
