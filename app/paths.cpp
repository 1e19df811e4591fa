#include "app/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/log.h"

namespace snapcrate {
namespace {

bool FillRecord(const std::string& path, const std::string& name, FindRecord& record) {
  struct statx info;
  if (statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &info) != 0) return false;
  auto to_ns = [](const struct statx_timestamp& t) { return int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; };
  record.is_directory = S_ISDIR(info.stx_mode);
  record.read_only = (info.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  record.last_write_time = to_ns(info.stx_mtime);
  record.last_access_time = to_ns(info.stx_atime);
  record.creation_time = (info.stx_mask & STATX_BTIME) ? to_ns(info.stx_btime) : record.last_write_time;
  record.size = info.stx_size;
  record.name = name;
  return true;
}

bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

// A file being written is named like this until it is complete: beside its final
// name, so that the rename is atomic; hidden, so that no listing takes it for a
// picture; short, so that it fits wherever the final name fits.
constexpr std::string_view kTempPrefix = ".snapcrate-";
constexpr std::string_view kTempSuffix = ".part";

}  // namespace

std::string JoinPath(std::string_view directory, std::string_view name) {
  if (directory.empty()) return std::string(name);
  if (name.empty()) return std::string(directory);
  if (directory.back() == '/' || directory.back() == '\\') return std::string(directory) + std::string(name);
  return std::string(directory) + "/" + std::string(name);
}

std::string StripTrailingBackslash(std::string_view path) {
  if (!path.empty() && path.back() == '/') path.remove_suffix(1);
  return std::string(path);
}

std::string WithTrailingSlash(std::string_view path) {
  if (!path.empty() && path.back() == '/') return std::string(path);
  return std::string(path) + "/";
}

void SplitPath(std::string_view path, std::string& directory, std::string& name) {
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) {
    directory.clear();
    name = path;
    return;
  }
  directory = path.substr(0, slash);
  name = path.substr(slash + 1);
}

std::string SplitExt(std::string_view path, std::string& extension) {
  extension.clear();
  if (path.size() < 2) return std::string(path);
  // The last and the first character are never taken as the dot.
  for (size_t p = path.size() - 2; p >= 1; --p) {
    if (path[p] == '.') {
      extension = path.substr(p);
      return std::string(path.substr(0, p));
    }
    if (path[p] == '/') break;
  }
  return std::string(path);
}

bool FindFile(const std::string& path_or_pattern, FindRecord& record) {
  std::string directory, name;
  SplitPath(path_or_pattern, directory, name);
  if (path_or_pattern.empty()) return false;
  // "*" and "?" are ordinary characters in Linux file names: a file of exactly
  // that name is what the caller means when it exists.
  if (FillRecord(path_or_pattern, name, record)) return true;
  if (!HasWildcard(name)) return false;
  std::string dir_path = directory;
  if (dir_path.empty()) dir_path = path_or_pattern.front() == '/' ? "/" : ".";
  DIR* dir = opendir(dir_path.c_str());
  if (!dir) return false;
  bool found = false;
  while (struct dirent* entry = readdir(dir)) {
    const std::string entry_name = entry->d_name;
    if (entry_name == "." || entry_name == "..") continue;
    if (fnmatch(name.c_str(), entry_name.c_str(), FNM_PERIOD) == 0 &&
        FillRecord(JoinPath(dir_path, entry_name), entry_name, record)) {
      found = true;
      break;
    }
  }
  closedir(dir);
  return found;
}

bool IsDirectory(const std::string& path) {
  FindRecord record;
  return FindFile(StripTrailingBackslash(path).empty() ? "/" : StripTrailingBackslash(path), record) &&
         record.is_directory;
}

bool IsNewer(const std::string& a, const std::string& b) {
  FindRecord record_a, record_b;
  if (!FindFile(a, record_a) || !FindFile(b, record_b)) return false;
  return record_a.last_write_time > record_b.last_write_time;
}

int MakeDir(const std::string& path) { return mkdir(path.c_str(), 0777) == 0 ? 0 : errno; }

int DeleteFile(const std::string& path) { return unlink(path.c_str()) == 0 ? 0 : errno; }

int CopyFile(const std::string& source, const std::string& destination, CopyPermissions permissions) {
  std::string failure;
  const int result = CopyFile(source, destination, failure, permissions);
  if (result != 0) LogMessage(failure);
  return result;
}

int CreateTempFileBeside(const std::string& destination, std::string& temp) {
  temp = destination.substr(0, destination.rfind('/') + 1) + std::string(kTempPrefix) + "XXXXXX" +
         std::string(kTempSuffix);
  const std::string pattern = temp;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = pattern;
    const int fd = mkostemps(temp.data(), static_cast<int>(kTempSuffix.size()), O_CLOEXEC);
    if (fd < 0) return -1;
    // Held until the file has its final name: a leftover without the lock is one whose writer died.
    // A sweep may have taken the name between its creation and the lock: then it is gone, and
    // another name is tried.
    flock(fd, LOCK_EX);
    struct stat info;
    if (fstat(fd, &info) == 0 && info.st_nlink > 0) return fd;
    close(fd);
  }
  errno = EEXIST;
  return -1;
}

int CopyFile(const std::string& source, const std::string& destination, std::string& failure,
             CopyPermissions permissions) {
  std::string temp;
  auto fail = [&](int in_fd, int out_fd) {
    if (in_fd >= 0) close(in_fd);
    if (out_fd >= 0) {
      unlink(temp.c_str());
      close(out_fd);
    }
    failure = "Can't copy " + source + " to " + destination;
    return -1;
  };
  // Without blocking, and only a plain file: a pipe under the source's name
  // would hold the copy with nobody at its other end.
  const int in_fd = open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (in_fd < 0) return fail(-1, -1);
  struct stat info;
  if (fstat(in_fd, &info) != 0 || !S_ISREG(info.st_mode)) return fail(in_fd, -1);
  const int out_fd = CreateTempFileBeside(destination, temp);
  if (out_fd < 0) return fail(in_fd, -1);
  off_t remaining = info.st_size;
  bool ok = true;
  while (remaining > 0) {
    const ssize_t n = sendfile(out_fd, in_fd, nullptr, static_cast<size_t>(std::min<off_t>(remaining, 1 << 30)));
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      ok = false;
      break;
    }
    remaining -= n;
  }
  // Like the copies users know from their desktop: same permissions, same last-write time.
  const struct timespec times[2] = {info.st_atim, info.st_mtim};
  mode_t mode = info.st_mode & 07777;
  if (permissions == CopyPermissions::kReadOnly) mode &= ~mode_t{S_IWUSR | S_IWGRP | S_IWOTH};
  if (!ok || fchmod(out_fd, mode) != 0 || futimens(out_fd, times) != 0 ||
      std::rename(temp.c_str(), destination.c_str()) != 0)
    return fail(in_fd, out_fd);
  close(in_fd);
  if (close(out_fd) != 0) {
    unlink(destination.c_str());
    return fail(-1, -1);
  }
  return 0;
}

namespace {

// The image library writes a scaled picture as ".<name>.<pid>-<serial>.tmp" beside it.
bool IsScaledPictureTempName(std::string_view name) {
  constexpr std::string_view kSuffix = ".tmp";
  if (name.size() < 6 + kSuffix.size() || name.front() != '.' || !name.ends_with(kSuffix)) return false;
  name.remove_suffix(kSuffix.size());
  const auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  size_t serial = name.size();
  while (serial > 0 && is_digit(name[serial - 1])) --serial;
  if (serial == name.size() || serial == 0 || name[serial - 1] != '-') return false;
  size_t pid = serial - 1;
  while (pid > 0 && is_digit(name[pid - 1])) --pid;
  return pid != serial - 1 && pid > 1 && name[pid - 1] == '.';
}

}  // namespace

bool IsTempFileName(std::string_view name) {
  return (name.size() > kTempPrefix.size() + kTempSuffix.size() && name.substr(0, kTempPrefix.size()) == kTempPrefix &&
          name.substr(name.size() - kTempSuffix.size()) == kTempSuffix) ||
         IsScaledPictureTempName(name);
}

int RemoveLeftoverTempFiles(const std::string& directory) {
  DIR* dir = opendir(directory.c_str());
  if (!dir) return 0;
  int removed = 0;
  while (struct dirent* entry = readdir(dir)) {
    if (!IsTempFileName(entry->d_name)) continue;
    const int fd = openat(dirfd(dir), entry->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) continue;
    struct stat info;
    // A file still being written is locked by its writer.
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        unlinkat(dirfd(dir), entry->d_name, 0) == 0) {
      LogMessage("Removed the unfinished file " + JoinPath(directory, entry->d_name));
      ++removed;
    }
    close(fd);
  }
  closedir(dir);
  return removed;
}

bool StartWriteBack(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool asked = sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE) == 0;
  close(fd);
  return asked;
}

int RenameFile(const std::string& old_path, const std::string& new_path) {
  int result = renameat2(AT_FDCWD, old_path.c_str(), AT_FDCWD, new_path.c_str(), RENAME_NOREPLACE);
  if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
    // File systems without no-replace renames: check first.
    struct stat info;
    if (lstat(new_path.c_str(), &info) == 0) errno = EEXIST;
    else result = std::rename(old_path.c_str(), new_path.c_str());
  }
  if (result != 0) {
    LogMessage("Can't rename " + old_path + " to " + new_path);
    return -1;
  }
  return 0;
}

bool SetReadOnly(const std::string& path, bool read_only) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return false;
  mode_t mode = info.st_mode & 07777;
  mode = read_only ? mode & ~(S_IWUSR | S_IWGRP | S_IWOTH) : mode | S_IWUSR;
  return chmod(path.c_str(), mode) == 0;
}

std::string GetTempDir() {
  std::error_code error;
  std::string dir = std::filesystem::temp_directory_path(error).string();
  if (error || dir.empty()) dir = "/tmp";
  return WithTrailingSlash(dir);
}

std::string GetTempFileName() {
  std::string name = GetTempDir() + "scXXXXXX";
  const int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return {};
  close(fd);
  return name;
}

std::string GetProgramFileName() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error).string();
}

std::string GetProgramDir() {
  std::string directory, name;
  SplitPath(GetProgramFileName(), directory, name);
  return directory;
}

std::string GetUserHomeDir() {
  const char* home = std::getenv("HOME");
  if (home && *home) return WithTrailingSlash(home);
  if (const struct passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
    return WithTrailingSlash(entry->pw_dir);
  return "/";
}

std::string GetUserPicturesDir() {
  const std::string home = GetUserHomeDir();
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string dirs_file = (config && *config ? WithTrailingSlash(config) : home + ".config/") + "user-dirs.dirs";
  if (std::ifstream file(dirs_file); file) {
    std::string line;
    while (std::getline(file, line)) {
      constexpr std::string_view key = "XDG_PICTURES_DIR=";
      if (line.rfind(key, 0) != 0) continue;
      std::string value = line.substr(key.size());
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
      if (value.rfind("$HOME/", 0) == 0) value = home + value.substr(6);
      // "$HOME/" alone means the desktop has none.
      if (!value.empty() && value.front() == '/' && WithTrailingSlash(value) != home && IsDirectory(value))
        return WithTrailingSlash(value);
    }
  }
  if (IsDirectory(home + "Pictures")) return home + "Pictures/";
  return home;
}

}  // namespace snapcrate
