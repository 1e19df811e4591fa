#include "tagcore/tagcore_test_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>

#include "tagcore/tagcore.h"
#include "tests/support/exif_writer/camera_exif.h"
#include "tests/support/exif_writer/file_bytes.h"
#include "tests/support/exif_writer/jpeg_builder.h"

namespace snapcrate::tagcore_test {

TempDir::TempDir() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/tagcore_test_XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name, const Bytes& bytes) const {
  const std::string path = Path(name);
  exif_writer::WriteFileBytes(path, bytes);
  return path;
}

DumpResult DumpToMemory(const std::string& image_path, int32_t capacity) {
  std::vector<char> buffer(static_cast<size_t>(capacity), '\0');
  DumpResult result;
  result.code = TagCore_DumpInfoToAdr(image_path.c_str(), buffer.data(), capacity);
  result.text = std::string(buffer.data());
  return result;
}

DumpResult DumpTiff(const Bytes& tiff) {
  TempDir dir;
  const std::string path = dir.Write("picture.jpg", exif_writer::JpegBuilder().Exif(tiff).Build());
  return DumpToMemory(path);
}

std::string CaptureStdoutImpl(void (*run)(void*), void* context) {
  TempDir dir;
  const std::string path = dir.Path("stdout.txt");
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  dup2(file, STDOUT_FILENO);
  close(file);
  run(context);
  std::fflush(stdout);
  dup2(saved, STDOUT_FILENO);
  close(saved);
  const Bytes bytes = exif_writer::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

ScopedTimeZone::ScopedTimeZone(const char* zone) {
  const char* old = std::getenv("TZ");
  had_zone_ = old != nullptr;
  if (had_zone_) old_zone_ = old;
  setenv("TZ", zone, 1);
  tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
  if (had_zone_)
    setenv("TZ", old_zone_.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

}  // namespace snapcrate::tagcore_test
