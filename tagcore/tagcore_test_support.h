// Helpers shared by the tagcore tests: a temporary directory, dumps as
// strings, and capture of standard output.
#ifndef SNAPCRATE_TAGCORE_TAGCORE_TEST_SUPPORT_H_
#define SNAPCRATE_TAGCORE_TAGCORE_TEST_SUPPORT_H_

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/exif_writer/tiff_builder.h"

namespace snapcrate::tagcore_test {

using exif_writer::Bytes;

/// A fresh directory below the system's temporary directory, removed at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  /// Path of name inside the directory.
  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  /// Writes bytes to name and returns its path.
  std::string Write(const std::string& name, const Bytes& bytes) const;

 private:
  std::string path_;
};

struct DumpResult {
  int32_t code;
  std::string text;
};

/// TagCore_DumpInfoToAdr into a buffer of capacity bytes filled with NULs.
DumpResult DumpToMemory(const std::string& image_path, int32_t capacity = 1 << 20);

/// The JPEG of tiff (behind SOI, before a tiny picture) dumped to memory.
DumpResult DumpTiff(const Bytes& tiff);

/// Runs action with standard output sent to a file and returns what it wrote.
template <typename Action>
std::string CaptureStdout(Action action);

std::string CaptureStdoutImpl(void (*run)(void*), void* context);

template <typename Action>
std::string CaptureStdout(Action action) {
  return CaptureStdoutImpl([](void* context) { (*static_cast<Action*>(context))(); }, &action);
}

/// Sets TZ for the lifetime of the object and restores it afterwards.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone);
  ~ScopedTimeZone();
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  bool had_zone_;
  std::string old_zone_;
};

}  // namespace snapcrate::tagcore_test

#endif  // SNAPCRATE_TAGCORE_TAGCORE_TEST_SUPPORT_H_
