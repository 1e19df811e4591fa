#include "tagcore/exif_segment.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "tagcore/heif_exif.h"
#include "tagcore/input_file.h"
#include "tagcore/tagcore.h"

namespace snapcrate::tagcore {

namespace {

constexpr int kMarkerStartOfImage = 0xD8;
constexpr int kMarkerEndOfImage = 0xD9;
constexpr int kMarkerStartOfScan = 0xDA;
constexpr int kMarkerApp1 = 0xE1;
// Length field, "Exif" and the two bytes behind it.
constexpr unsigned kExifHeaderLength = 8;

// Markers that stand alone, without a length field.
bool IsStandalone(int marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7); }

// Walks the marker segments behind the start of image up to the start of scan
// and reads the first APP1 segment whose identifier is "Exif", wherever it stands.
int ReadJpegExif(InputFile& file, ExifSegment* segment) {
  for (;;) {
    if (file.Byte() != 0xFF) return TAGCORE_NO_EXIF;
    int marker = file.Byte();
    while (marker == 0xFF) marker = file.Byte();  // fill bytes
    if (marker == EOF || marker == kMarkerStartOfScan || marker == kMarkerEndOfImage ||
        marker == kMarkerStartOfImage || marker == 0x00)
      return TAGCORE_NO_EXIF;
    if (IsStandalone(marker)) continue;

    uint8_t length_bytes[2];
    if (!file.Read(length_bytes, 2)) return TAGCORE_NO_EXIF;
    const unsigned length = (length_bytes[0] << 8) | length_bytes[1];
    if (length < 2) return TAGCORE_NO_EXIF;
    long to_skip = static_cast<long>(length) - 2;

    if (marker == kMarkerApp1 && length >= 6) {
      char identifier[4];
      if (!file.Read(identifier, sizeof identifier)) return TAGCORE_NO_EXIF;
      to_skip -= 4;
      if (std::memcmp(identifier, "Exif", 4) == 0) {
        if (length <= kExifHeaderLength) return TAGCORE_NO_EXIF;
        uint8_t padding[2];
        if (!file.Read(padding, 2)) return TAGCORE_TRUNCATED;
        const uint32_t tiff_length = length - kExifHeaderLength;
        std::unique_ptr<uint8_t[]> tiff(new (std::nothrow) uint8_t[tiff_length]);
        if (!tiff) return TAGCORE_OUT_OF_MEMORY;
        segment->layout = FileLayout({FileRun{0, file.Position()}});
        if (!file.Read(tiff.get(), tiff_length)) return TAGCORE_TRUNCATED;
        segment->tiff = std::move(tiff);
        segment->length = tiff_length;
        return TAGCORE_OK;
      }
    }
    if (!file.Skip(to_skip)) return TAGCORE_NO_EXIF;
  }
}

}  // namespace

uint64_t FileLayout::Position(uint32_t offset) const {
  const FileRun& run = RunOf(offset);
  return run.file_position + (offset - run.tiff_offset);
}

bool FileLayout::Contiguous(uint32_t offset, uint64_t size) const {
  const FileRun* run = &RunOf(offset);
  if (run == &runs_.back()) return true;
  return offset + size <= run[1].tiff_offset;
}

const FileRun& FileLayout::RunOf(uint32_t offset) const {
  size_t i = runs_.size() - 1;
  while (i > 0 && runs_[i].tiff_offset > offset) --i;
  return runs_[i];
}

int ReadExifSegment(const char* path, ExifSegment* segment) {
  InputFile file(path);
  if (!file.is_open()) return TAGCORE_CANNOT_OPEN_IMAGE;
  uint8_t start[8];
  const size_t read = file.ReadSome(start, sizeof start);
  if (read >= 2 && start[0] == 0xFF && start[1] == kMarkerStartOfImage) {
    if (!file.Seek(2)) return TAGCORE_NO_EXIF;
    return ReadJpegExif(file, segment);
  }
  // An ISO base media file opens with its file-type box.
  if (read == sizeof start && std::memcmp(start + 4, "ftyp", 4) == 0)
    return ReadHeifExif(file, segment);
  return TAGCORE_NO_EXIF;
}

}  // namespace snapcrate::tagcore
