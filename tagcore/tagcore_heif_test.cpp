// HEIF files: the EXIF item is dumped and shifted like a JPEG's EXIF segment,
// wherever and however the item is stored, and a broken box structure ends
// with a code, never with a read outside the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tagcore/tagcore.h"
#include "tagcore/tagcore_test_support.h"
#include "tests/support/exif_writer/camera_exif.h"
#include "tests/support/exif_writer/file_bytes.h"
#include "tests/support/exif_writer/heif_builder.h"

namespace snapcrate::tagcore_test {
namespace {

using exif_writer::ByteOrder;
using exif_writer::CameraExif;
using exif_writer::HeifLayout;
using exif_writer::Rational;

CameraExif Camera(ByteOrder order) {
  return CameraExif{.byte_order = order,
                    .make = "Canon",
                    .model = "Canon PowerShot S45",
                    .date_time = "2021:04:11 15:47:53",
                    .exposure = Rational{1, 391},
                    .f_number = Rational{18, 10},
                    .iso = 32,
                    .date_time_original = "2021:04:11 15:47:52",
                    .date_time_digitized = "2021:04:11 15:47:51",
                    .focal_length = Rational{42, 10},
                    .canon = exif_writer::CanonMakerNoteSpec{.settings1 = {1, 2, 3}},
                    .thumbnail = true,
                    .thumbnail_date_time = "2021:04:11 15:47:50"};
}

struct LayoutCase {
  const char* name;
  HeifLayout layout;
};

const std::vector<LayoutCase> kLayouts = {
    {"one extent in the media data", {}},
    {"item locations version 0", {.iloc_version = 0}},
    {"item locations version 2", {.iloc_version = 2}},
    {"item data in the meta box", {.exif_in_item_data = true}},
    {"two extents, the TIFF header in the second", {.exif_split = 3}},
    {"two extents split inside the TIFF data", {.exif_split = 150}},
};

size_t Find(const Bytes& bytes, const std::string& text) {
  const auto at = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
  return at == bytes.end() ? std::string::npos : static_cast<size_t>(at - bytes.begin());
}

TEST(TagCoreHeif, DumpsTheExifItemLikeTheJpegSegment) {
  for (ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
    const Bytes tiff = exif_writer::MakeCameraExif(Camera(order));
    TempDir dir;
    const DumpResult jpeg =
        DumpToMemory(dir.Write("a.jpg", exif_writer::MakeCameraJpeg(Camera(order))));
    ASSERT_EQ(jpeg.code, 0);
    ASSERT_NE(jpeg.text.find("Canon.CS1.Selftimer = 2\n"), std::string::npos);
    for (const LayoutCase& c : kLayouts) {
      SCOPED_TRACE(c.name);
      const DumpResult heif =
          DumpToMemory(dir.Write("a.heic", exif_writer::MakeHeif(tiff, c.layout)));
      EXPECT_EQ(heif.code, 0);
      EXPECT_EQ(heif.text, jpeg.text);
    }
  }
}

TEST(TagCoreHeif, ShiftsOnlyTheDateBytesWhereverTheItemLies) {
  ScopedTimeZone zone("UTC0");
  const std::vector<std::pair<std::string, std::string>> dates = {
      {"2021:04:11 15:47:53", "2021:04:11 16:47:53"},
      {"2021:04:11 15:47:52", "2021:04:11 16:47:52"},
      {"2021:04:11 15:47:51", "2021:04:11 16:47:51"},
      {"2021:04:11 15:47:50", "2021:04:11 16:47:50"},
  };
  const Bytes tiff = exif_writer::MakeCameraExif(Camera(ByteOrder::kLittle));
  for (const LayoutCase& c : kLayouts) {
    SCOPED_TRACE(c.name);
    const Bytes original = exif_writer::MakeHeif(tiff, c.layout);
    TempDir dir;
    const std::string path = dir.Write("a.HEIC", original);
    std::string trace;
    int32_t code = -1;
    trace = CaptureStdout([&] { code = TagCore_AdjustDateTime(path.c_str(), 3600); });
    EXPECT_EQ(code, 0);
    Bytes expected = original;
    for (const auto& [old_date, new_date] : dates) {
      const size_t at = Find(original, old_date);
      ASSERT_NE(at, std::string::npos);
      std::copy(new_date.begin(), new_date.end(), expected.begin() + static_cast<long>(at));
      char line[128];
      std::snprintf(line, sizeof line, "offset %8zX\n", at);
      EXPECT_NE(trace.find(line), std::string::npos) << line;
    }
    EXPECT_TRUE(exif_writer::ReadFileBytes(path) == expected);
  }
}

TEST(TagCoreHeif, DateSplitBetweenTwoExtentsIsLeftAlone) {
  ScopedTimeZone zone("UTC0");
  const Bytes tiff = exif_writer::MakeCameraExif(Camera(ByteOrder::kLittle));
  const size_t date_in_item = Find(tiff, "2021:04:11 15:47:52") + 10;  // behind "Exif" header
  const Bytes original = exif_writer::MakeHeif(tiff, {.exif_split = date_in_item + 5});
  TempDir dir;
  const std::string path = dir.Write("a.heif", original);
  int32_t code = -1;
  const std::string trace =
      CaptureStdout([&] { code = TagCore_AdjustDateTime(path.c_str(), 3600); });
  EXPECT_EQ(code, 0);
  EXPECT_NE(trace.find("DateTime skipped: the value is split in the file\n"), std::string::npos);
  const Bytes shifted = exif_writer::ReadFileBytes(path);
  EXPECT_NE(Find(shifted, "2021:04:11 16:47:53"), std::string::npos);
  EXPECT_EQ(Find(shifted, "2021:04:11 16:47:52"), std::string::npos);
}

void PutBig(Bytes& bytes, size_t at, uint64_t value, int size) {
  for (int i = size - 1; i >= 0; --i, value >>= 8) bytes[at + i] = static_cast<uint8_t>(value);
}

struct BrokenCase {
  const char* name;
  const char* box;  // the box patched
  size_t at;        // from the box's size field
  uint64_t value;
  int size;
  int32_t code;
};

// Field positions in the builder's boxes: iloc version 1 with 4-byte offsets
// and lengths, the image item first, the EXIF item at 32.
const std::vector<BrokenCase> kBroken = {
    {"meta box larger than the file", "meta", 0, 0x7FFFFFF0, 4, 6},
    {"box smaller than its own header", "ftyp", 0, 4, 4, 6},
    {"item information box larger than meta", "iinf", 0, 0x10000, 4, 6},
    {"item information entry larger than its box", "infe", 0, 0x1000, 4, 6},
    {"item information entry cut inside its header", "infe", 0, 14, 4, 6},
    {"EXIF item without an item type", "infe", 8, 0, 1, 2},
    {"EXIF item without a location", "iloc", 14, 1, 2, 6},
    {"location field size of 3 bytes", "iloc", 12, 0x34, 1, 6},
    {"location version 3", "iloc", 8, 3, 1, 6},
    {"construction method 2", "iloc", 34, 2, 2, 6},
    {"construction method 1 without item data", "iloc", 34, 1, 2, 6},
    {"extent beyond the file", "iloc", 40, 0xFFFFFF00, 4, 4},
    {"extent running past the file", "iloc", 44, 0xFFFFFF00, 4, 4},
    {"extent count beyond the box", "iloc", 38, 0x4000, 2, 6},
    {"no extents", "iloc", 38, 0, 2, 2},
    {"extent shorter than the TIFF offset", "iloc", 44, 3, 4, 6},
    {"TIFF offset beyond the item", "mdat", 8 + 32, 0xFFFFFFF0, 4, 6},
};

// Dump and date shift give the same code, and the file stays as it was.
void ExpectCode(const TempDir& dir, const Bytes& bytes, int32_t expected) {
  const std::string path = dir.Write("broken.heic", bytes);
  EXPECT_EQ(DumpToMemory(path).code, expected);
  int32_t code = -1;
  CaptureStdout([&] { code = TagCore_AdjustDateTime(path.c_str(), 60); });
  EXPECT_EQ(code, expected);
  EXPECT_TRUE(exif_writer::ReadFileBytes(path) == bytes);
}

TEST(TagCoreHeif, BrokenBoxesEndWithACode) {
  const Bytes good = exif_writer::MakeHeif(exif_writer::MakeCameraExif(Camera(ByteOrder::kLittle)));
  TempDir dir;
  for (const BrokenCase& c : kBroken) {
    SCOPED_TRACE(c.name);
    Bytes bytes = good;
    size_t at = exif_writer::FindBox(bytes, c.box);
    if (c.box == std::string("infe")) at = exif_writer::FindBox(bytes, "infe", at + 8);
    PutBig(bytes, at + c.at, c.value, c.size);
    ExpectCode(dir, bytes, c.code);
  }

  const auto cut = [&](size_t length) {
    return Bytes(good.begin(), good.begin() + static_cast<long>(length));
  };
  Bytes tiff_at_end = good;
  const size_t item = exif_writer::FindBox(good, "mdat") + 8 + 32;
  PutBig(tiff_at_end, item, good.size() - item - 4, 4);
  const struct {
    const char* name;
    Bytes bytes;
    int32_t code;
  } whole_files[] = {
      {"file type box only", cut(exif_writer::FindBox(good, "meta")), 2},
      {"no EXIF item", exif_writer::MakeHeifWithoutExif(), 2},
      {"cut inside the meta box", cut(exif_writer::FindBox(good, "iloc")), 6},
      {"cut inside the EXIF item", cut(good.size() - 10), 4},
      {"TIFF offset at the item's end", tiff_at_end, 2},
  };
  for (const auto& c : whole_files) {
    SCOPED_TRACE(c.name);
    ExpectCode(dir, c.bytes, c.code);
  }
}

}  // namespace
}  // namespace snapcrate::tagcore_test
