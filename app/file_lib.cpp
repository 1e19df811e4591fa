#include "app/file_lib.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/log.h"
#include "app/paths.h"
#include "app/ui_port.h"

namespace snapcrate {
namespace {

bool LooksLikeHeader(const std::string& line) {
  return line.size() >= 3 && line.front() == '[' && line.back() == ']';
}

mode_t CurrentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

std::string Header(std::string_view name) { return "[" + std::string(name) + "]"; }

void LogOpenFailure(const std::string& path, int error) {
  LogMessage("Can't open \"" + path + "\"\r\n" + std::strerror(error) + " - Error No. " +
             std::to_string(error));
}

}  // namespace

TextFile::~TextFile() {
  if (file_) std::fclose(file_);
}

bool TextFile::ReadLine(std::string& line) {
  line.clear();
  int c = std::getc(file_);
  if (c == EOF) return false;
  for (; c != EOF; c = std::getc(file_)) {
    if (c == '\n') break;
    if (c == '\r') {
      const int next = std::getc(file_);
      if (next != '\n' && next != EOF) std::ungetc(next, file_);
      break;
    }
    line.push_back(static_cast<char>(c));
  }
  return true;
}

bool TextFile::Write(std::string_view text) {
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) failed_ = true;
  return !failed_;
}

bool TextFile::WriteLine(std::string_view text) { return Write(text) && Write("\r\n"); }

bool TextFile::Close() {
  if (!file_) return !failed_;
  if (std::fflush(file_) != 0) failed_ = true;
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return !failed_;
}

void CheckFileName(const std::string& path) {
  if (path.find("//") != std::string::npos) ShowMessage("Warning: Bad filename '" + path + "'");
}

std::unique_ptr<TextFile> OpenTextFile(const std::string& path, OpenMode mode) {
  CheckFileName(path);
  const char* how = mode == OpenMode::kRead ? "rb" : mode == OpenMode::kWrite ? "wb" : "ab";
  const int flags = mode == OpenMode::kRead    ? O_RDONLY
                    : mode == OpenMode::kWrite ? O_WRONLY | O_CREAT | O_TRUNC
                                               : O_WRONLY | O_CREAT | O_APPEND;
  // Without blocking: a pipe under a text file's name would hold the program
  // with nobody at its other end. Only plain files are text files.
  std::FILE* file = nullptr;
  const int fd = open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd >= 0) {
    struct stat info;
    const bool known = fstat(fd, &info) == 0;
    if (!known || !S_ISREG(info.st_mode)) {
      if (known) errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    } else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0) {
      file = fdopen(fd, how);
    }
    if (!file) {
      const int error = errno;
      close(fd);
      errno = error;
    }
  }
  if (!file) {
    LogOpenFailure(path, errno);
    return nullptr;
  }
  return std::make_unique<TextFile>(file);
}

bool FileExists(const std::string& path) {
  CheckFileName(path);
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  const bool regular = fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
  close(fd);
  return regular;
}

void ClearLines(LineStore& store) { store[0] = kEndMarker; }

int ReadLines(const std::string& path, LineStore& store) {
  store[0] = kEndMarker;
  if (!FileExists(path)) return -1;
  auto file = OpenForInput(path);
  if (!file) return -1;
  std::string line;
  for (size_t i = 0;; ++i) {
    const bool got_line = file->ReadLine(line);
    if (!got_line && i < store.capacity()) {
      store[i] = kEndMarker;
      return static_cast<int>(i);
    }
    if (i >= store.capacity()) {
      // The store is full: the last line read makes room for the end marker.
      LogMessage("Error while reading \"" + path + "\"!");
      store[i - 1] = kEndMarker;
      return static_cast<int>(i - 1);
    }
    store[i] = line;
  }
}

bool WriteLines(const std::string& path, const LineStore& store) {
  // Written beside the old file and renamed over it, so a failed write keeps the old contents.
  std::string temp;
  const int fd = CreateTempFileBeside(path, temp);
  if (fd < 0) {
    LogOpenFailure(path, errno);
    return false;
  }
  struct stat old_info;
  if (stat(path.c_str(), &old_info) == 0) fchmod(fd, old_info.st_mode & 07777);
  else fchmod(fd, 0666 & ~CurrentUmask());
  std::FILE* stream = fdopen(fd, "wb");
  if (!stream) {
    close(fd);
    unlink(temp.c_str());
    LogOpenFailure(path, errno);
    return false;
  }
  TextFile file(stream);
  const size_t count = store.Count();
  for (size_t i = 0; i < count; ++i) file.WriteLine(store[i]);
  if (!file.Close() || std::rename(temp.c_str(), path.c_str()) != 0) {
    const int error = errno;
    unlink(temp.c_str());
    LogMessage("Can't write \"" + path + "\": " + std::strerror(error) + " - the old file is kept");
    return false;
  }
  return true;
}

int FindSectionLine(const LineStore& store, std::string_view name, bool must_exist) {
  const std::string header = Header(name);
  const size_t count = store.Count();
  for (size_t i = 0; i < count; ++i)
    if (store[i] == header) return static_cast<int>(i);
  if (must_exist) FatalEnd("Line " + header + " not found!");
  return -1;
}

void IniFileArrayReadMultipleKeys(const LineStore& store, const std::vector<IniReadKey>& keys) {
  const size_t count = store.Count();
  for (const IniReadKey& key : keys) {
    const std::string header = Header(key.name);
    bool found = false;
    std::string value;
    size_t i = 0;
    while (i < count) {
      if (store[i] != header) {
        ++i;
        continue;
      }
      value.clear();
      found = true;
      for (++i; i < count && !LooksLikeHeader(store[i]); ++i) {
        if (!value.empty()) value += "\r\n";
        value += store[i];
      }
    }
    *key.target = found ? value : key.default_value;
  }
}

void IniFileArrayWriteMultipleKeys(const std::string& path, LineStore& store,
                                   const std::vector<std::pair<std::string, std::string>>& keys) {
  for (const auto& [name, value] : keys) {
    const std::string header = Header(name);
    bool found = false;
    const size_t count = store.Count();
    for (size_t j = 0; j < count; ++j) {
      if (store[j] == header && j + 1 < count) {
        store[j + 1] = value;
        found = true;
      }
    }
    if (found) continue;
    if (count + 2 >= store.capacity()) {
      LogMessage("Can't store [" + name + "] in \"" + path + "\": the file holds too many lines");
      continue;
    }
    store[count] = header;
    store[count + 1] = value;
    store[count + 2] = kEndMarker;
  }
  WriteLines(path, store);
}

}  // namespace snapcrate
