// Wraps TIFF data into JPEG files for tests: any segments before the EXIF APP1
// segment, insertion of EXIF into an existing JPEG stream, and a tiny valid
// baseline JPEG image so no image library is needed.
#ifndef SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_JPEG_BUILDER_H_
#define SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_JPEG_BUILDER_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "tests/support/exif_writer/tiff_builder.h"

namespace snapcrate::exif_writer {

/// A complete baseline greyscale JPEG (SOI .. EOI) of width × height mid-grey
/// pixels, decodable by any JPEG decoder.
Bytes MakeGrayJpeg(int width = 8, int height = 8);

/// One marker segment: FF, marker, big-endian length, payload.
Bytes MakeSegment(uint8_t marker, const Bytes& payload);
/// The EXIF APP1 segment: "Exif", NUL, NUL, then the TIFF data.
Bytes MakeExifSegment(const Bytes& tiff);

/// Length of the bytes before the TIFF data in an EXIF segment (marker, length,
/// "Exif", NUL, NUL).
constexpr uint32_t kExifSegmentHeaderLength = 10;

/// Puts the EXIF APP1 segment for tiff into a complete JPEG stream: behind the
/// start-of-image marker and any leading APP0 segments, replacing every EXIF
/// segment already there. Throws std::invalid_argument for a stream that is no
/// JPEG.
Bytes InsertExif(const Bytes& jpeg, const Bytes& tiff);

/// Assembles SOI, the segments in the order added, then the image's segments
/// (without its own SOI).
class JpegBuilder {
 public:
  /// A JFIF APP0 segment.
  JpegBuilder& App0Jfif();
  /// The EXIF APP1 segment. Throws std::length_error when tiff exceeds 65527 bytes.
  JpegBuilder& Exif(const Bytes& tiff);
  /// An XMP APP1 segment.
  JpegBuilder& Xmp(std::string_view xml);
  /// An APP2 ICC profile segment (one chunk).
  JpegBuilder& Icc(const Bytes& profile);
  /// An Adobe APP14 segment.
  JpegBuilder& Adobe();
  /// A COM segment.
  JpegBuilder& Comment(std::string_view text);
  /// Any segment.
  JpegBuilder& Segment(uint8_t marker, const Bytes& payload);
  /// Verbatim bytes, for broken streams.
  JpegBuilder& Raw(const Bytes& bytes);
  /// The picture that follows (a complete JPEG); MakeGrayJpeg() by default.
  JpegBuilder& Image(Bytes jpeg);

  Bytes Build() const;
  /// Position in the built file of the first byte of the TIFF data of the
  /// EXIF segment added last (0 when none).
  uint32_t TiffPosition() const { return tiff_position_; }

 private:
  Bytes parts_;
  Bytes image_;
  uint32_t tiff_position_ = 0;
};

}  // namespace snapcrate::exif_writer

#endif  // SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_JPEG_BUILDER_H_
