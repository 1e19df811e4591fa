#include "app/import/movie_header.h"

#include <sys/types.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace snapcrate {

namespace {

// Seconds from 1904-01-01, where movie times count from, to 1970-01-01.
constexpr uint64_t kSeconds1904To1970 = 2'082'844'800;
// 9999-12-31 23:59:59 UTC: names hold a 4-digit year.
constexpr uint64_t kLatest = 253'402'300'799;

uint64_t BigEndian(const uint8_t* bytes, int size) {
  uint64_t value = 0;
  for (int i = 0; i < size; ++i) value = (value << 8) | bytes[i];
  return value;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

class BoxReader {
 public:
  explicit BoxReader(std::FILE* file) : file_(file) {}

  bool ReadAt(uint64_t position, uint8_t* target, size_t size) {
    return fseeko(file_, static_cast<off_t>(position), SEEK_SET) == 0 &&
           std::fread(target, 1, size, file_) == size;
  }

  /// Finds the first box of `type` among the boxes from `begin` to `end`;
  /// sets its payload's position and size. False when there is none or a box
  /// does not fit where it stands.
  bool Find(uint64_t begin, uint64_t end, const char* type, uint64_t* payload, uint64_t* size) {
    uint64_t at = begin;
    while (end - at >= 8) {
      uint8_t header[16];
      if (!ReadAt(at, header, 8)) return false;
      uint64_t box_size = BigEndian(header, 4);
      uint64_t header_size = 8;
      if (box_size == 1) {
        if (end - at < 16 || !ReadAt(at + 8, header + 8, 8)) return false;
        box_size = BigEndian(header + 8, 8);
        header_size = 16;
      } else if (box_size == 0) {
        box_size = end - at;  // up to the end of the enclosing box
      }
      if (box_size < header_size || box_size > end - at) return false;
      if (std::equal(header + 4, header + 8, type)) {
        *payload = at + header_size;
        *size = box_size - header_size;
        return true;
      }
      at += box_size;
    }
    return false;
  }

 private:
  std::FILE* file_;
};

}  // namespace

std::optional<int64_t> ReadMovieCreationTime(const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file || fseeko(file.get(), 0, SEEK_END) != 0) return std::nullopt;
  const off_t file_size = ftello(file.get());
  if (file_size < 0) return std::nullopt;

  BoxReader reader(file.get());
  uint64_t movie = 0, movie_size = 0, header = 0, header_size = 0;
  if (!reader.Find(0, static_cast<uint64_t>(file_size), "moov", &movie, &movie_size) ||
      !reader.Find(movie, movie + movie_size, "mvhd", &header, &header_size))
    return std::nullopt;
  // Version and flags, then the creation time: 32 bits in version 0, 64 in 1.
  uint8_t fields[12];
  if (header_size < 8 || !reader.ReadAt(header, fields, 1)) return std::nullopt;
  const int time_size = fields[0] == 1 ? 8 : 4;
  if (fields[0] > 1 || header_size < 4u + time_size ||
      !reader.ReadAt(header + 4, fields + 4, time_size))
    return std::nullopt;
  const uint64_t since_1904 = BigEndian(fields + 4, time_size);
  if (since_1904 <= kSeconds1904To1970 || since_1904 - kSeconds1904To1970 > kLatest)
    return std::nullopt;
  return static_cast<int64_t>(since_1904 - kSeconds1904To1970);
}

}  // namespace snapcrate
