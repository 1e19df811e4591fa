#include "tagcore/date_adjuster.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "tagcore/field_types.h"
#include "tagcore/local_time.h"
#include "tagcore/tagcore.h"

namespace snapcrate::tagcore {

namespace {

constexpr uint32_t kTagDateTime = 0x0132;
constexpr uint32_t kTagDateTimeOriginal = 0x9003;
constexpr uint32_t kTagDateTimeDigitized = 0x9004;
constexpr int kDateLength = 19;

bool IsDateTag(uint32_t tag) {
  return tag == kTagDateTime || tag == kTagDateTimeOriginal || tag == kTagDateTimeDigitized;
}

void TraceTime(const std::tm& time) {
  char text[64];
  FormatAscTime(time, text);
  std::printf("asctime() = %s", text);
  std::printf("raw: %04d:%02d:%02d %02d:%02d:%02d (DST flag %d)\n", time.tm_year + 1900,
              time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec, time.tm_isdst);
}

// Same pattern as the program's own temporary files, so that a leftover is
// hidden from every listing and removed by the next run.
constexpr char kTempName[] = ".snapcrate-XXXXXX.part";
constexpr int kTempSuffixLength = 5;

bool CopyAll(int from, int to, off_t size) {
  char buffer[1 << 16];
  for (off_t done = 0; done < size;) {
    const ssize_t n = pread(from, buffer, sizeof buffer, done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;  // shorter than it was a moment ago
      return false;
    }
    for (ssize_t put = 0; put < n;) {
      const ssize_t m = write(to, buffer + put, static_cast<size_t>(n - put));
      if (m < 0 && errno == EINTR) continue;
      if (m <= 0) return false;
      put += m;
    }
    done += n;
  }
  return true;
}

bool IsPermissionError(int error) { return error == EACCES || error == EPERM || error == EROFS; }

}  // namespace

int DateAdjuster::OnEntry(const DirectoryEntry& entry) {
  if (!IsDateTag(entry.tag)) return TAGCORE_OK;
  found_date_ = true;

  const std::time_t now = std::time(nullptr);
  std::tm now_local{};
  localtime_r(&now, &now_local);
  std::printf("current time:\n");
  TraceTime(now_local);
  std::printf("File %s, offset %8llX\n", image_path_,
              static_cast<unsigned long long>(entry.file_position));

  // Only a text of at least 19 characters outside the entry can take the new
  // date without overwriting its neighbours.
  if (entry.type != kAscii || entry.count < kDateLength || entry.inline_value) {
    std::printf("DateTime skipped: type %u, count %u is no date text\n", entry.type, entry.count);
    return TAGCORE_OK;
  }
  // One write must reach the whole date; a value spread over several pieces
  // of the file is left alone.
  if (entry.split_in_file) {
    std::printf("DateTime skipped: the value is split in the file\n");
    return TAGCORE_OK;
  }

  std::printf("DateTime found: adjust by %d seconds ...\n", seconds_);
  for (uint32_t i = 0; i < entry.count; ++i)
    if (entry.value[i] >= 0x20) std::printf("%c", entry.value[i]);
  std::printf("\n");

  const std::tm original = ParseExifDate(entry.value);
  std::printf("orig time:\n");
  TraceTime(original);

  std::tm shifted{};
  if (!ShiftLocalTime(original, seconds_, &shifted)) {
    std::printf("error - wrong date\n");
    return TAGCORE_WRONG_DATE;
  }
  std::printf("new time:\n");
  TraceTime(shifted);

  NewDate date{entry.file_position, {}};
  std::snprintf(date.text, sizeof date.text, "%04d:%02d:%02d %02d:%02d:%02d", shifted.tm_year + 1900,
                shifted.tm_mon + 1, shifted.tm_mday, shifted.tm_hour, shifted.tm_min, shifted.tm_sec);
  new_dates_.push_back(date);
  return TAGCORE_OK;
}

int DateAdjuster::WriteDates() const {
  if (new_dates_.empty()) return TAGCORE_OK;
  // Opened for update, though only read, so that a read-only picture is refused as ever.
  const int image = open(image_path_, O_RDWR | O_CLOEXEC);
  if (image < 0) {
    std::printf("strerror says open failed: %s\n", std::strerror(errno));
    return TAGCORE_CANNOT_WRITE;
  }
  struct stat info;
  if (fstat(image, &info) != 0 || !S_ISREG(info.st_mode)) {
    std::printf("strerror says open failed: %s\n", std::strerror(errno ? errno : EINVAL));
    close(image);
    return TAGCORE_CANNOT_WRITE;
  }
  // A link is followed: the file it names gets the new dates, the link stays.
  std::string path = image_path_;
  if (char* real = realpath(image_path_, nullptr)) {
    path = real;
    std::free(real);
  }
  const std::string directory = path.substr(0, path.rfind('/') + 1);
  std::string temp = directory + kTempName;
  const int copy = mkostemps(temp.data(), kTempSuffixLength, O_CLOEXEC);
  if (copy < 0) {
    const int error = errno;
    std::printf("strerror says open failed: %s\n", std::strerror(error));
    close(image);
    return IsPermissionError(error) ? TAGCORE_CANNOT_WRITE : TAGCORE_WRITE_FAILED;
  }
  // Held until the copy has the picture's name: a leftover without the lock is one whose writer died.
  flock(copy, LOCK_EX);
  int code = TAGCORE_OK;
  // Runs the next step while all went well; a failing step sets the code.
  auto step = [&](int failure, auto&& action) {
    if (code != TAGCORE_OK || action()) return;
    std::printf("strerror says write failed: %s\n", std::strerror(errno));
    code = failure;
  };
  step(TAGCORE_WRITE_FAILED, [&] { return CopyAll(image, copy, info.st_size); });
  for (const NewDate& date : new_dates_) {
    // Only the 19 characters; the NUL behind them stays as it was.
    step(TAGCORE_WRITE_FAILED, [&] {
      return pwrite(copy, date.text, kDateLength, static_cast<off_t>(date.file_position)) == kDateLength;
    });
  }
  step(TAGCORE_CANNOT_WRITE, [&] {
    struct stat copy_info;
    if (fstat(copy, &copy_info) != 0) return false;
    return (copy_info.st_uid == info.st_uid && copy_info.st_gid == info.st_gid) ||
           fchown(copy, info.st_uid, info.st_gid) == 0;
  });
  step(TAGCORE_CANNOT_WRITE, [&] { return fchmod(copy, info.st_mode & 07777) == 0; });
  const struct timespec times[2] = {info.st_atim, info.st_mtim};
  step(TAGCORE_WRITE_FAILED, [&] { return futimens(copy, times) == 0; });
  step(TAGCORE_WRITE_FAILED, [&] { return fsync(copy) == 0; });
  step(TAGCORE_WRITE_FAILED, [&] { return rename(temp.c_str(), path.c_str()) == 0; });
  if (code != TAGCORE_OK) unlink(temp.c_str());
  close(copy);
  close(image);
  if (code == TAGCORE_OK) {
    // The new name must reach the disk too, or a power cut could bring the old file back.
    const int dir = open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      fsync(dir);
      close(dir);
    }
  }
  return code;
}

}  // namespace snapcrate::tagcore
