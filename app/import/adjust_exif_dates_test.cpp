#include "app/import/adjust_exif_dates.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "app/exif/exif_info.h"
#include "app/library_loader.h"
#include "tests/support/exif_writer/camera_exif.h"
#include "tests/support/exif_writer/heif_builder.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

TEST(OffsetSecondsTest, SumsTheFieldsAndRefusesWhatDoesNotFit) {
  const struct {
    DateAdjustOffset offset;
    std::optional<int32_t> seconds;
  } cases[] = {
      {{.years = 0, .weeks = 0, .days = 0, .hours = 1, .minutes = 0, .seconds = 0, .sign = 1}, 3600},
      {{.years = 0, .weeks = 0, .days = 1, .hours = 2, .minutes = 0, .seconds = 0, .sign = -1}, -93600},
      {{.years = 1, .weeks = 1, .days = 0, .hours = 0, .minutes = 0, .seconds = 0, .sign = 1}, 32140800},
      {{.years = 68, .weeks = 0, .days = 0, .hours = 0, .minutes = 0, .seconds = 0, .sign = -1}, -2144448000},
      {{.years = 68, .weeks = 4, .days = 0, .hours = 0, .minutes = 0, .seconds = 0, .sign = 1}, 2146867200},
      {{.years = 68, .weeks = 6, .days = 0, .hours = 0, .minutes = 0, .seconds = 0, .sign = 1}, std::nullopt},
      {{.years = 99, .weeks = 0, .days = 0, .hours = 0, .minutes = 0, .seconds = 0, .sign = 1}, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(OffsetSeconds(c.offset), c.seconds);
}

TEST(AdjustSummaryTest, Words) {
  EXPECT_EQ(AdjustSummary({}), "No JPG-Files found!");
  EXPECT_EQ(AdjustSummary({.adjusted = 4}), "All 4 found JPEG files adjusted!");
  EXPECT_EQ(AdjustSummary({.adjusted = 2, .without_exif_date = 1, .not_writeable = 1}),
            "2 JPEG files adjusted!\r\n1 JPEG files without valid EXIF (date) info found\r\n"
            "1 JPEG files not writeable\r\n4 JPEG files totally found");
  EXPECT_EQ(AdjustSummary({.adjusted = 1, .failed = 2}),
            "1 JPEG files adjusted!\r\n2 JPEG files failed\r\n3 JPEG files totally found");
  EXPECT_EQ(AdjustSummary({.adjusted = 1, .unreadable_dirs = 1}),
            "All 1 found JPEG files adjusted!\r\n1 folder could not be read");
}

class AdjustTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLibraryDir(SNAPCRATE_TEST_HOME);
    const char* tz = getenv("TZ");
    old_tz_ = tz ? tz : "";
    had_tz_ = tz != nullptr;
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
  }
  void TearDown() override {
    if (had_tz_) setenv("TZ", old_tz_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
    SetLibraryDir("");
  }
  void Picture(const std::string& relative, const std::string& date) {
    exif_writer::CameraExif exif;
    exif.make = "Canon";
    exif.date_time = date;
    exif.date_time_original = date;
    std::filesystem::create_directories(std::filesystem::path(dir_ / relative).parent_path());
    exif_writer::WriteFileBytes(dir_ / relative, exif_writer::MakeCameraJpeg(exif));
  }
  std::string DateOf(const std::string& relative) {
    ExifInfo info;
    GetExifInfo(dir_ / relative, info);
    return info.DateTimeOriginal;
  }
  bool Run(DateAdjustOffset offset) { return AdjustExifDates(dir_.path(), offset); }

  testing::RecordingUiPort ui_;
  testing::TempDir dir_;
  std::string old_tz_;
  bool had_tz_ = false;
};

constexpr DateAdjustOffset kPlusOneHour{};

TEST_F(AdjustTest, ShiftsEveryJpgInTheTreeAndIgnoresOtherExtensions) {
  Picture("a.jpg", "2007:05:06 14:30:00");
  Picture("B.JPG", "2007:05:06 14:30:00");
  Picture("sub/c.jpg", "2007:12:31 23:30:00");
  Picture("d.jpeg", "2007:05:06 14:30:00");
  ASSERT_TRUE(Run(kPlusOneHour));
  EXPECT_EQ(ui_.log_lines.front(), "Adjusting EXIF date&time of JPEGs at " + dir_.path() + " by 3600 seconds ...");
  EXPECT_EQ(DateOf("a.jpg"), "2007:05:06 15:30:00");
  EXPECT_EQ(DateOf("B.JPG"), "2007:05:06 15:30:00");
  EXPECT_EQ(DateOf("sub/c.jpg"), "2008:01:01 00:30:00");
  EXPECT_EQ(DateOf("d.jpeg"), "2007:05:06 14:30:00");
  EXPECT_EQ(ui_.messages.back(), "All 3 found JPEG files adjusted!");
}

TEST_F(AdjustTest, ShiftsHeifPicturesLikeJpegsChangingOnlyTheirDates) {
  exif_writer::CameraExif exif;
  exif.make = "Apple";
  exif.date_time = exif.date_time_original = "2021:04:11 15:47:53";
  const exif_writer::Bytes original = exif_writer::MakeHeif(exif_writer::MakeCameraExif(exif));
  const std::string old_date = "2021:04:11 15:47:53", new_date = "2021:04:11 16:47:53";
  exif_writer::Bytes expected = original;
  for (auto at = expected.begin();
       (at = std::search(at, expected.end(), old_date.begin(), old_date.end())) != expected.end();)
    at = std::copy(new_date.begin(), new_date.end(), at);
  std::filesystem::create_directories(dir_ / "sub");
  for (const char* name : {"a.heic", "B.HEIF", "sub/c.Heif"})
    exif_writer::WriteFileBytes(dir_ / name, original);
  ASSERT_TRUE(Run(kPlusOneHour));
  for (const char* name : {"a.heic", "B.HEIF", "sub/c.Heif"})
    EXPECT_TRUE(exif_writer::ReadFileBytes(dir_ / name) == expected) << name;
  EXPECT_EQ(ui_.messages.back(), "All 3 found JPEG files adjusted!");
}

TEST_F(AdjustTest, CrossesADaylightSavingChangeInLocalTime) {
  Picture("a.jpg", "2007:03:25 01:30:00");  // one hour later the clocks jump to 03:00
  ASSERT_TRUE(Run(kPlusOneHour));
  EXPECT_EQ(DateOf("a.jpg"), "2007:03:25 03:30:00");
}

TEST_F(AdjustTest, ShiftBelow1970AndFilesWithoutExifAreCounted) {
  Picture("old.jpg", "1970:01:01 00:30:00");
  exif_writer::WriteFileBytes(dir_ / "plain.jpg", exif_writer::MakeGrayJpeg());
  DateAdjustOffset minus_one_day{.years = 0, .weeks = 0, .days = 1, .hours = 0, .minutes = 0, .seconds = 0, .sign = -1};
  ASSERT_TRUE(Run(minus_one_day));
  EXPECT_EQ(DateOf("old.jpg"), "1970:01:01 00:30:00");
  EXPECT_EQ(ui_.messages.back(),
            "0 JPEG files adjusted!\r\n2 JPEG files without valid EXIF (date) info found\r\n2 JPEG files totally found");
  EXPECT_NE(std::find(ui_.log_lines.begin(), ui_.log_lines.end(),
                      "No valid EXIF date/time inf found for " + dir_ / "old.jpg" + "!"),
            ui_.log_lines.end());
  EXPECT_NE(std::find(ui_.log_lines.begin(), ui_.log_lines.end(), dir_ / "plain.jpg" + " not an EXIF file!"),
            ui_.log_lines.end());
}

TEST_F(AdjustTest, ReadOnlyPictureIsCountedAsNotWriteable) {
  Picture("a.jpg", "2007:05:06 14:30:00");
  chmod((dir_ / "a.jpg").c_str(), 0444);
  // In a child, which may give up root's right to write any file for good.
  EXPECT_EXIT(
      {
        if (!testing::DropReadAnyDirectory()) std::exit(2);
        const bool succeeded = Run(kPlusOneHour);
        const bool logged = std::find(ui_.log_lines.begin(), ui_.log_lines.end(),
                                      "Can't write " + dir_ / "a.jpg" + "! (read-only?)") != ui_.log_lines.end();
        std::exit(!succeeded && logged ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(DateOf("a.jpg"), "2007:05:06 14:30:00");
}

TEST_F(AdjustTest, FullDiskIsCountedAsFailedAndLeftoversAreRemoved) {
  Picture("a.jpg", "2007:05:06 14:30:00");
  const std::string before = testing::ReadFile(dir_ / "a.jpg");
  testing::WriteFile(dir_ / ".snapcrate-dead01.part", "cut short by a kill");
  // A write past the size limit fails as on a full disk.
  struct rlimit old_limit;
  getrlimit(RLIMIT_FSIZE, &old_limit);
  const struct rlimit small = {64, old_limit.rlim_max};
  signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const bool succeeded = Run(kPlusOneHour);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_FALSE(succeeded);
  EXPECT_EQ(testing::ReadFile(dir_ / "a.jpg"), before);
  EXPECT_EQ(ui_.messages.back(), "0 JPEG files adjusted!\r\n1 JPEG files failed\r\n1 JPEG files totally found");
  EXPECT_NE(std::find(ui_.log_lines.begin(), ui_.log_lines.end(),
                      "Can't write " + dir_ / "a.jpg" + "! (disk full?) The file is unchanged."),
            ui_.log_lines.end());
  EXPECT_FALSE(std::filesystem::exists(dir_ / ".snapcrate-dead01.part"));
}

TEST_F(AdjustTest, OffsetBeyond32BitsTouchesNoFile) {
  Picture("a.jpg", "2007:05:06 14:30:00");
  const std::string before = testing::ReadFile(dir_ / "a.jpg");
  DateAdjustOffset huge{.years = 99, .weeks = 0, .days = 0, .hours = 0, .minutes = 0, .seconds = 0, .sign = 1};
  EXPECT_FALSE(Run(huge));
  EXPECT_EQ(testing::ReadFile(dir_ / "a.jpg"), before);
  EXPECT_EQ(ui_.messages.size(), 1u);
  EXPECT_TRUE(ui_.log_lines.empty());
}

TEST_F(AdjustTest, DryRunShowsBeforeAndAfterAndWritesNothing) {
  Picture("a.jpg", "2007:05:06 14:30:00");
  const std::string before = testing::ReadFile(dir_ / "a.jpg");
  ASSERT_TRUE(AdjustExifDates(dir_.path(), kPlusOneHour, true));
  EXPECT_EQ(testing::ReadFile(dir_ / "a.jpg"), before);
  bool shown = false;
  for (const auto& line : ui_.log_lines)
    shown = shown || (line.find("DateTimeOriginal: 2007:05:06 14:30:00") != std::string::npos &&
                      line.find("DateTimeOriginal: 2007:05:06 15:30:00") != std::string::npos);
  EXPECT_TRUE(shown);
}

TEST_F(AdjustTest, AbortStopsWithoutSummary) {
  Picture("a.jpg", "2007:05:06 14:30:00");
  Picture("b.jpg", "2007:05:06 14:30:00");
  ui_.abort_at_event = 3;
  EXPECT_FALSE(Run(kPlusOneHour));
  EXPECT_EQ(ui_.messages.back(), "Function aborted!");
}

}  // namespace
}  // namespace snapcrate
