// The dump text: line formats per field type, the order of directories, the
// Canon maker note, the tag tables and the sinks.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tagcore/tagcore.h"
#include "tagcore/tagcore_test_support.h"
#include "tests/support/exif_writer/camera_exif.h"
#include "tests/support/exif_writer/file_bytes.h"
#include "tests/support/exif_writer/jpeg_builder.h"
#include "tests/support/exif_writer/tiff_builder.h"

namespace snapcrate::tagcore_test {
namespace {

using exif_writer::ByteOrder;
using exif_writer::CameraExif;
using exif_writer::CanonMakerNoteSpec;
using exif_writer::JpegBuilder;
using exif_writer::Rational;
using exif_writer::TiffBuilder;
namespace tag = exif_writer::tag;
namespace type = exif_writer::type;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// Expected lines ending in "..." match by prefix.
void ExpectLines(const std::string& text, const std::vector<std::string>& expected) {
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), expected.size()) << text;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& want = expected[i];
    if (want.size() > 3 && want.compare(want.size() - 3, 3, "...") == 0)
      EXPECT_EQ(lines[i].substr(0, want.size() - 3), want.substr(0, want.size() - 3)) << i;
    else
      EXPECT_EQ(lines[i], want) << "line " << i;
  }
}

CameraExif NikonPicture(ByteOrder order) {
  return {.byte_order = order,
          .make = "NIKON CORPORATION",
          .model = "NIKON D70",
          .orientation = 1,
          .software = "Ver.2.00",
          .date_time = "2008:07:31 10:03:44",
          .exposure = Rational{10, 1600},
          .f_number = Rational{9, 1},
          .iso = 200,
          .date_time_original = "2008:03:15 09:52:01",
          .date_time_digitized = "2008:03:15 09:52:02",
          .shutter_speed = Rational{7643856, 1000000},
          .aperture = Rational{-1, 3},
          .flash = 0,
          .focal_length = Rational{100, 1},
          .width = 3008,
          .height = 2000,
          .thumbnail = true,
          .thumbnail_date_time = "2008:07:31 10:03:45"};
}

class ByteOrderTest : public ::testing::TestWithParam<ByteOrder> {};

TEST_P(ByteOrderTest, DumpsEveryDirectoryInWalkOrderWithExactLineFormats) {
  TempDir dir;
  const std::string path = dir.Write("nikon.jpg", MakeCameraJpeg(NikonPicture(GetParam())));
  const DumpResult dump = DumpToMemory(path);
  EXPECT_EQ(dump.code, 0);
  const std::vector<std::string> expected = {
      "Tag 0x010F[ 18] Exif.Make = 'NIKON CORPORATION'",
      "Tag 0x0110[ 10] Exif.Model = 'NIKON D70'",
      "Tag 0x0112[  1] Exif.Orientation = 1 ",
      "Tag 0x011A[  1] Exif.XResolution = 72/1=72 ",
      "Tag 0x011B[  1] Exif.YResolution = 72/1=72 ",
      "Tag 0x0128[  1] Exif.ResolutionUnit = 2 ",
      "Tag 0x0131[  9] Exif.Software = 'Ver.2.00'",
      "Tag 0x0132[ 20] Exif.DateTime = '2008:07:31 10:03:44'",
      "Tag 0x8769[  1] Exif.ExifOffset = 196 ",
      "Tag 0x829A[  1] Exif.ExposureTime = 10/1600=0.00625 ",
      "Tag 0x829D[  1] Exif.FNumber = 9/1=9 ",
      "Tag 0x8827[  1] Exif.ISOSpeedRatings = 200 ",
      "Tag 0x9000[  4] Exif.ExifVersion = 48 50 50 48 ",
      "Tag 0x9003[ 20] Exif.DateTimeOriginal = '2008:03:15 09:52:01'",
      "Tag 0x9004[ 20] Exif.DateTimeDigitized = '2008:03:15 09:52:02'",
      "Tag 0x9201[  1] Exif.ShutterSpeedValue = 7643856/1000000=7.64 ",
      "Tag 0x9202[  1] Exif.ApertureValue = -1/3=-0.333 ",
      "Tag 0x9209[  1] Exif.Flash = 0 ",
      "Tag 0x920A[  1] Exif.FocalLength = 100/1=100 ",
      "Tag 0xA002[  1] Exif.ExifImageWidth = 3008 ",
      "Tag 0xA003[  1] Exif.ExifImageLength = 2000 ",
      "Tag 0x0103[  1] Exif.Compression = 6 ",
      "Tag 0x0132[ 20] Exif.DateTime = '2008:07:31 10:03:45'",
      "Tag 0x0201[  1] Exif.JPEGInterchangeFormat = 500 ",
      "Tag 0x0202[  1] Exif.JPEGInterchangeFormatLength = 137 ",
  };
  ExpectLines(dump.text, expected);
}

TEST_P(ByteOrderTest, DumpsCanonMakerNoteAndBothCameraSettingsArrays) {
  std::vector<uint16_t> settings1(17, 0);
  settings1[0] = 2;    // Macro
  settings1[15] = 15;  // ISOSpeed
  settings1[16] = 3;   // MeteringMode
  const CameraExif exif{.byte_order = GetParam(),
                        .make = "Canon",
                        .exposure = Rational{1, 60},
                        .canon = CanonMakerNoteSpec{
                            settings1,
                            {0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 243},
                            "IMG:DIGITAL IXUS 400 JPEG",
                            ""}};
  TempDir dir;
  const DumpResult dump = DumpToMemory(dir.Write("canon.jpg", MakeCameraJpeg(exif)));
  EXPECT_EQ(dump.code, 0);
  const std::vector<std::string> expected = {
      "Tag 0x010F[  6] Exif.Make = 'Canon'",
      "Tag 0x011A[  1] Exif.XResolution = 72/1=72 ",
      "Tag 0x011B[  1] Exif.YResolution = 72/1=72 ",
      "Tag 0x0128[  1] Exif.ResolutionUnit = 2 ",
      "Tag 0x8769[  1] Exif.ExifOffset = 96 ",
      "Tag 0x829A[  1] Exif.ExposureTime = 1/60=0.0167 ",
      "Tag 0x9000[  4] Exif.ExifVersion = 48 50 50 48 ",
      "Tag 0x927C[150] Exif.MakerNote = ...",
      "Tag 0x0001[ 18] Canon.CameraSettings1 = 36 2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 15 3 ",
      "Tag 0x0001[  1] Canon.CS1.Macro = 2",
      "Tag 0x0002[  1] Canon.CS1.Selftimer = 0",
      "Tag 0x0003[  1] Canon.CS1.Quality = 0",
      "Tag 0x0004[  1] Canon.CS1.FlashMode = 0",
      "Tag 0x0005[  1] Canon.CS1.DriveMode = 0",
      "Tag 0x0006[  1] Canon.CS1.Unknown = 0",
      "Tag 0x0007[  1] Canon.CS1.FocusMode = 0",
      "Tag 0x0008[  1] Canon.CS1.Unknown = 0",
      "Tag 0x0009[  1] Canon.CS1.Unknown = 0",
      "Tag 0x000A[  1] Canon.CS1.ImageSize = 0",
      "Tag 0x000B[  1] Canon.CS1.EasyMode = 0",
      "Tag 0x000C[  1] Canon.CS1.DigitalZoom = 0",
      "Tag 0x000D[  1] Canon.CS1.Contrast = 0",
      "Tag 0x000E[  1] Canon.CS1.Saturation = 0",
      "Tag 0x000F[  1] Canon.CS1.Sharpness = 0",
      "Tag 0x0010[  1] Canon.CS1.ISOSpeed = 15",
      "Tag 0x0011[  1] Canon.CS1.MeteringMode = 3",
      "Tag 0x0004[ 23] Canon.CameraSettings2 = 46 0 7 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "
      "0 0 0 243 ",
      "Tag 0x0001[  1] Canon.CS2.Unknown = 0",
      "Tag 0x0002[  1] Canon.CS2.ISOSpeed = 7",
      "Tag 0x0003[  1] Canon.CS2.Unknown = 0",
      "Tag 0x0004[  1] Canon.CS2.TargetAperture = 0",
      "Tag 0x0005[  1] Canon.CS2.TargetShutterSpeed = 0",
      "Tag 0x0006[  1] Canon.CS2.Unknown = 0",
      "Tag 0x0007[  1] Canon.CS2.WhiteBalance = 0",
      "Tag 0x0008[  1] Canon.CS2.Unknown = 0",
      "Tag 0x0009[  1] Canon.CS2.Sequence = 0",
      "Tag 0x000A[  1] Canon.CS2.Unknown = 0",
      "Tag 0x000B[  1] Canon.CS2.Unknown = 0",
      "Tag 0x000C[  1] Canon.CS2.Unknown = 0",
      "Tag 0x000D[  1] Canon.CS2.Unknown = 0",
      "Tag 0x000E[  1] Canon.CS2.AFPointUsed = 0",
      "Tag 0x000F[  1] Canon.CS2.FlashBias = 0",
      "Tag 0x0010[  1] Canon.CS2.Unknown = 0",
      "Tag 0x0011[  1] Canon.CS2.Unknown = 0",
      "Tag 0x0012[  1] Canon.CS2.Unknown = 0",
      "Tag 0x0013[  1] Canon.CS2.SubjectDistance = 0",
      "Tag 0x0014[  1] Canon.CS2.Unknown = 0",
      "Tag 0x0015[  1] Canon.CS2.ApertureValue = 0",
      "Tag 0x0016[  1] Canon.CS2.ShutterSpeedValue = 243",
      "Tag 0x0006[ 26] Canon.ImageType = 'IMG:DIGITAL IXUS 400 JPEG'",
  };
  ExpectLines(dump.text, expected);
}

INSTANTIATE_TEST_SUITE_P(BothOrders, ByteOrderTest,
                         ::testing::Values(ByteOrder::kLittle, ByteOrder::kBig),
                         [](const auto& info) {
                           return info.param == ByteOrder::kBig ? "Motorola" : "Intel";
                         });

TEST(TagCoreDump, MakerNoteValueIsDumpedInFileOrder) {
  // The maker note is UNDEFINED: its raw bytes, so the entry count 2 of the
  // note's directory reads "2 0" little-endian and "0 2" big-endian.
  for (ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
    TiffBuilder tiff(order);
    const auto ifd0 = tiff.AddDirectory();
    const auto sub = tiff.AddDirectory();
    const auto note = tiff.AddDirectory();
    tiff.Ascii(ifd0, tag::kMake, "Canon").SubDirectory(ifd0, sub).MakerNote(sub, note);
    tiff.Short(note, 9, {1}).Short(note, 8, {2});
    const DumpResult dump = DumpTiff(tiff.Build());
    EXPECT_EQ(dump.code, 0);
    const std::string head = order == ByteOrder::kBig ? "0 2 0 9 0 3 " : "2 0 9 0 3 0 ";
    EXPECT_NE(dump.text.find("Exif.MakerNote = " + head), std::string::npos) << dump.text;
    EXPECT_NE(dump.text.find("Tag 0x0009[  1] Canon.OwnerName = 1 \n"
                             "Tag 0x0008[  1] Canon.ImageNumber = 2 \n"),
              std::string::npos);
  }
}

struct ValueCase {
  const char* name;
  std::function<void(TiffBuilder&, TiffBuilder::Dir)> add;
  std::string line;
};

TEST(TagCoreDump, WritesEachFieldTypeInItsForm) {
  const std::vector<ValueCase> cases = {
      {"text without control characters",
       [](TiffBuilder& t, auto d) { t.Ascii(d, tag::kModel, "two\nlines\tand\x01 more"); },
       "Tag 0x0110[ 20] Exif.Model = 'twolinesand more'"},
      {"text up to its NUL",
       [](TiffBuilder& t, auto d) { t.AsciiCounted(d, tag::kModel, std::string("ab\0cd", 5), 5); },
       "Tag 0x0110[  5] Exif.Model = 'ab'"},
      {"text without NUL up to its count",
       [](TiffBuilder& t, auto d) { t.AsciiCounted(d, tag::kModel, "abcdefgh", 6); },
       "Tag 0x0110[  6] Exif.Model = 'abcdef'"},
      {"inline text", [](TiffBuilder& t, auto d) { t.AsciiCounted(d, tag::kModel, "abc", 3); },
       "Tag 0x0110[  3] Exif.Model = 'abc'"},
      {"empty text", [](TiffBuilder& t, auto d) { t.AsciiCounted(d, tag::kModel, "", 0); },
       "Tag 0x0110[  0] Exif.Model = ''"},
      {"text bytes from 0x80 as they are",
       [](TiffBuilder& t, auto d) { t.Ascii(d, tag::kModel, "Caf\xc3\xa9"); },
       "Tag 0x0110[  6] Exif.Model = 'Caf\xc3\xa9'"},
      {"bytes",
       [](TiffBuilder& t, auto d) {
         t.Byte(d, 0x0002, {0, 127, 255});
       },
       "Tag 0x0002[  3] Exif.Unknown = 0 127 255 "},
      {"signed bytes are not sign-extended",
       [](TiffBuilder& t, auto d) {
         t.Entry(d, 0x0003, type::kSignedByte, 2, {0xFF, 0x80});
       },
       "Tag 0x0003[  2] Exif.Unknown = 255 128 "},
      {"shorts out of line",
       [](TiffBuilder& t, auto d) {
         t.Short(d, tag::kOrientation, {1, 2, 65535});
       },
       "Tag 0x0112[  3] Exif.Orientation = 1 2 65535 "},
      {"signed short -1 as 65535",
       [](TiffBuilder& t, auto d) {
         t.SignedShort(d, 0x9999, {-1, 5});
       },
       "Tag 0x9999[  2] Exif.Unknown = 65535 5 "},
      {"longs",
       [](TiffBuilder& t, auto d) {
         t.Long(d, 0x0100, {4000000000u, 7});
       },
       "Tag 0x0100[  2] Exif.ImageWidth = 4000000000 7 "},
      {"signed long -1", [](TiffBuilder& t, auto d) { t.SignedLong(d, 0x0101, {-1}); },
       "Tag 0x0101[  1] Exif.ImageLength = 4294967295 "},
      {"rational with denominator 0",
       [](TiffBuilder& t, auto d) {
         t.RationalValue(d, tag::kFNumber, {{5, 0}});
       },
       "Tag 0x829D[  1] Exif.FNumber = 5/0=0 "},
      {"rationals read as signed",
       [](TiffBuilder& t, auto d) {
         t.RationalValue(d, tag::kExposureTime, {{3000000000LL, 1}, {1, 3}});
       },
       "Tag 0x829A[  2] Exif.ExposureTime = -1294967296/1=-1.29e+09 1/3=0.333 "},
      {"signed rational",
       [](TiffBuilder& t, auto d) {
         t.SignedRational(d, 0x9204, {{-2, 3}});
       },
       "Tag 0x9204[  1] Exif.ExposureBiasValue = -2/3=-0.667 "},
      {"float as its bits", [](TiffBuilder& t, auto d) { t.FloatBits(d, 0x9999, {0x3F800000u}); },
       "Tag 0x9999[  1] Exif.Unknown = 1065353216 "},
      {"double as its 64 bits",
       [](TiffBuilder& t, auto d) {
         t.DoubleBits(d, 0x9999, {0x3FF0000000000000ull, 1});
       },
       "Tag 0x9999[  2] Exif.Unknown = 4607182418800017408 1 "},
      {"undefined bytes",
       [](TiffBuilder& t, auto d) {
         t.Undefined(d, 0x9000, {'0', '2', '3', '0', 0});
       },
       "Tag 0x9000[  5] Exif.ExifVersion = 48 50 51 48 0 "},
      {"count wider than three columns",
       [](TiffBuilder& t, auto d) { t.Byte(d, 0xFFFF, std::vector<uint8_t>(1000, 0)); },
       "Tag 0xFFFF[1000] Exif.Unknown = " +
           [] {
             std::string zeros;
             for (int i = 0; i < 1000; ++i) zeros += "0 ";
             return zeros;
           }()},
      {"zero count of a number", [](TiffBuilder& t, auto d) { t.Short(d, 0x0112, {}); },
       "Tag 0x0112[  0] Exif.Orientation = "},
      {"names spelt as the application expects",
       [](TiffBuilder& t, auto d) {
         t.Short(d, 0xA301, {1}).Short(d, 0x83BB, {1}).Short(d, 0x00FE, {1});
       },
       "Tag 0xA301[  1] Exif.Scenetype = 1 \nTag 0x83BB[  1] Exif.IPTC/NAA = 1 \n"
       "Tag 0x00FE[  1] Exif.NewSubFileType = 1 "},
  };
  for (const ValueCase& c : cases) {
    for (ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
      TiffBuilder tiff(order);
      const auto ifd0 = tiff.AddDirectory();
      c.add(tiff, ifd0);
      const DumpResult dump = DumpTiff(tiff.Build());
      EXPECT_EQ(dump.code, 0) << c.name;
      EXPECT_EQ(dump.text, c.line + "\n")
          << c.name << (order == ByteOrder::kBig ? " (MM)" : " (II)");
    }
  }
}

TEST(TagCoreDump, DescendsIntoMakerNoteOnlyForMakeExactlyCanon) {
  struct Case {
    const char* name;
    std::function<void(TiffBuilder&, TiffBuilder::Dir ifd0, TiffBuilder::Dir ifd1)> make;
    bool descends;
  };
  const std::vector<Case> cases = {
      {"Canon", [](auto& t, auto d, auto) { t.Ascii(d, tag::kMake, "Canon"); }, true},
      {"Canon without NUL",
       [](auto& t, auto d, auto) { t.AsciiCounted(d, tag::kMake, "Canon", 5); }, true},
      {"Canon, NUL, more",
       [](auto& t, auto d, auto) { t.AsciiCounted(d, tag::kMake, std::string("Canon\0x", 7), 7); },
       true},
      {"trailing blank", [](auto& t, auto d, auto) { t.Ascii(d, tag::kMake, "Canon "); }, false},
      {"other case", [](auto& t, auto d, auto) { t.Ascii(d, tag::kMake, "CANON"); }, false},
      {"no Make", [](auto&, auto, auto) {}, false},
      {"Make only in the thumbnail directory",
       [](auto& t, auto, auto ifd1) { t.Ascii(ifd1, tag::kMake, "Canon"); }, false},
      {"Make longer than 61 characters",
       [](auto& t, auto d, auto) { t.Ascii(d, tag::kMake, "Canon" + std::string(80, 'x')); },
       false},
  };
  for (const Case& c : cases) {
    TiffBuilder tiff;
    const auto ifd0 = tiff.AddDirectory();
    const auto sub = tiff.AddDirectory();
    const auto note = tiff.AddDirectory();
    const auto ifd1 = tiff.AddDirectory();
    c.make(tiff, ifd0, ifd1);
    tiff.SubDirectory(ifd0, sub).Chain(ifd0, ifd1).Short(ifd1, 0x0103, {6});
    tiff.MakerNote(sub, note);
    tiff.Ascii(note, 12, "S1234");
    const DumpResult dump = DumpTiff(tiff.Build());
    EXPECT_EQ(dump.code, 0) << c.name;
    EXPECT_EQ(dump.text.find("Tag 0x000C[  6] Canon.SerialNumber = 'S1234'\n") != std::string::npos,
              c.descends)
        << c.name << "\n"
        << dump.text;
  }
}

TEST(TagCoreDump, CameraSettingsArrayOfCountOneHasNoElements) {
  TiffBuilder tiff;
  const auto ifd0 = tiff.AddDirectory();
  const auto sub = tiff.AddDirectory();
  const auto note = tiff.AddDirectory();
  tiff.Ascii(ifd0, tag::kMake, "Canon").SubDirectory(ifd0, sub).MakerNote(sub, note);
  tiff.Short(note, tag::kCanonCameraSettings1, {2}).Short(note, tag::kCanonCameraSettings2, {});
  tiff.Short(note, 15, {0});
  const DumpResult dump = DumpTiff(tiff.Build());
  EXPECT_EQ(dump.code, 0);
  EXPECT_NE(dump.text.find("Tag 0x0001[  1] Canon.CameraSettings1 = 2 \n"
                           "Tag 0x0004[  0] Canon.CameraSettings2 = \n"
                           "Tag 0x000F[  1] Canon.CustomFunctions = 0 \n"),
            std::string::npos)
      << dump.text;
}

TEST(TagCoreDump, FollowsExifOffsetInAnyChainDirectory) {
  // A sub-directory reached from the thumbnail directory is still kind EXIF:
  // its maker note is walked.
  TiffBuilder tiff(ByteOrder::kBig);
  const auto ifd0 = tiff.AddDirectory();
  const auto ifd1 = tiff.AddDirectory();
  const auto sub = tiff.AddDirectory();
  const auto note = tiff.AddDirectory();
  tiff.Ascii(ifd0, tag::kMake, "Canon").Chain(ifd0, ifd1);
  tiff.SubDirectory(ifd1, sub).MakerNote(sub, note);
  tiff.Short(note, 8, {7});
  const DumpResult dump = DumpTiff(tiff.Build());
  EXPECT_EQ(dump.code, 0);
  const std::vector<std::string> expected = {
      "Tag 0x010F[  6] Exif.Make = 'Canon'",
      "Tag 0x8769[  1] Exif.ExifOffset = 50 ",
      "Tag 0x927C[ 18] Exif.MakerNote = ...",
      "Tag 0x0008[  1] Canon.ImageNumber = 7 ",
  };
  ExpectLines(dump.text, expected);
}

TEST(TagCoreDump, TextExifOffsetIsNotFollowed) {
  // A broken writer stored ExifOffset as text; it is dumped, not walked.
  TiffBuilder tiff;
  const auto ifd0 = tiff.AddDirectory();
  tiff.Ascii(ifd0, tag::kExifOffset, "\t12345678").Short(ifd0, tag::kOrientation, {1});
  const DumpResult dump = DumpTiff(tiff.Build());
  EXPECT_EQ(dump.code, 0);
  EXPECT_EQ(dump.text,
            "Tag 0x8769[ 10] Exif.ExifOffset = '12345678'\n"
            "Tag 0x0112[  1] Exif.Orientation = 1 \n");
}

// Two lines: heads of 35 and 38 characters, values "7 " and "2 ".
std::string SmallDumpFile(const TempDir& dir) {
  TiffBuilder tiff;
  const auto ifd0 = tiff.AddDirectory();
  tiff.Short(ifd0, tag::kOrientation, {7}).Short(ifd0, 0x0128, {2});
  return dir.Write("small.jpg", JpegBuilder().Exif(tiff.Build()).Build());
}

TEST(TagCoreDump, MemorySinkDropsPiecesThatDoNotFitWhole) {
  TempDir dir;
  const std::string path = SmallDumpFile(dir);
  const std::string full =
      "Tag 0x0112[  1] Exif.Orientation = 7 \n"
      "Tag 0x0128[  1] Exif.ResolutionUnit = 2 \n";
  const int32_t full_length = static_cast<int32_t>(full.size());
  struct Case {
    int32_t capacity;
    std::string text;
  };
  const std::vector<Case> cases = {
      {full_length + 1, full},
      // The last piece "\n" needs one byte and the NUL.
      {full_length, full.substr(0, full.size() - 1)},
      // The second head (37 characters) no longer fits; "2 " and "\n" still do.
      {42, "Tag 0x0112[  1] Exif.Orientation = 7 \n2 \n"},
      {41, "Tag 0x0112[  1] Exif.Orientation = 7 \n2 "},
      // Not even the first head (35 characters): the value pieces go in alone.
      {35, "7 \n2 \n"},
      {3, "7 "},
      {2, "\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DumpToMemory(path, c.capacity).code, 0) << c.capacity;
    EXPECT_EQ(DumpToMemory(path, c.capacity).text, c.text) << c.capacity;
  }
}

TEST(TagCoreDump, MemorySinkLeavesBufferUntouchedWhenNothingFits) {
  TempDir dir;
  const std::string path = SmallDumpFile(dir);
  for (int32_t capacity : {1, 0, -5}) {
    char buffer[8];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(TagCore_DumpInfoToAdr(path.c_str(), buffer, capacity), 0);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(8, 'X'));
  }
  EXPECT_EQ(TagCore_DumpInfoToAdr(path.c_str(), nullptr, 100), 0);
}

TEST(TagCoreDump, FileSinkHoldsTheSameTextAsMemory) {
  TempDir dir;
  const std::string path = dir.Write("nikon.jpg", MakeCameraJpeg(NikonPicture(ByteOrder::kBig)));
  const std::string out = dir.Path("dump.txt");
  exif_writer::WriteFileBytes(out, {'o', 'l', 'd', ' ', 't', 'e', 'x', 't', '\n', '.', '.'});
  ASSERT_EQ(TagCore_DumpInfoToFile(path.c_str(), out.c_str()), 0);
  const Bytes written = exif_writer::ReadFileBytes(out);
  EXPECT_EQ(std::string(written.begin(), written.end()), DumpToMemory(path).text);
}

TEST(TagCoreDump, FileSinkWithoutPathWritesToStandardOutput) {
  TempDir dir;
  const std::string path = dir.Write("nikon.jpg", MakeCameraJpeg(NikonPicture(ByteOrder::kLittle)));
  int32_t code = -1;
  const std::string out =
      CaptureStdout([&] { code = TagCore_DumpInfoToFile(path.c_str(), nullptr); });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(out, DumpToMemory(path).text);
}

TEST(TagCoreDump, MemoryDumpWritesNothingToStandardOutput) {
  TempDir dir;
  const std::string path = dir.Write("nikon.jpg", MakeCameraJpeg(NikonPicture(ByteOrder::kLittle)));
  const std::string out = CaptureStdout([&] {
    char buffer[64];
    TagCore_DumpInfoToAdr(path.c_str(), buffer, sizeof buffer);
    TagCore_DumpInfoToAdr(path.c_str(), nullptr, 0);
  });
  EXPECT_EQ(out, "");
}

TEST(TagCoreVersion, WritesVersionTextAndReturnsBuffer) {
  char buffer[100];
  std::memset(buffer, 'X', sizeof buffer);
  EXPECT_EQ(TagCore_GetVersion(buffer), buffer);
  EXPECT_EQ(std::string(buffer, 13), std::string("1.03 Release\0", 13));
  EXPECT_EQ(buffer[13], 'X');
  EXPECT_EQ(TagCore_GetVersion(nullptr), nullptr);
}

}  // namespace
}  // namespace snapcrate::tagcore_test
