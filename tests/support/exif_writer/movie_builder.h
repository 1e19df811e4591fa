// Small movie files for tests: file type, media data and a movie header box
// (moov/mvhd) with a chosen creation time, as MP4 and MOV writers lay them out.
#ifndef SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_MOVIE_BUILDER_H_
#define SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_MOVIE_BUILDER_H_

#include <cstdint>
#include <optional>

#include "tests/support/exif_writer/tiff_builder.h"

namespace snapcrate::exif_writer {

struct MovieLayout {
  /// Seconds since 1904-01-01 00:00:00 UTC; no value: no mvhd box at all.
  std::optional<uint64_t> creation_time;
  uint8_t mvhd_version = 0;  // 0: 32-bit times, 1: 64-bit times
  /// Where cameras put it: behind the media data (true) or in front of it.
  bool movie_box_last = true;
};

/// Seconds since 1904 of a moment given in seconds since 1970 (UTC).
constexpr uint64_t MovieTime(int64_t unix_seconds) {
  return static_cast<uint64_t>(unix_seconds + 2'082'844'800);
}

Bytes MakeMovie(const MovieLayout& layout);

}  // namespace snapcrate::exif_writer

#endif  // SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_MOVIE_BUILDER_H_
