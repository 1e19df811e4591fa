#include "app/side_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "app/paths.h"

namespace snapcrate {
namespace {

/// A directory (not a link to one) of this user that only this user may enter;
/// one of ours with wider rights is narrowed, as nobody else can swap it.
bool IsPrivateDir(const std::string& dir) {
  struct stat info;
  if (lstat(StripTrailingBackslash(dir).c_str(), &info) != 0) return false;
  if (!S_ISDIR(info.st_mode) || info.st_uid != geteuid()) return false;
  if ((info.st_mode & 077) == 0) return true;
  return chmod(dir.c_str(), info.st_mode & 0700) == 0;
}

}  // namespace

std::string PrivateTempDir() {
  static std::mutex mutex;
  static std::string fresh;  // when the user's own name was taken
  std::lock_guard lock(mutex);
  const std::string base = GetTempDir() + "snapcrate-" + std::to_string(geteuid());
  // Made again on every call: cleaners of the temporary directory remove it.
  mkdir(base.c_str(), 0700);
  if (IsPrivateDir(base)) return base + "/";
  if (fresh.starts_with(base + "-") && IsPrivateDir(fresh)) return fresh;
  std::string pattern = base + "-XXXXXX";
  if (!mkdtemp(pattern.data())) return {};
  fresh = pattern + "/";
  return fresh;
}

std::FILE* CreateSideFile(const std::string& path, std::string& error) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd < 0) {
    // A pipe without a reader refuses a non-blocking writer with ENXIO.
    error = errno == ENXIO ? "not a regular file" : std::strerror(errno);
    return nullptr;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    error = "not a regular file";
    return nullptr;
  }
  // Emptied only now that it is known to be a plain file.
  if (ftruncate(fd, 0) != 0 || fcntl(fd, F_SETFL, 0) != 0) {
    error = std::strerror(errno);
    close(fd);
    return nullptr;
  }
  std::FILE* stream = fdopen(fd, "wb");
  if (!stream) {
    error = std::strerror(errno);
    close(fd);
  }
  return stream;
}

}  // namespace snapcrate
