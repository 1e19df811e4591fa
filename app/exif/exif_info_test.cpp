#include "app/exif/exif_info.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/exif/tagcore_library.h"
#include "app/library_loader.h"
#include "tests/support/exif_writer/camera_exif.h"
#include "tests/support/exif_writer/heif_builder.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using exif_writer::CameraExif;
using exif_writer::Rational;

ExifInfo Parse(const std::string& dump) {
  ExifInfo info;
  ParseExifDump(dump, info);
  return info;
}

TEST(FormatExposureTimeTest, FollowsTheDisplayRules) {
  const std::pair<double, const char*> cases[] = {
      {0, "?"},      {1.0 / 60, "1/60"}, {0.004, "1/250"}, {0.1, "1/10"}, {0.3, "1/3.33"},
      {0.5, "1/2"},  {2, "2"},           {1.5, "1.5"},     {2.345, "2.35"}, {10, "10"},
      {1.0 / 64, "1/64"},
  };
  for (const auto& [seconds, text] : cases) EXPECT_EQ(FormatExposureTime(seconds), text) << seconds;
}

TEST(ParseExifDumpTest, ExposureFromExposureTimeOrShutterSpeed) {
  const std::pair<const char*, const char*> cases[] = {
      {"Tag 0x829A[  1] Exif.ExposureTime = 10/1=10 \n", "10 s"},
      {"Tag 0x829A[  1] Exif.ExposureTime = 1/250=0.004 \n", "1/250 s"},
      {"Tag 0x829A[  1] Exif.ExposureTime = 3/10=0.3 \n", "1/3.33 s"},
      {"Tag 0x829A[  1] Exif.ExposureTime = 1/0=0 \n", "?"},
      {"Tag 0x9201[  1] Exif.ShutterSpeedValue = 6/1=6 \n", "1/64 s"},
      {"Tag 0x9201[  1] Exif.ShutterSpeedValue = 6/1=6 \nTag 0x9201[  1] Canon.ShutterSpeedValue = 7/1=7 \n",
       "1/128 s"},
  };
  for (const auto& [dump, exposure] : cases) EXPECT_EQ(Parse(dump).Exposure, exposure) << dump;
}

TEST(ParseExifDumpTest, CanonIsoMappingAndFlashParity) {
  const std::pair<const char*, const char*> iso_cases[] = {{"17", "100"}, {"15", "Auto"}, {"3", ""},
                                                           {"16", "50"},  {"25", "25600"}, {"26", ""}};
  for (const auto& [element, iso] : iso_cases)
    EXPECT_EQ(Parse(std::string("Tag 0x0010[  1] Canon.CS1.ISOSpeed = ") + element + "\n").ISO, iso) << element;
  EXPECT_EQ(Parse("Tag 0x8827[  1] Exif.ISOSpeedRatings = 400 \nTag 0x0010[  1] Canon.CS1.ISOSpeed = 17\n").ISO,
            "400");
  const std::pair<int, const char*> flash_cases[] = {{0, "No"}, {16, "No"}, {24, "No"},
                                                     {1, "Yes"}, {9, "Yes"}, {25, "Yes"}};
  for (const auto& [value, flash] : flash_cases)
    EXPECT_EQ(Parse("Tag 0x9209[  1] Exif.Flash = " + std::to_string(value) + " \n").Flash, flash) << value;
  EXPECT_EQ(Parse("").Flash, "No");
}

TEST(ParseExifDumpTest, ValuesAreStrippedAndTheLastUnterminatedLineIgnored) {
  const ExifInfo info = Parse(
      "Tag 0x010F[  8] Exif.Make = ' Canon '\n"
      "Tag 0x0110[ 20] Exif.Model = 'Canon PowerShot A70'\n"
      "Tag 0x829D[  1] Exif.FNumber = 28/10=2.8 \n"
      "Tag 0x920A[  1] Exif.FocalLength = 5400/1000=5.4 \n"
      "Tag 0xA002[  1] Exif.ExifImageWidth = 2048 \n"
      "Tag 0x9003[ 20] Exif.DateTimeOriginal = '2004:05:12 13:45:01'\n"
      "Tag 0xA003[  1] Exif.ExifImageLength = 1536 ");
  EXPECT_EQ(info.Make, "Canon");
  EXPECT_EQ(info.Model, "Canon PowerShot A70");
  EXPECT_EQ(info.FNumber, "28/10=2.8");
  EXPECT_EQ(info.FocalLength, "5400/1000=5.4");
  EXPECT_EQ(info.Width, "2048");
  EXPECT_EQ(info.Height, "");  // no line feed behind it
  EXPECT_TRUE(info.DateValid);
  EXPECT_EQ(info.Year + info.Month + info.Day + "|" + info.Hour + info.Minute + info.Second, "20040512|134501");
}

TEST(ReadableExifTextTest, SettingsDateAndCameraAsPeopleReadThem) {
  const struct {
    const char* dump;
    const char* text;
  } cases[] = {
      {"Tag 0x010F[  8] Exif.Make = 'Canon'\n"
       "Tag 0x0110[ 20] Exif.Model = 'Canon PowerShot A70'\n"
       "Tag 0x829A[  1] Exif.ExposureTime = 1/250=0.004 \n"
       "Tag 0x829D[  1] Exif.FNumber = 28/10=2.8 \n"
       "Tag 0x8827[  1] Exif.ISOSpeedRatings = 100 \n"
       "Tag 0x920A[  1] Exif.FocalLength = 35000/1000=35 \n"
       "Tag 0x9209[  1] Exif.Flash = 1 \n"
       "Tag 0x9003[ 20] Exif.DateTimeOriginal = '2004:05:12 13:45:01'\n",
       "1/250 s \u00b7 f/2.8 \u00b7 ISO 100 \u00b7 35 mm\r\nFlash fired\r\n2004-05-12 13:45:01\r\nCanon PowerShot A70"},
      // A model without the maker's name, a zero aperture and a bad exposure.
      {"Tag 0x010F[  8] Exif.Make = 'NIKON'\n"
       "Tag 0x0110[ 20] Exif.Model = 'E995'\n"
       "Tag 0x829A[  1] Exif.ExposureTime = 1/0=0 \n"
       "Tag 0x829D[  1] Exif.FNumber = 0/0=0 \n"
       "Tag 0x920A[  1] Exif.FocalLength = 54/10=5.4 \n",
       "5.4 mm\r\nNIKON E995"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadableExifText(Parse(c.dump)), c.text) << c.dump;
}

TEST(SplitExifDateTest, StopsAtTheFirstMissingPart) {
  const struct {
    const char* date;
    bool valid;
    const char* year;
    const char* day;
  } cases[] = {
      {"2004:05:12 13:45:01", true, "2004", "12"},
      {"0000:00:00 00:00:00", false, "0000", ""},
      {"2004:05:12", false, "2004", ""},
      {"2004:05:12 13", false, "2004", "12"},
      {" 2004: 05:12 13:45:01", true, "2004", "12"},
      {"2004 : 05 : 12 13:45:01", false, "2004", ""},
  };
  for (const auto& c : cases) {
    ExifInfo info;
    info.DateTimeOriginal = c.date;
    SplitExifDate(info);
    EXPECT_EQ(info.DateValid, c.valid) << c.date;
    EXPECT_EQ(info.Year, c.year) << c.date;
    EXPECT_EQ(info.Day, c.day) << c.date;
  }
}

TEST(FindDumpValueTest, MatchesAnyPrefixAndLeavesValueWhenMissing) {
  std::string value = "old";
  EXPECT_EQ(FindDumpValue("Tag 0x010F[  6] Exif.Make = 'Canon'", "Make", value), 22u);
  EXPECT_EQ(value, "Canon");
  EXPECT_EQ(FindDumpValue("Tag 0x0110[  6] Exif.Model = 'X'", "Make", value), 0u);
  EXPECT_EQ(value, "Canon");
}

class ExifLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { SetLibraryDir(SNAPCRATE_TEST_HOME); }
  void TearDown() override { SetLibraryDir(""); }
  testing::RecordingUiPort ui_;
  testing::TempDir dir_;
};

TEST_F(ExifLibraryTest, SummaryOfAWrittenCameraPicture) {
  CameraExif exif;
  exif.byte_order = exif_writer::ByteOrder::kBig;
  exif.make = "Canon";
  exif.model = "Canon DIGITAL IXUS 400";
  exif.date_time_original = "2004:05:12 13:45:01";
  exif.exposure = Rational{1, 250};
  exif.f_number = Rational{28, 10};
  exif.flash = 9;
  exif.focal_length = Rational{5400, 1000};
  exif.width = 2272;
  exif.height = 1704;
  exif.canon = exif_writer::CanonMakerNoteSpec{.settings1 = std::vector<uint16_t>(20, 0)};
  exif.canon->settings1[15] = 17;
  exif_writer::WriteFileBytes(dir_ / "a.jpg", exif_writer::MakeCameraJpeg(exif));

  ExifInfo info;
  ASSERT_TRUE(GetExifInfo(dir_ / "a.jpg", info));
  EXPECT_TRUE(info.Valid);
  EXPECT_TRUE(info.DateValid);
  EXPECT_EQ(info.Make, "Canon");
  EXPECT_EQ(info.Model, "Canon DIGITAL IXUS 400");
  EXPECT_EQ(info.Exposure, "1/250 s");
  EXPECT_EQ(info.FNumber, "28/10=2.8");
  EXPECT_EQ(info.Flash, "Yes");
  EXPECT_EQ(info.ISO, "100");
  EXPECT_EQ(info.Width, "2272");
  EXPECT_EQ(info.Hour, "13");

  const std::string summary = GetExifInfoString(dir_ / "a.jpg");
  EXPECT_NE(summary.find("Exif.Make = 'Canon'"), std::string::npos);
  EXPECT_NE(summary.find("\r\nExif.FNumber = 28/10=2.8 "), std::string::npos);
  EXPECT_EQ(summary.find("Model"), std::string::npos);
}

TEST_F(ExifLibraryTest, HeicPictureGivesTheSummaryOfTheSameJpeg) {
  CameraExif exif;
  exif.make = "Apple";
  exif.model = "iPhone 11 Pro Max";
  exif.date_time_original = "2021:04:11 15:47:53";
  exif.exposure = Rational{1, 391};
  exif.f_number = Rational{9, 5};
  exif.iso = 32;
  exif.focal_length = Rational{17, 4};
  exif_writer::WriteFileBytes(dir_ / "a.jpg", exif_writer::MakeCameraJpeg(exif));
  exif_writer::WriteFileBytes(dir_ / "a.HEIC",
                              exif_writer::MakeHeif(exif_writer::MakeCameraExif(exif)));

  ExifInfo jpeg, heic;
  ASSERT_TRUE(GetExifInfo(dir_ / "a.jpg", jpeg));
  ASSERT_TRUE(GetExifInfo(dir_ / "a.HEIC", heic));
  EXPECT_TRUE(heic.DateValid);
  EXPECT_EQ(heic.Minute, "47");
  EXPECT_EQ(heic.Exposure, "1/391 s");
  EXPECT_EQ(heic.ISO, "32");
  EXPECT_EQ(heic.FocalLength, jpeg.FocalLength);
  EXPECT_EQ(heic.Model, jpeg.Model);
  EXPECT_EQ(GetExifInfoString(dir_ / "a.HEIC"), GetExifInfoString(dir_ / "a.jpg"));
}

// Phone pictures against the values an independent reader gives.
TEST_F(ExifLibraryTest, HeicSamplesGiveTheReferenceSummary) {
  const std::filesystem::path samples =
      std::filesystem::path(SNAPCRATE_SOURCE_DIR) / "../shared/testdata/heic-samples";
  if (!std::filesystem::exists(samples / "SOURCE.txt"))
    GTEST_SKIP() << "no HEIC samples at " << samples;
  struct Reference {
    const char* file;
    const char* date;
    const char* model;
    const char* exposure;
    const char* aperture;  // the quotient behind "="
    const char* iso;
    const char* focal_length;
  };
  const Reference references[] = {
      {"IMG_5195.HEIC", "2021:04:11 15:47:53", "iPhone 11 Pro Max", "1/391 s", "1.8", "32", "4.25"},
      {"iphone_13_pro_max.HEIC", "2022:02:16 12:55:41", "iPhone 13 Pro Max", "1/60 s", "1.5", "250",
       "5.7"},
  };
  for (const Reference& want : references) {
    SCOPED_TRACE(want.file);
    ExifInfo info;
    ASSERT_TRUE(GetExifInfo((samples / want.file).string(), info));
    EXPECT_TRUE(info.DateValid);
    EXPECT_EQ(info.DateTimeOriginal, want.date);
    EXPECT_EQ(info.Make, "Apple");
    EXPECT_EQ(info.Model, want.model);
    EXPECT_EQ(info.Exposure, want.exposure);
    EXPECT_EQ(info.FNumber.substr(info.FNumber.find('=') + 1), want.aperture);
    EXPECT_EQ(info.ISO, want.iso);
    EXPECT_EQ(info.FocalLength.substr(info.FocalLength.find('=') + 1), want.focal_length);
    const std::string summary = GetExifInfoString((samples / want.file).string());
    EXPECT_NE(summary.find(std::string("Exif.DateTimeOriginal = '") + want.date + "'"),
              std::string::npos);
  }
}

TEST_F(ExifLibraryTest, PictureWithoutExifIsNotValid) {
  exif_writer::WriteFileBytes(dir_ / "plain.jpg", exif_writer::MakeGrayJpeg());
  ExifInfo info;
  info.Make = "stale";
  EXPECT_FALSE(GetExifInfo(dir_ / "plain.jpg", info));
  EXPECT_FALSE(info.Valid);
  EXPECT_FALSE(GetExifInfo(dir_ / "missing.jpg", info));
  EXPECT_EQ(GetExifInfoString(dir_ / "plain.jpg"), "");
  EXPECT_TRUE(ui_.log_lines.empty());
}

TEST(ExifLibraryMissingTest, GivesOneLogLineAndAFailure) {
  testing::RecordingUiPort ui;
  testing::TempDir empty;
  SetLibraryDir(empty.path());
  ExifInfo info;
  EXPECT_FALSE(GetExifInfo(empty / "a.jpg", info));
  EXPECT_EQ(TagCoreAdjustDateTime(empty / "a.jpg", 60), kLibraryMissing);
  SetLibraryDir("");
  EXPECT_EQ(ui.log_lines.size(), 1u);
}

}  // namespace
}  // namespace snapcrate
