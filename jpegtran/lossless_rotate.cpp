// Lossless rotation of JPEG files with the TurboJPEG transform API.

#include <fcntl.h>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "jpegtran/exif_after_turn.h"
#include "jpegtran/jpegtran.h"
#include "pixcore/atomic_file.h"

namespace snapcrate::jpegtran {
namespace {

constexpr off_t kMaxSourceSize = off_t{1} << 30;

struct TurboFree {
  void operator()(unsigned char* buffer) const { tjFree(buffer); }
};
struct TurboDestroy {
  void operator()(void* handle) const { tjDestroy(handle); }
};

int32_t ReadSource(const char* path, std::vector<unsigned char>* bytes, mode_t* mode) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return JT_ERROR_OPEN;
  struct stat info;
  int32_t result = JT_OK;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    result = JT_ERROR_OPEN;
  } else if (info.st_size > kMaxSourceSize) {
    result = JT_ERROR_TOO_LARGE;
  } else {
    *mode = info.st_mode & 07777;
    bytes->resize(size_t(info.st_size));
    size_t done = 0;
    while (done < bytes->size()) {
      const ssize_t got = read(fd, bytes->data() + done, bytes->size() - done);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += size_t(got);
    }
    // A file that shrank while we read it is read as far as it goes.
    bytes->resize(done);
  }
  close(fd);
  return result;
}

bool ReadSize(void* handle, const unsigned char* jpeg, size_t size, int* width, int* height) {
  int subsampling = 0, colourspace = 0;
  return tjDecompressHeader3(handle, jpeg, static_cast<unsigned long>(size), width, height,
                             &subsampling, &colourspace) == 0;
}

}  // namespace
}  // namespace snapcrate::jpegtran

using namespace snapcrate::jpegtran;

extern "C" JPEGTRAN_API int32_t JT_Rotate(const char* source, const char* destination,
                                          int32_t angle) {
  if (source == nullptr || *source == '\0' || destination == nullptr || *destination == '\0') {
    return JT_ERROR_ARGUMENT;
  }
  int operation = TJXOP_NONE;
  switch (((angle % 360) + 360) % 360) {
    case 0: operation = TJXOP_NONE; break;
    case 90: operation = TJXOP_ROT90; break;
    case 180: operation = TJXOP_ROT180; break;
    case 270: operation = TJXOP_ROT270; break;
    default: return JT_ERROR_ARGUMENT;
  }

  std::vector<unsigned char> input;
  mode_t mode = 0644;
  if (const int32_t read = ReadSource(source, &input, &mode); read != JT_OK) return read;

  std::unique_ptr<void, TurboDestroy> handle(tjInitTransform());
  if (!handle) return JT_ERROR_NOT_JPEG;
  int old_width = 0, old_height = 0;
  if (input.empty() || !ReadSize(handle.get(), input.data(), input.size(), &old_width,
                                 &old_height)) {
    return JT_ERROR_NOT_JPEG;
  }

  tjtransform transform{};
  transform.op = operation;
  // TRIM: blocks that cannot move losslessly are dropped, not left as a
  // garbled strip at the edge. COPYNONE stays off: every marker is copied.
  transform.options = TJXOPT_TRIM;
  unsigned char* output = nullptr;
  unsigned long output_size = 0;
  const int failed = tjTransform(handle.get(), input.data(), static_cast<unsigned long>(input.size()),
                                 1, &output, &output_size, &transform, 0);
  std::unique_ptr<unsigned char, TurboFree> owned_output(output);
  // A warning (data ending early, a damaged block) still yields the whole
  // picture as far as the source holds one; only errors leave no output.
  if ((failed != 0 && tjGetErrorCode(handle.get()) != TJERR_WARNING) || output == nullptr ||
      output_size == 0) {
    return JT_ERROR_NOT_JPEG;
  }
  int new_width = 0, new_height = 0;
  if (!ReadSize(handle.get(), output, output_size, &new_width, &new_height)) {
    return JT_ERROR_NOT_JPEG;
  }
  UpdateExifAfterTurn(output, output_size, old_width, old_height, new_width, new_height,
                      operation == TJXOP_ROT90 || operation == TJXOP_ROT270);

  // The source may be the destination: it was read whole before, and the
  // rename replaces it only once the new file is complete on disk.
  return snapcrate::WriteFileAtomically(destination, output, output_size, mode, true)
             ? JT_OK
             : JT_ERROR_WRITE;
}
