// Finding the EXIF segment among the JPEG marker segments, and the result
// codes of reading the file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
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
using exif_writer::JpegBuilder;
using exif_writer::MakeGrayJpeg;
using exif_writer::TiffBuilder;
namespace tag = exif_writer::tag;

constexpr char kDate[] = "2004:05:12 13:45:01";

// IFD0 with a Model and a DateTime; ValueOffset(0, 1) is the date's offset.
struct DatedTiff {
  TiffBuilder builder;
  Bytes bytes;
  explicit DatedTiff(ByteOrder order = ByteOrder::kLittle) : builder(order) {
    const auto ifd0 = builder.AddDirectory();
    builder.Ascii(ifd0, tag::kModel, "Model X").Ascii(ifd0, tag::kDateTime, kDate);
    bytes = builder.Build();
  }
  uint32_t date_offset() const { return builder.ValueOffset(0, 1); }
};

const char kDatedDump[] =
    "Tag 0x0110[  8] Exif.Model = 'Model X'\n"
    "Tag 0x0132[ 20] Exif.DateTime = '2004:05:12 13:45:01'\n";

TEST(TagCoreSegments, FindsExifSegmentBehindOtherSegmentsAndRewritesAtItsPosition) {
  const std::string xmp = "<x:xmpmeta xmlns:x='adobe:ns:meta/'><Exif>decoy</Exif></x:xmpmeta>";
  struct Case {
    const char* name;
    std::function<void(JpegBuilder&)> before;
  };
  const std::vector<Case> cases = {
      {"EXIF first", [](JpegBuilder&) {}},
      {"JFIF APP0", [](JpegBuilder& j) { j.App0Jfif(); }},
      {"APP0 and ICC APP2", [](JpegBuilder& j) { j.App0Jfif().Icc(Bytes(3000, 0x41)); }},
      {"XMP APP1", [&](JpegBuilder& j) { j.Xmp(xmp); }},
      {"comment", [](JpegBuilder& j) { j.Comment("Exif in a comment"); }},
      {"Adobe APP14", [](JpegBuilder& j) { j.Adobe(); }},
      {"short APP1",
       [](JpegBuilder& j) {
         j.Segment(0xE1, {'E', 'x'});
       }},
      {"fill bytes before a marker",
       [](JpegBuilder& j) {
         j.Raw({0xFF, 0xFF}).Comment("c");
       }},
      {"everything",
       [&](JpegBuilder& j) {
         j.App0Jfif().Xmp(xmp).Comment("comment").Icc(Bytes(100, 1)).Adobe().Segment(0xE5, {});
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DatedTiff tiff;
    JpegBuilder builder;
    c.before(builder);
    builder.Exif(tiff.bytes).Comment("after");
    const Bytes jpeg = builder.Build();
    TempDir dir;
    const std::string path = dir.Write("picture.jpg", jpeg);
    const DumpResult dump = DumpToMemory(path);
    EXPECT_EQ(dump.code, 0);
    EXPECT_EQ(dump.text, kDatedDump);

    {
      ScopedTimeZone utc("UTC0");
      CaptureStdout([&] { EXPECT_EQ(TagCore_AdjustDateTime(path.c_str(), 60), 0); });
    }
    Bytes expected = jpeg;
    const std::string shifted = "2004:05:12 13:46:01";
    std::copy(shifted.begin(), shifted.end(),
              expected.begin() + builder.TiffPosition() + tiff.date_offset());
    EXPECT_EQ(exif_writer::ReadFileBytes(path), expected);
  }
}

TEST(TagCoreSegments, FileWithoutExifSegmentGivesCode2) {
  DatedTiff tiff;
  const Bytes image = MakeGrayJpeg();
  Bytes exif_after_scan = image;
  const Bytes segment = exif_writer::MakeExifSegment(tiff.bytes);
  exif_after_scan.insert(exif_after_scan.end() - 2, segment.begin(), segment.end());
  Bytes cut_in_app0 = JpegBuilder().App0Jfif().Exif(tiff.bytes).Build();
  cut_in_app0.resize(12);
  Bytes no_exif_segment_payload = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x08, 'E', 'x', 'i', 'f', 0, 0};
  no_exif_segment_payload.insert(no_exif_segment_payload.end(), image.begin() + 2, image.end());

  struct Case {
    const char* name;
    Bytes file;
  };
  const std::vector<Case> cases = {
      {"plain JPEG", image},
      {"APP0 only", JpegBuilder().App0Jfif().Build()},
      {"XMP only", JpegBuilder().Xmp("<x/>").Build()},
      {"EXIF inside the scan data", exif_after_scan},
      {"file ends inside APP0", cut_in_app0},
      {"EXIF segment of length 8", no_exif_segment_payload},
      {"identifier exif in lower case",
       JpegBuilder().Segment(0xE1, {'e', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0}).Build()},
      {"no JPEG at all", Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0}},
      {"empty file", Bytes{}},
      {"start of image only", Bytes{0xFF, 0xD8}},
      {"garbage between segments", JpegBuilder().Comment("x").Raw({0x00}).Exif(tiff.bytes).Build()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.Write("picture.jpg", c.file);
    const std::string out = dir.Path("dump.txt");
    EXPECT_EQ(DumpToMemory(path).code, 2);
    EXPECT_EQ(TagCore_DumpInfoToFile(path.c_str(), out.c_str()), 2);
    EXPECT_FALSE(std::filesystem::exists(out)) << "no output file without EXIF data";
    EXPECT_EQ(TagCore_AdjustDateTime(path.c_str(), 60), 2);
    EXPECT_EQ(exif_writer::ReadFileBytes(path), c.file);
  }
}

TEST(TagCoreSegments, FileShorterThanItsExifSegmentGivesCode4) {
  DatedTiff tiff;
  const Bytes jpeg = JpegBuilder().App0Jfif().Exif(tiff.bytes).Build();
  // SOI and APP0 take 20 bytes, marker, length and "Exif" 8 more, NUL NUL 2.
  TempDir dir;
  struct Case {
    size_t kept;
    int32_t code;
  };
  const std::vector<Case> cases = {
      {26, 2},  // inside the identifier: no EXIF segment to speak of
      {29, 4},  // inside the two bytes behind "Exif"
      {30, 4}, {31, 4}, {30 + tiff.bytes.size() - 1, 4}, {30 + tiff.bytes.size(), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kept);
    const Bytes file(jpeg.begin(), jpeg.begin() + static_cast<long>(c.kept));
    const std::string path = dir.Write("cut.jpg", file);
    EXPECT_EQ(DumpToMemory(path).code, c.code);
    if (c.code != 0) {
      EXPECT_EQ(TagCore_AdjustDateTime(path.c_str(), 60), c.code);
    }
  }
}

TEST(TagCoreSegments, MissingImageGivesCode1) {
  TempDir dir;
  const std::string missing = dir.Path("missing.jpg");
  EXPECT_EQ(DumpToMemory(missing).code, 1);
  EXPECT_EQ(TagCore_DumpInfoToFile(missing.c_str(), dir.Path("out.txt").c_str()), 1);
  EXPECT_EQ(TagCore_AdjustDateTime(missing.c_str(), 1), 1);
  EXPECT_EQ(TagCore_DumpInfoToAdr(nullptr, nullptr, 0), 1);
}

TEST(TagCoreSegments, OutputFileThatCannotBeCreatedGivesCode5) {
  TempDir dir;
  const std::string path = dir.Write("picture.jpg", JpegBuilder().Exif(DatedTiff().bytes).Build());
  EXPECT_EQ(TagCore_DumpInfoToFile(path.c_str(), dir.Path("no/such/dir.txt").c_str()), 5);
  EXPECT_EQ(TagCore_DumpInfoToFile(path.c_str(), dir.Path("").c_str()), 5);
}

TEST(TagCoreSegments, LargestExifSegmentIsReadWhole) {
  // 65527 bytes of TIFF data, the most a segment holds; the date sits last
  // but for one byte of filler.
  TiffBuilder builder(ByteOrder::kBig);
  const auto ifd0 = builder.AddDirectory();
  builder.Undefined(ifd0, 0x9286, Bytes(65527 - 1 - 8 - 30 - 20, 'u'));
  builder.Ascii(ifd0, tag::kDateTime, kDate);
  Bytes tiff = builder.Build();
  tiff.push_back(0);
  ASSERT_EQ(tiff.size(), 65527u);
  const Bytes jpeg = JpegBuilder().App0Jfif().Exif(tiff).Build();
  TempDir dir;
  const std::string path = dir.Write("big.jpg", jpeg);
  const DumpResult dump = DumpToMemory(path, 1 << 20);
  EXPECT_EQ(dump.code, 0);
  EXPECT_NE(dump.text.find("Tag 0x0132[ 20] Exif.DateTime = '2004:05:12 13:45:01'\n"),
            std::string::npos);
}

}  // namespace
}  // namespace snapcrate::tagcore_test
