#include "pixcore/header_size.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>

namespace snapcrate::pixcore {
namespace {

// Enough segments for any camera file; a walk longer than this is left to
// the decoder.
constexpr int kMaxSegments = 512;

// The headers are walked in small steps; they are served from one block read
// at a time, so a file costs one or two reads instead of one per field.
class File {
 public:
  explicit File(const char* path) : fd_(open(path, O_RDONLY | O_CLOEXEC)) {}
  ~File() {
    if (fd_ >= 0) close(fd_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool ReadAt(off_t at, unsigned char* into, size_t size) const {
    if (at < 0) return false;
    if (!Holds(at, size)) {
      if (size > sizeof block_) return ReadFully(at, into, size, nullptr);
      block_at_ = at;
      ReadFully(at, block_, sizeof block_, &block_size_);
      if (!Holds(at, size)) return false;  // the file ends before
    }
    std::memcpy(into, block_ + (at - block_at_), size);
    return true;
  }
  bool IsPlainFile() const {
    struct stat info;
    return fd_ >= 0 && fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
  }

 private:
  bool Holds(off_t at, size_t size) const {
    return at >= block_at_ && uint64_t(at - block_at_) + size <= block_size_;
  }
  // True when all `size` bytes were read; `got` (may be null) how many were.
  bool ReadFully(off_t at, unsigned char* into, size_t size, size_t* got) const {
    size_t done = 0;
    while (done < size) {
      const ssize_t part = pread(fd_, into + done, size - done, at + off_t(done));
      if (part <= 0) break;
      done += size_t(part);
    }
    if (got != nullptr) *got = done;
    return done == size;
  }

  int fd_;
  mutable unsigned char block_[4096];
  mutable off_t block_at_ = 0;
  mutable size_t block_size_ = 0;
};

unsigned Big16(const unsigned char* p) { return unsigned(p[0]) << 8 | p[1]; }
uint32_t Big32(const unsigned char* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The Orientation entry (0x0112) of IFD0 in an "Exif" APP1 segment of `length`
// bytes (marker and length field excluded), read as libvips reads it: values
// out of 1..8 clipped into it. 1 when the segment holds none; false for an
// entry of an unusual type or place, which is left to the decoder.
bool ExifOrientation(const File& file, off_t segment, unsigned length, int32_t* orientation) {
  constexpr unsigned kTiffStart = 6;  // after "Exif\0\0"
  unsigned char exif[kTiffStart + 8];
  *orientation = 1;
  if (length < sizeof exif || !file.ReadAt(segment, exif, sizeof exif)) return true;
  if (std::memcmp(exif, "Exif\0\0", kTiffStart) != 0) return true;
  const unsigned char* tiff = exif + kTiffStart;
  const bool little = tiff[0] == 'I' && tiff[1] == 'I';
  if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) return false;
  const auto u16 = [little](const unsigned char* p) { return little ? unsigned(p[1]) << 8 | p[0] : Big16(p); };
  const auto u32 = [little](const unsigned char* p) {
    return little ? uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0] : Big32(p);
  };
  if (u16(tiff + 2) != 42) return false;
  const uint32_t ifd = u32(tiff + 4);
  const uint64_t tiff_length = length - kTiffStart;
  if (ifd < 8 || uint64_t{ifd} + 2 > tiff_length) return false;
  unsigned char count_bytes[2];
  const off_t tiff_at = segment + kTiffStart;
  if (!file.ReadAt(tiff_at + ifd, count_bytes, 2)) return false;
  const unsigned count = u16(count_bytes);
  if (uint64_t{ifd} + 2 + uint64_t{count} * 12 > tiff_length) return false;
  for (unsigned i = 0; i < count; ++i) {
    unsigned char entry[12];
    if (!file.ReadAt(tiff_at + ifd + 2 + off_t(i) * 12, entry, sizeof entry)) return false;
    if (u16(entry) != 0x0112) continue;
    if (u16(entry + 2) != 3 || u32(entry + 4) != 1) return false;  // not one SHORT
    const unsigned value = u16(entry + 8);
    *orientation = value < 1 ? 1 : value > 8 ? 8 : int32_t(value);
    return true;
  }
  return true;
}

// Walks the segments up to the first scan. Only the plain 8-bit frames
// (baseline, extended, progressive) with 1, 3 or 4 components are answered;
// anything else, and any file whose scan does not begin after its frame,
// is left to the decoder to judge. The orientation comes from the "Exif"
// segment.
bool JpegSize(const File& file, int32_t* width, int32_t* height, int32_t* orientation) {
  off_t at = 2;
  int32_t frame_width = 0, frame_height = 0;
  bool exif_seen = false;
  *orientation = 1;
  for (int segment = 0; segment < kMaxSegments; ++segment) {
    unsigned char marker[4];
    if (!file.ReadAt(at, marker, 2) || marker[0] != 0xFF) return false;
    // Fill bytes before a marker.
    while (marker[1] == 0xFF) {
      ++at;
      if (!file.ReadAt(at, marker, 2)) return false;
    }
    const unsigned code = marker[1];
    if (code == 0xD8 || code == 0xD9 || code == 0x01 || (code >= 0xD0 && code <= 0xD7)) return false;
    if (!file.ReadAt(at + 2, marker + 2, 2)) return false;
    const unsigned length = Big16(marker + 2);
    if (length < 2) return false;
    if (code == 0xE1 && length >= 8) {
      unsigned char name[6];
      if (!file.ReadAt(at + 4, name, sizeof name)) return false;
      if (std::memcmp(name, "Exif\0\0", 6) == 0) {
        if (exif_seen) return false;  // which one counts is the decoder's business
        exif_seen = true;
        if (!ExifOrientation(file, at + 4, length - 2, orientation)) return false;
      }
    }
    if (code == 0xDA) {
      if (frame_width == 0) return false;
      *width = frame_width;
      *height = frame_height;
      return true;
    }
    const bool frame = code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
    if (frame) {
      if (frame_width != 0 || (code != 0xC0 && code != 0xC1 && code != 0xC2) || length < 8) return false;
      unsigned char header[6];
      if (!file.ReadAt(at + 4, header, sizeof header)) return false;
      const unsigned components = header[5];
      // A height of 0 is given later (DNL); 12-bit samples need another decoder.
      if (header[0] != 8 || Big16(header + 1) == 0 || Big16(header + 3) == 0 ||
          (components != 1 && components != 3 && components != 4) || length != 8 + 3 * components)
        return false;
      frame_height = int32_t(Big16(header + 1));
      frame_width = int32_t(Big16(header + 3));
    }
    at += 2 + off_t(length);
  }
  return false;
}

uint32_t Crc32(const unsigned char* data, size_t size) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> entries{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entries[n] = c;
    }
    return entries;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

// The first chunk, complete and checked, with values a PNG may hold, and
// the chunks after it up to the first of the pixel data.
bool PngSize(const File& file, int32_t* width, int32_t* height) {
  unsigned char chunk[8 + 4 + 4 + 13 + 4];
  if (!file.ReadAt(0, chunk, sizeof chunk)) return false;
  const unsigned char* ihdr = chunk + 8;
  if (Big32(ihdr) != 13 || std::memcmp(ihdr + 4, "IHDR", 4) != 0) return false;
  if (Crc32(ihdr + 4, 4 + 13) != Big32(ihdr + 8 + 13)) return false;
  const uint32_t w = Big32(ihdr + 8), h = Big32(ihdr + 12);
  const unsigned depth = ihdr[16], colour = ihdr[17];
  const bool known_colour = colour == 0 || colour == 2 || colour == 3 || colour == 4 || colour == 6;
  const bool known_depth = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
  if (w == 0 || h == 0 || w > 0x7FFFFFFFu || h > 0x7FFFFFFFu || !known_colour || !known_depth ||
      ihdr[18] != 0 || ihdr[19] != 0 || ihdr[20] > 1)
    return false;
  off_t at = sizeof chunk;
  for (int segment = 0;; ++segment) {
    unsigned char next[8];
    if (segment == kMaxSegments || !file.ReadAt(at, next, sizeof next)) return false;
    if (std::memcmp(next + 4, "IDAT", 4) == 0) break;
    if (std::memcmp(next + 4, "IEND", 4) == 0) return false;
    // EXIF data may turn the picture: the decoder reads its orientation.
    if (std::memcmp(next + 4, "eXIf", 4) == 0) return false;
    at += 12 + off_t(Big32(next));
  }
  *width = int32_t(w);
  *height = int32_t(h);
  return true;
}

}  // namespace

bool HeaderSize(const char* path, int32_t format, int32_t* width, int32_t* height,
                int32_t* orientation) {
  int32_t unused_orientation = 1;
  if (orientation == nullptr) orientation = &unused_orientation;
  *orientation = 1;
  if (path == nullptr || *path == '\0') return false;
  const File file(path);
  unsigned char magic[8];
  if (!file.IsPlainFile() || !file.ReadAt(0, magic, sizeof magic)) return false;
  int32_t type = PIXCORE_TYPE_NONE;
  if (magic[0] == 0xFF && magic[1] == 0xD8) type = PIXCORE_TYPE_JPEG;
  else if (std::memcmp(magic, "\x89PNG\r\n\x1A\n", 8) == 0) type = PIXCORE_TYPE_PNG;
  if (type == PIXCORE_TYPE_NONE || (format != PIXCORE_DETECT_FORMAT && format != type)) return false;
  return type == PIXCORE_TYPE_JPEG ? JpegSize(file, width, height, orientation)
                                   : PngSize(file, width, height);
}

}  // namespace snapcrate::pixcore
