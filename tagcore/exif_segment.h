// Finding and reading the EXIF data of a picture file: the APP1 segment of a
// JPEG file or the EXIF item of a HEIF file.
#ifndef SNAPCRATE_TAGCORE_EXIF_SEGMENT_H_
#define SNAPCRATE_TAGCORE_EXIF_SEGMENT_H_

#include <cstdint>
#include <memory>
#include <vector>

namespace snapcrate::tagcore {

/// A run of the TIFF data that lies in one piece in the file: from tiff_offset
/// up to the next run's tiff_offset (or the end of the data).
struct FileRun {
  uint32_t tiff_offset;
  uint64_t file_position;
};

/// Where the bytes of the TIFF data lie in the file. A JPEG segment is one run;
/// a HEIF item may be stored in several extents.
class FileLayout {
 public:
  FileLayout() = default;
  explicit FileLayout(std::vector<FileRun> runs) : runs_(std::move(runs)) {}

  /// File position of the TIFF data's byte at offset.
  uint64_t Position(uint32_t offset) const;
  /// Whether size bytes from offset lie in one piece in the file.
  bool Contiguous(uint32_t offset, uint64_t size) const;

 private:
  const FileRun& RunOf(uint32_t offset) const;

  // Ordered by tiff_offset; the first one starts at 0.
  std::vector<FileRun> runs_{FileRun{0, 0}};
};

struct ExifSegment {
  /// The TIFF data: the segment's payload behind "Exif", NUL, NUL.
  std::unique_ptr<uint8_t[]> tiff;
  uint32_t length = 0;
  FileLayout layout;
};

/// Reads the EXIF data of a JPEG or HEIF file, told apart by their first bytes.
/// Returns 0, or 1 (cannot open), 2 (no EXIF data, or it is empty), 3 (no
/// memory), 4 (file shorter than the EXIF data) or 6 (a broken HEIF structure).
int ReadExifSegment(const char* path, ExifSegment* segment);

}  // namespace snapcrate::tagcore

#endif  // SNAPCRATE_TAGCORE_EXIF_SEGMENT_H_
