#include "pixcore/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace snapcrate {
namespace {

std::atomic<unsigned> g_serial{0};

// The longest file name the file systems we write to take.
constexpr size_t kMaxNameBytes = 255;

// ".name.<pid>-<serial>.tmp" in the directory of path: hidden, and with an
// extension no picture listing picks up should a crash leave it behind. The
// name is cut so that the whole fits wherever the final name does; the
// number alone keeps it unique.
std::string TemporaryNameFor(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string directory = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  char suffix[48];
  std::snprintf(suffix, sizeof suffix, ".%ld-%u.tmp", long(getpid()), g_serial.fetch_add(1));
  const size_t room = kMaxNameBytes - 1 - std::strlen(suffix);
  if (name.size() > room) name.resize(room);
  return directory + "." + name + suffix;
}

bool WriteAll(int fd, const unsigned char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= size_t(written);
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, unsigned mode,
                         bool sync) {
  if (path.empty() || path.back() == '/') return false;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = TemporaryNameFor(path);
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode & 07777);
    if (fd < 0 && errno != EEXIST) return false;
    if (fd < 0) continue;
    // Locked until renamed, so that a program sweeping up the leftovers of
    // killed writers leaves it alone; one that took the name before the lock
    // has removed it, and another name is tried.
    flock(fd, LOCK_EX);
    struct stat info;
    if (fstat(fd, &info) != 0 || info.st_nlink == 0) {
      close(fd);
      fd = -1;
    }
  }
  if (fd < 0) return false;
  bool ok = WriteAll(fd, static_cast<const unsigned char*>(data), size);
  if (ok && sync) ok = fsync(fd) == 0;
  // Renamed while still locked; a failed close then takes the new file away.
  ok = ok && rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) unlink(temporary.c_str());
  if (close(fd) != 0 && ok) {
    unlink(path.c_str());
    ok = false;
  }
  return ok;
}

}  // namespace snapcrate
