// Byte-wise comparison of two files.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "pixcore/pixcore.h"

namespace {

constexpr size_t kChunk = 256 * 1024;

class File {
 public:
  explicit File(const char* path) : fd_(open(path, O_RDONLY | O_CLOEXEC)) {
    if (fd_ >= 0) posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
  }
  ~File() {
    if (fd_ >= 0) close(fd_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  bool is_open() const { return fd_ >= 0; }

  /// Fills up to `size` bytes; the count read (short only at the end), -1 on error.
  ssize_t ReadFull(unsigned char* buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
      const ssize_t got = read(fd_, buffer + done, size - done);
      if (got < 0) {
        if (errno == EINTR) continue;
        return -1;
      }
      if (got == 0) break;
      done += size_t(got);
    }
    return ssize_t(done);
  }

 private:
  int fd_;
};

bool StatPlainFile(const char* path, struct stat* info) {
  return path != nullptr && stat(path, info) == 0 && S_ISREG(info->st_mode);
}

}  // namespace

extern "C" PIXCORE_API int32_t PixCore_CompareFiles(const char* new_file,
                                                    const char* existing_file) {
  struct stat first_info, second_info;
  if (!StatPlainFile(new_file, &first_info) || !StatPlainFile(existing_file, &second_info)) {
    return PIXCORE_ERROR_OPEN;
  }
  if (first_info.st_dev == second_info.st_dev && first_info.st_ino == second_info.st_ino) {
    return 0;
  }
  // Different sizes settle it without reading a byte.
  if (first_info.st_size != second_info.st_size) return PIXCORE_FILES_DIFFER;

  File first(new_file), second(existing_file);
  if (!first.is_open() || !second.is_open()) return PIXCORE_ERROR_OPEN;
  auto first_buffer = std::make_unique<unsigned char[]>(kChunk);
  auto second_buffer = std::make_unique<unsigned char[]>(kChunk);
  for (;;) {
    const ssize_t first_count = first.ReadFull(first_buffer.get(), kChunk);
    const ssize_t second_count = second.ReadFull(second_buffer.get(), kChunk);
    if (first_count < 0 || second_count < 0) return PIXCORE_ERROR_OPEN;
    // A file that changed length while we read is not the same file.
    if (first_count != second_count) return PIXCORE_FILES_DIFFER;
    if (first_count == 0) return 0;
    if (std::memcmp(first_buffer.get(), second_buffer.get(), size_t(first_count)) != 0) {
      return PIXCORE_FILES_DIFFER;
    }
  }
}
