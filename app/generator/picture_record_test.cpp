#include "app/generator/picture_record.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/generator/stand_in_probe.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::RecordingUiPort;
using testing::StandInProbe;
using testing::TempDir;
using testing::WriteFile;
using Strings = std::vector<std::string>;

TEST(DeriveDescriptionTest, KeepsWhatTheNameSaysBeyondDateStampAndCameraNumber) {
  const struct {
    const char* file_name;
    const char* description;
  } cases[] = {
      {"20040512_134501_IMG_0042.jpg", ""},
      {"20040512_134501_Sunset at the lake.jpg", "Sunset at the lake"},
      {"_extra/20040512_134501 Sunset.JPG", "Sunset"},
      {"20040512_134501.jpg", ""},
      {"20040512-134501_Rome.jpg", "Rome"},       // any character between the two numbers
      {"2004051_134501_Rome.jpg", "2004051_134501_Rome"},  // too few digits: no date stamp
      {"IMG_0042.JPG", ""},
      {"0042.jpg", ""},
      {"DSC01234.JPG", ""},
      {"DSCN_0042.jpg", ""},
      {"P1010042.JPG", ""},
      {"img_0042.jpg", ""},
      {"IMG_Rome.jpg", "Rome"},
      {"01 Rome.jpg", "Rome"},
      {"12_IMG_0042.jpg", ""},
      {"Rome2004.jpg", "Rome2004"},
      {"Day 2.jpg", "Day 2"},
      {"Sunset.jpg", "Sunset"},
  };
  for (const auto& c : cases) EXPECT_EQ(DeriveDescription(c.file_name), c.description) << c.file_name;
}

class PictureRecordTest : public ::testing::Test {
 protected:
  RecordingUiPort ui_;
  TempDir dir_;
  PictureRecord record_;
};

TEST_F(PictureRecordTest, TakesTheValuesOfTheDescriptionFile) {
  WriteFile(dir_ / "_extra/20040512_134501_Rome.dsc",
            "[Title]\r\nForum<br>at noon\r\n[Description]\r\n\r\n[Keys]\r\nruins\r\n[Quality]\r\n2\r\n"
            "[Originality]\r\n5\r\n[Rotation]\r\n-90\r\n[TakeDateFromFilename]\r\n1\r\n[AddLink]\r\nmap.pdf\r\n");
  ASSERT_TRUE(ReadPictureRecord(dir_.path(), "_extra/20040512_134501_Rome.JPG", record_, StandInProbe()));
  EXPECT_EQ(record_.file_name, "_extra/20040512_134501_Rome.JPG");
  EXPECT_EQ(record_.extension, ".JPG");
  EXPECT_EQ(record_.title, "Forum<br>at noon");
  EXPECT_EQ(record_.description, "");  // a title given: nothing is derived
  EXPECT_EQ(record_.keys, "ruins");
  EXPECT_EQ(record_.add_link, "map.pdf");
  EXPECT_EQ(record_.quality, 2);
  EXPECT_EQ(record_.originality, 5);
  EXPECT_EQ(record_.rotation, 270);
  EXPECT_TRUE(record_.take_date_from_filename);
  EXPECT_EQ(record_.width, 640);
  EXPECT_EQ(record_.height, 480);
  EXPECT_TRUE(ui_.log_lines.empty());
}

TEST_F(PictureRecordTest, PictureWithoutDescriptionFileGetsADerivedDescription) {
  ASSERT_TRUE(ReadPictureRecord(dir_.path(), "20040512_134501_Sunset.jpg", record_, StandInProbe()));
  EXPECT_EQ(record_.title, "");
  EXPECT_EQ(record_.description, "Sunset");
  EXPECT_EQ(record_.quality, 0);
  EXPECT_EQ(record_.originality, 0);
  EXPECT_EQ(record_.rotation, 0);
  EXPECT_FALSE(record_.take_date_from_filename);
}

TEST_F(PictureRecordTest, RotationIsAnAngleFrom0To359) {
  const struct {
    const char* text;
    int degrees;
  } cases[] = {{"+90", 90}, {"90", 90}, {"-90", 270}, {"180", 180}, {"0", 0}, {"", 0}, {"450", 90}, {"-450", 270}};
  for (const auto& c : cases) {
    WriteFile(dir_ / "a.dsc", std::string("[Rotation]\r\n") + c.text + "\r\n");
    ReadPictureRecord(dir_.path(), "a.jpg", record_, StandInProbe());
    EXPECT_EQ(record_.rotation, c.degrees) << c.text;
  }
}

TEST_F(PictureRecordTest, NameDerivedDescriptionIsText) {
  ASSERT_TRUE(ReadPictureRecord(dir_.path(), "<b>x<script> & co.jpg", record_, StandInProbe()));
  EXPECT_EQ(record_.description, "&lt;b&gt;x&lt;script&gt; &amp; co");
}

// The EXIF orientation is followed only where no Rotation entry is given;
// "0", which a lossless turn leaves, decides alone like any other entry.
TEST_F(PictureRecordTest, ExifOrientationFollowedOnlyWithoutRotationEntry) {
  PictureProbe probe = StandInProbe();
  int32_t stored_orientation = 6;
  probe.image_info = [&](int32_t, const std::string&, int32_t& width, int32_t& height, int32_t& orientation) {
    width = 80;
    height = 60;
    orientation = stored_orientation;
    return 1;
  };
  const struct {
    const char* description;  // empty: no description file
    int32_t stored;
    bool auto_orient;
    int16_t followed;
  } cases[] = {
      {"", 6, true, 6},
      {"", 7, true, 7},
      {"[Title]\r\nSea\r\n", 3, true, 3},
      {"[Rotation]\r\n\r\n", 8, true, 8},
      {"[Rotation]\r\n0\r\n", 6, true, 1},
      {"[Rotation]\r\n+90\r\n", 6, true, 1},
      {"", 6, false, 1},
      {"", 1, true, 1},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(dir_ / "a.dsc");
    if (*c.description) WriteFile(dir_ / "a.dsc", c.description);
    stored_orientation = c.stored;
    ASSERT_TRUE(ReadPictureRecord(dir_.path(), "a.jpg", record_, probe, c.auto_orient));
    EXPECT_EQ(record_.orientation, c.followed) << c.description << c.stored << c.auto_orient;
    EXPECT_EQ(record_.width, 80);  // sizes stay as stored
  }
}

TEST_F(PictureRecordTest, SizeThatCannotBeReadLeavesTheRecordInvalid) {
  EXPECT_FALSE(ReadPictureRecord(dir_.path(), "unreadable.jpg", record_, StandInProbe()));
  EXPECT_EQ(ui_.log_lines, (Strings{"PixCore_GetFileImageSize: Can't read " + dir_.path() + "unreadable.jpg"}));

  // A size of 0 is no size, but no read failure either.
  ui_.log_lines.clear();
  EXPECT_FALSE(ReadPictureRecord(dir_.path(), "empty.jpg", record_, StandInProbe()));
  EXPECT_EQ(record_.width, 0);
  EXPECT_TRUE(ui_.log_lines.empty());
}

TEST_F(PictureRecordTest, PanoramaWiderThan16BitsKeepsItsSize) {
  PictureProbe probe = StandInProbe();
  probe.image_info = [](int32_t, const std::string&, int32_t& width, int32_t& height, int32_t&) {
    width = 40000;
    height = 3000;
    return 1;
  };
  ASSERT_TRUE(ReadPictureRecord(dir_.path(), "pano.jpg", record_, probe));
  EXPECT_EQ(record_.width, 40000);
}

}  // namespace
}  // namespace snapcrate
