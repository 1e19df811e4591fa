#include "tagcore/date_adjuster.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

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

// Writes the new date over the old one; the NUL behind it stays as it was.
int WriteDate(const char* path, uint64_t position, const char* date) {
  std::FILE* file = std::fopen(path, "r+b");
  if (file == nullptr) {
    std::printf("strerror says open failed: %s\n", std::strerror(errno));
    return TAGCORE_CANNOT_WRITE;
  }
  errno = 0;
  bool written = fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0 &&
                 std::fwrite(date, 1, kDateLength, file) == kDateLength;
  const int write_error = errno;
  written = (std::fclose(file) == 0) && written;
  if (!written) {
    std::printf("strerror says write failed: %s\n",
                std::strerror(write_error ? write_error : errno));
    return TAGCORE_CANNOT_WRITE;
  }
  return TAGCORE_OK;
}

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

  char date[64];
  std::snprintf(date, sizeof date, "%04d:%02d:%02d %02d:%02d:%02d", shifted.tm_year + 1900,
                shifted.tm_mon + 1, shifted.tm_mday, shifted.tm_hour, shifted.tm_min,
                shifted.tm_sec);
  return WriteDate(image_path_, entry.file_position, date);
}

}  // namespace snapcrate::tagcore
