#pragma once
// The creation time a camera or phone records in a movie file's header (MP4,
// MOV, M4V, 3GP: the ISO base media file format and its QuickTime parent).

#include <cstdint>
#include <optional>
#include <string>

namespace snapcrate {

/// The creation time of the movie header box (moov/mvhd) of the file at
/// `path`, in seconds since 1970-01-01 UTC; nothing when the file cannot be
/// read, has no movie header, or records no time (0, or before 1970).
std::optional<int64_t> ReadMovieCreationTime(const std::string& path);

}  // namespace snapcrate
