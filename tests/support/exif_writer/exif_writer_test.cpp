// The test EXIF writer: the layout it promises, so tests built on it can trust
// the offsets it reports.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/exif_writer/camera_exif.h"
#include "tests/support/exif_writer/jpeg_builder.h"
#include "tests/support/exif_writer/tiff_builder.h"

namespace snapcrate::exif_writer {
namespace {

uint32_t Big16(const Bytes& b, size_t at) { return (b[at] << 8) | b[at + 1]; }

TEST(TiffBuilder, LaysOutHeaderDirectoriesAndValuesInBothOrders) {
  for (ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
    TiffBuilder tiff(order);
    const auto ifd0 = tiff.AddDirectory();
    const auto sub = tiff.AddDirectory();
    tiff.Short(ifd0, tag::kOrientation, {6}).Ascii(ifd0, tag::kModel, "odd");  // inline, 4 bytes
    tiff.Ascii(ifd0, tag::kMake, "Canon").SubDirectory(ifd0, sub);  // 6 bytes out of line
    tiff.RationalValue(sub, tag::kFNumber, {{28, 10}});
    const Bytes bytes = tiff.Build();
    const bool big = order == ByteOrder::kBig;
    const Bytes header =
        big ? Bytes{'M', 'M', 0, 42, 0, 0, 0, 8} : Bytes{'I', 'I', 42, 0, 8, 0, 0, 0};
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 8), header);
    // IFD0: 2 + 4 × 12 + 4 bytes at 8, then "Canon\0" at 62; sub at 68.
    EXPECT_EQ(tiff.DirectoryOffset(ifd0), 8u);
    EXPECT_EQ(tiff.ValueOffset(ifd0, 0), 8u + 2 + 8);
    EXPECT_EQ(tiff.ValueOffset(ifd0, 1), 8u + 2 + 12 + 8);
    EXPECT_EQ(tiff.ValueOffset(ifd0, 2), 62u);
    EXPECT_EQ(tiff.DirectoryOffset(sub), 68u);
    EXPECT_EQ(std::string(bytes.begin() + 62, bytes.begin() + 68), std::string("Canon\0", 6));
    EXPECT_EQ(std::string(bytes.begin() + 30, bytes.begin() + 34), std::string("odd\0", 4));
    EXPECT_EQ(big ? Big16(bytes, 8 + 2 + 8) : bytes[8 + 2 + 8], 6u);
    EXPECT_EQ(bytes.size(), 68u + 18 + 8);
  }
}

TEST(TiffBuilder, MakerNoteCountIsTheNoteBlockSizeAndLinksAreVerbatim) {
  TiffBuilder tiff(ByteOrder::kBig);
  const auto ifd0 = tiff.AddDirectory();
  const auto note = tiff.AddDirectory();
  tiff.MakerNote(ifd0, note).ChainRaw(ifd0, 0xDEADBEEF);
  tiff.CameraSettings(note, tag::kCanonCameraSettings1, {1, 2, 3});
  const Bytes bytes = tiff.Build();
  // Note block: 2 + 12 + 4, then 4 words of settings (byte size 8 first).
  EXPECT_EQ(Big16(bytes, 8 + 2 + 4) << 16 | Big16(bytes, 8 + 2 + 6), 18u + 8);
  EXPECT_EQ(Bytes(bytes.begin() + 8 + 2 + 12, bytes.begin() + 8 + 2 + 16),
            (Bytes{0xDE, 0xAD, 0xBE, 0xEF}));
  const uint32_t settings = tiff.ValueOffset(note, 0);
  EXPECT_EQ(Bytes(bytes.begin() + settings, bytes.begin() + settings + 8),
            (Bytes{0, 8, 0, 1, 0, 2, 0, 3}));
}

TEST(JpegBuilder, GrayJpegIsACompleteBaselineStream) {
  const Bytes small = MakeGrayJpeg();
  EXPECT_EQ(small.size(), 137u);
  EXPECT_EQ(Bytes(small.begin(), small.begin() + 2), (Bytes{0xFF, 0xD8}));
  EXPECT_EQ(Bytes(small.end() - 2, small.end()), (Bytes{0xFF, 0xD9}));
  // 17 × 9 pixels: 3 × 2 blocks of two bits each, padded with ones.
  const Bytes odd = MakeGrayJpeg(17, 9);
  const size_t frame = 2 + 69;
  EXPECT_EQ(Big16(odd, frame + 5), 9u);
  EXPECT_EQ(Big16(odd, frame + 7), 17u);
  EXPECT_EQ(Bytes(odd.end() - 4, odd.end()), (Bytes{0x00, 0x0F, 0xFF, 0xD9}));
}

TEST(JpegBuilder, InsertExifGoesBehindApp0AndReplacesOldExif) {
  const Bytes old_tiff{'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0};
  const Bytes new_tiff{'M', 'M', 0, 42, 0, 0, 0, 8, 0, 0};
  const Bytes image = JpegBuilder().Exif(old_tiff).App0Jfif().Comment("keep").Build();
  const Bytes result = InsertExif(image, new_tiff);
  const Bytes expected = JpegBuilder().App0Jfif().Exif(new_tiff).Comment("keep").Build();
  EXPECT_EQ(result, expected);
  EXPECT_THROW(InsertExif(Bytes{'G', 'I', 'F', '8'}, new_tiff), std::invalid_argument);
  EXPECT_THROW(JpegBuilder().Exif(Bytes(65528, 0)), std::length_error);
}

TEST(CameraExif, WritesAskedEntriesOnly) {
  const Bytes tiff = MakeCameraExif({.make = "Canon", .date_time_original = "2004:05:12 13:45:01"});
  const std::string text(tiff.begin(), tiff.end());
  // IFD0: Make, XResolution, YResolution, ResolutionUnit, ExifOffset at 8, its
  // values up to 96; the sub-directory: ExifVersion (inline) and the date.
  EXPECT_EQ(text.find(std::string("Canon\0", 6)), 74u);
  EXPECT_EQ(text.find("0220"), 96u + 2 + 8);
  EXPECT_EQ(text.find("2004:05:12 13:45:01"), 96u + 2 + 2 * 12 + 4);
  EXPECT_EQ(tiff.size(), 146u);
}

}  // namespace
}  // namespace snapcrate::exif_writer
