#pragma once
// The EXIF library libtagcore.so, bound by file name at the first call. A
// missing library or function gives one log line and kLibraryMissing.

#include <cstdint>
#include <string>

namespace snapcrate {

/// Result of every call when the library or the function cannot be bound.
inline constexpr int32_t kLibraryMissing = -1;

/// The library's version text; empty when it is missing.
std::string TagCoreVersion();
/// Dumps into the caller's buffer of `capacity` bytes; the library's result code.
int32_t TagCoreDumpInfoToAdr(const std::string& image_path, char* buffer, int32_t capacity);
/// Dumps into a text file, or to standard output when `output_path` is null.
int32_t TagCoreDumpInfoToFile(const std::string& image_path, const char* output_path);
/// Shifts the file's EXIF dates by `seconds`; the library's result code.
int32_t TagCoreAdjustDateTime(const std::string& image_path, int32_t seconds);

}  // namespace snapcrate
