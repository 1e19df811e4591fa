// Finding and reading the EXIF APP1 segment of a JPEG file.
#ifndef SNAPCRATE_TAGCORE_EXIF_SEGMENT_H_
#define SNAPCRATE_TAGCORE_EXIF_SEGMENT_H_

#include <cstdint>
#include <memory>

namespace snapcrate::tagcore {

struct ExifSegment {
  /// The TIFF data: the segment's payload behind "Exif", NUL, NUL.
  std::unique_ptr<uint8_t[]> tiff;
  uint32_t length = 0;
  /// Position of the TIFF header (first byte of tiff) in the file.
  uint64_t tiff_position = 0;
};

/// Walks the marker segments from the start of image up to the start of scan
/// and reads the first APP1 segment whose identifier is "Exif", wherever it
/// stands. Returns 0, or 1 (cannot open), 2 (no such segment, or it is empty),
/// 3 (no memory) or 4 (file shorter than the segment).
int ReadExifSegment(const char* path, ExifSegment* segment);

}  // namespace snapcrate::tagcore

#endif  // SNAPCRATE_TAGCORE_EXIF_SEGMENT_H_
