#include "tagcore/exif_segment.h"

#include <sys/types.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "tagcore/tagcore.h"

namespace snapcrate::tagcore {

namespace {

constexpr int kMarkerStartOfImage = 0xD8;
constexpr int kMarkerEndOfImage = 0xD9;
constexpr int kMarkerStartOfScan = 0xDA;
constexpr int kMarkerApp1 = 0xE1;
// Length field, "Exif" and the two bytes behind it.
constexpr unsigned kExifHeaderLength = 8;

class File {
 public:
  explicit File(const char* path) : stream_(path ? std::fopen(path, "rb") : nullptr) {}
  ~File() {
    if (stream_) std::fclose(stream_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool is_open() const { return stream_ != nullptr; }
  int Byte() { return std::fgetc(stream_); }
  bool Read(void* target, size_t size) { return std::fread(target, 1, size, stream_) == size; }
  bool Skip(long count) { return std::fseek(stream_, count, SEEK_CUR) == 0; }
  uint64_t Position() { return static_cast<uint64_t>(ftello(stream_)); }

 private:
  std::FILE* stream_;
};

// Markers that stand alone, without a length field.
bool IsStandalone(int marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7); }

}  // namespace

int ReadExifSegment(const char* path, ExifSegment* segment) {
  File file(path);
  if (!file.is_open()) return TAGCORE_CANNOT_OPEN_IMAGE;
  if (file.Byte() != 0xFF || file.Byte() != kMarkerStartOfImage) return TAGCORE_NO_EXIF;

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
        segment->tiff_position = file.Position();
        if (!file.Read(tiff.get(), tiff_length)) return TAGCORE_TRUNCATED;
        segment->tiff = std::move(tiff);
        segment->length = tiff_length;
        return TAGCORE_OK;
      }
    }
    if (!file.Skip(to_skip)) return TAGCORE_NO_EXIF;
  }
}

}  // namespace snapcrate::tagcore
