#include "app/import/adjust_exif_dates.h"

#include <unistd.h>

#include <limits>

#include "app/exif/exif_info.h"
#include "app/exif/tagcore_library.h"
#include "app/file_lib.h"
#include "app/import/media_types.h"
#include "app/log.h"
#include "app/numeric.h"
#include "app/paths.h"
#include "app/pictures/dir_listing.h"
#include "app/progress.h"
#include "app/text.h"
#include "app/ui_port.h"

namespace snapcrate {
namespace {

std::string Count(int32_t value) { return FormatNumber(value, 0); }

// The three date entries of a dump, one per line.
std::string DateLines(const std::string& path) {
  std::string text;
  if (DumpExifToText(path, text, 1 << 20) != 0) return {};
  std::string dates;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = text.substr(start, end - start);
    for (const char* name : {"DateTime", "DateTimeOriginal", "DateTimeDigitized"}) {
      std::string value;
      if (FindDumpValue(line, name, value)) dates += "  " + std::string(name) + ": " + value + "\n";
    }
  }
  return dates;
}

AdjustFileResult MapResult(int32_t code, const std::string& path) {
  switch (code) {
    case 0:
      return kAdjustDone;
    case 1:
      LogMessage(path + " not found!");
      return kAdjustNotWriteable;
    case 2:
      LogMessage(path + " not an EXIF file!");
      return kAdjustWithoutExifDate;
    case 3:
    case 4:
    case 6:
      LogMessage(path + ": internal error!");
      return kAdjustWithoutExifDate;
    case 5:
      LogMessage("Can't write " + path + "! (read-only?)");
      return kAdjustNotWriteable;
    case 7:
    case 8:
      LogMessage("No valid EXIF date/time inf found for " + path + "!");
      return kAdjustWithoutExifDate;
    case 9:
      LogMessage("Can't write " + path + "! (disk full?) The file is unchanged.");
      return kAdjustFailed;
    default:
      return kAdjustNotCounted;
  }
}

}  // namespace

std::optional<int32_t> OffsetSeconds(const DateAdjustOffset& o) {
  const int64_t seconds = int64_t{o.sign} * (int64_t{o.seconds} + int64_t{o.minutes} * 60 + int64_t{o.hours} * 3600 +
                                             int64_t{o.days} * 1440 * 60 + int64_t{o.weeks} * 10080 * 60 +
                                             int64_t{o.years} * 8760 * 60 * 60);
  if (seconds < std::numeric_limits<int32_t>::min() || seconds > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  return static_cast<int32_t>(seconds);
}

AdjustFileResult AdjustFile(const std::string& directory, const std::string& name, int32_t seconds) {
  const std::string path = directory + name;
  return MapResult(TagCoreAdjustDateTime(path, seconds), path);
}

AdjustFileResult PreviewAdjustFile(const std::string& directory, const std::string& name, int32_t seconds) {
  const std::string path = directory + name;
  if (access(path.c_str(), W_OK) != 0) return MapResult(FileExists(path) ? 5 : 1, path);
  // The shift runs on a copy, so the preview shows exactly what the real run writes.
  const std::string copy = GetTempFileName();
  if (copy.empty() || CopyFile(path, copy) != 0) {
    DeleteFile(copy);
    return MapResult(1, path);
  }
  SetReadOnly(copy, false);
  const std::string before = DateLines(copy);
  const int32_t code = TagCoreAdjustDateTime(copy, seconds);
  const std::string after = code == 0 ? DateLines(copy) : std::string();
  DeleteFile(copy);
  LogMessage(path + ":\r\n before:\r\n" + ReplaceAll(before, "\n", "\r\n") + " after:\r\n" +
             ReplaceAll(after.empty() ? "  (unchanged)\n" : after, "\n", "\r\n"));
  return MapResult(code, path);
}

bool AdjustScanDir(const std::string& directory, int32_t seconds, AdjustCounters& counters, bool dry_run) {
  std::vector<DirEntry> entries;
  const int n = ListDirEntries(directory, kFileEntries | kDirectoryEntries, entries, kMaxDirEntries);
  if (n < 1) return false;
  // Shifted copies cut short by an earlier kill or crash.
  if (!dry_run) RemoveLeftoverTempFiles(directory);
  ProgressSetRange(1, n);
  for (int i = 1; i <= n; ++i) {
    const DirEntry& entry = entries[static_cast<size_t>(i - 1)];
    std::string extension;
    SplitExt(directory + entry.name, extension);
    if (!entry.is_directory && IsExifPicture(AsciiLower(extension))) {
      if (ProgressUpdate(i, directory + entry.name)) return true;
      const AdjustFileResult result = dry_run ? PreviewAdjustFile(directory, entry.name, seconds)
                                              : AdjustFile(directory, entry.name, seconds);
      switch (result) {
        case kAdjustDone: ++counters.adjusted; break;
        case kAdjustWithoutExifDate: ++counters.without_exif_date; break;
        case kAdjustNotWriteable: ++counters.not_writeable; break;
        case kAdjustFailed: ++counters.failed; break;
        case kAdjustNotCounted: break;
      }
    } else if (entry.is_directory) {
      if (AdjustScanDir(directory + entry.name + "/", seconds, counters, dry_run)) return true;
    }
  }
  return false;
}

namespace {

std::string FileSummary(const AdjustCounters& c) {
  const int32_t total = c.adjusted + c.without_exif_date + c.not_writeable + c.failed;
  if (total == 0) return "No JPG-Files found!";
  if (c.adjusted == total) return "All " + Count(total) + " found JPEG files adjusted!";
  std::string s = Count(c.adjusted) + " JPEG files adjusted!";
  if (c.without_exif_date > 0) s += "\r\n" + Count(c.without_exif_date) + " JPEG files without valid EXIF (date) info found";
  if (c.not_writeable > 0) s += "\r\n" + Count(c.not_writeable) + " JPEG files not writeable";
  if (c.failed > 0) s += "\r\n" + Count(c.failed) + " JPEG files failed";
  return s + "\r\n" + Count(total) + " JPEG files totally found";
}

}  // namespace

std::string AdjustSummary(const AdjustCounters& c) {
  const std::string s = FileSummary(c);
  if (c.unreadable_dirs == 0) return s;
  return s + (c.unreadable_dirs == 1 ? "\r\n1 folder could not be read"
                                     : "\r\n" + Count(c.unreadable_dirs) + " folders could not be read");
}

bool AdjustExifDates(const std::string& directory, const DateAdjustOffset& offset, bool dry_run) {
  const std::optional<int32_t> seconds = OffsetSeconds(offset);
  if (!seconds) {
    ShowMessage("The offset is too large: it must stay below 68 years (2147483647 seconds). No file was changed.");
    return false;
  }
  LogMessage("Adjusting EXIF date&time of JPEGs at " + directory + " by " + std::to_string(*seconds) +
             " seconds ...");
  AdjustCounters counters;
  ProgressShow(0, 0);
  ListingReportScope listing_reports;
  const bool aborted = AdjustScanDir(directory, *seconds, counters, dry_run);
  counters.unreadable_dirs = listing_reports.unreadable();
  ProgressHide();
  if (aborted) {
    ShowMessage("Function aborted!");
    return false;
  }
  ShowMessage(AdjustSummary(counters));
  return counters.not_writeable == 0 && counters.failed == 0 && counters.unreadable_dirs == 0;
}

}  // namespace snapcrate
