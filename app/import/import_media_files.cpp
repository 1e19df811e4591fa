#include "app/import/import_media_files.h"

#include <ctime>
#include <optional>

#include "app/exif/exif_info.h"
#include "app/file_lib.h"
#include "app/import/media_types.h"
#include "app/import/movie_header.h"
#include "app/import/stop_list.h"
#include "app/log.h"
#include "app/numeric.h"
#include "app/paths.h"
#include "app/pictures/dir_listing.h"
#include "app/pictures/image_library.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "app/settings.h"
#include "app/text.h"
#include "app/ui_port.h"

namespace snapcrate {
namespace {

constexpr const char* kSuffixes = "abcdefghijklmnopqrstuvwxyz";

std::string TwoDigits(int value) { return FormatNumber(value, 2); }

std::string LocalDateTimeLine() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[128];
  if (std::strftime(text, sizeof text, "%x %X", &local) == 0) return {};
  return text;
}

std::string Count(int32_t value) { return FormatNumber(value, 0); }

// The files the scan will meet, for "n of m"; quiet, the scan logs what it skips.
int64_t CountFiles(const std::string& directory) {
  if (IsInStopList(directory)) return 0;
  std::vector<DirEntry> entries;
  if (ListDirEntries(directory, kFileEntries | kDirectoryEntries, entries, kMaxDirEntries) < 1) return 0;
  int64_t files = 0;
  for (const DirEntry& entry : entries) files += entry.is_directory ? CountFiles(directory + entry.name + "/") : 1;
  return files;
}

}  // namespace

ImportOptions ReadImportOptions() {
  std::string log_file, add_orig, jpeg_only;
  IniFileArrayReadMultipleKeys(Program().settings, {
                                                       {"ImportMediaFilesLogFile", "1", &log_file},
                                                       {"ImportMediaFilesAddOrigFilename", "1", &add_orig},
                                                       {"ImportMediaFilesEXIFJPEGOnly", "0", &jpeg_only},
                                                   });
  ImportOptions options;
  options.log_file = log_file != "0";
  options.add_orig_filename = add_orig != "0";
  options.exif_jpeg_only = jpeg_only != "0";
  return options;
}

MediaImport::MediaImport(std::string destination, ImportOptions options)
    : destination_(std::move(destination)), options_(options) {}

MediaImport::~MediaImport() = default;

bool MediaImport::OpenLog() {
  log_ = OpenForAppend(destination_ + "snapcrate.log");
  if (!log_) return false;
  log_->WriteLine(LocalDateTimeLine());
  return true;
}

void MediaImport::CloseLog(const std::string& text) {
  if (!log_) return;
  log_->WriteLine(text);
  log_->WriteLine("");
  log_->Close();
  log_.reset();
}

void MediaImport::CompleteLogLine(const std::string& text) {
  if (log_) log_->WriteLine(text);
}

bool MediaImport::TargetExists(const std::string& path) const {
  FindRecord record;
  return planned_.count(path) > 0 || FindFile(path, record);
}

bool MediaImport::SameContents(const std::string& source, const std::string& target) const {
  const auto planned = planned_.find(target);
  const std::string& existing = planned != planned_.end() ? planned->second : target;
  return PixCoreCompareFiles(source, existing) == 0;
}

bool MediaImport::MakeDateDir(const std::string& path) {
  if (IsDirectory(path) || planned_.count(path) > 0) return true;
  LogMessage("Creating " + path);
  if (options_.dry_run) {
    planned_[path] = {};
    return true;
  }
  if (const int error = MakeDir(path); error != 0 && !IsDirectory(path)) {
    LogMessage("Can't create directory " + path + " - Error No. " + std::to_string(error));
    return false;
  }
  return true;
}

void MediaImport::RemoveLeftovers(const std::string& directory) {
  // Copies cut short by an earlier kill or crash are removed where this run writes.
  if (options_.dry_run || !cleaned_.insert(directory).second) return;
  RemoveLeftoverTempFiles(directory);
}

ImportFileResult MediaImport::ImportFile(const std::string& directory, const std::string& name) {
  std::string extension;
  const std::string base = SplitExt(name, extension);
  extension = AsciiLower(extension);
  const bool is_picture = IsExifPicture(extension);
  if (!is_picture && options_.exif_jpeg_only) return kImportNotCounted;
  const std::string source = directory + name;
  if (log_) log_->Write(source);
  if (IsInStopList(source)) {
    CompleteLogLine(": in stoplist!");
    return kImportNotCounted;
  }

  std::string year, month, day, hour, minute, second;
  bool dated = false;
  if (is_picture) {
    ExifInfo info;
    if (!GetExifInfo(source, info)) {
      if (options_.exif_jpeg_only) {
        CompleteLogLine(": No EXIF data found!");
        return kImportWithoutExif;
      }
    } else if (info.DateValid) {
      year = info.Year, month = info.Month, day = info.Day;
      hour = info.Hour, minute = info.Minute, second = info.Second;
      dated = true;
    } else if (options_.exif_jpeg_only) {
      CompleteLogLine(": No valid EXIF date found!");
      return kImportWithoutExifDate;
    }
  }
  if (!dated && IsMovie(extension)) {
    // Movie times are UTC; like the cameras' EXIF dates, names show local time.
    if (const std::optional<int64_t> created = ReadMovieCreationTime(source)) {
      const auto seconds = static_cast<std::time_t>(*created);
      std::tm local{};
      if (localtime_r(&seconds, &local) != nullptr && local.tm_year + 1900 <= 9999) {
        year = FormatNumber(local.tm_year + 1900, 4);
        month = TwoDigits(local.tm_mon + 1), day = TwoDigits(local.tm_mday);
        hour = TwoDigits(local.tm_hour), minute = TwoDigits(local.tm_min);
        second = TwoDigits(local.tm_sec);
        dated = true;
      }
    }
  }
  if (!dated) {
    FindRecord record;
    if (!FindFile(source, record)) {
      // Listed a moment ago, gone now.
      CompleteLogLine(": file not found!");
      return kImportNotCounted;
    }
    // The file time is kept in UTC and used as it is.
    const std::time_t seconds = static_cast<std::time_t>(record.last_write_time / 1'000'000'000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    year = FormatNumber(utc.tm_year + 1900, 4);
    month = TwoDigits(utc.tm_mon + 1), day = TwoDigits(utc.tm_mday);
    hour = TwoDigits(utc.tm_hour), minute = TwoDigits(utc.tm_min), second = TwoDigits(utc.tm_sec);
  }

  const std::string year_dir = destination_ + year;
  const std::string month_dir = year_dir + "/" + month;
  const std::string day_dir = month_dir + "/" + day;
  for (const std::string& dir : {year_dir, month_dir, day_dir}) {
    if (!MakeDateDir(dir)) {
      CompleteLogLine(": can't create " + dir + "!");
      return kImportFailed;
    }
  }
  const std::string target = day_dir + "/";
  RemoveLeftovers(target);

  std::string stem = year + month + day + "_" + hour + minute + second;
  if (options_.add_orig_filename) stem += "_" + base;
  std::string candidate;
  for (int i = -1; i < 26; ++i) {
    candidate = stem + (i < 0 ? std::string() : std::string(1, kSuffixes[i])) + extension;
    const std::string path = target + candidate;
    if (!TargetExists(path)) {
      if (options_.dry_run) {
        planned_[path] = source;
        CompleteLogLine(" -> " + path);
        LogMessage(source + " -> " + path);
        return kImportCopied;
      }
      // Read-only before it has its name: a kill right after the rename must
      // not leave a writable copy that later imports take as done.
      if (CopyFile(source, path, CopyPermissions::kReadOnly) != 0) {
        CompleteLogLine(": can't copy to " + path + "!");
        return kImportFailed;
      }
      // Like any copy, it reaches the disk on its own; asked now, it is on the
      // disk moments after the import instead of half a minute later, should
      // the card be emptied right away.
      StartWriteBack(path);
      CompleteLogLine(" -> " + path);
      return kImportCopied;
    }
    if (SameContents(source, path)) {
      CompleteLogLine(": already copied (identical to \"" + candidate + "\")");
      return kImportAlreadyCopied;
    }
  }
  CompleteLogLine(": suffix limit reached!");
  LogMessage("Can't write successor to " + candidate);
  return kImportNotCounted;
}

bool MediaImport::ScanDir(const std::string& directory) {
  if (IsInStopList(directory)) {
    CompleteLogLine(directory + ": in stoplist!");
    return false;
  }
  std::vector<DirEntry> entries;
  const int n = ListDirEntries(directory, kFileEntries | kDirectoryEntries, entries, kMaxDirEntries);
  if (n < 1) return false;
  ProgressSetRange(1, n);
  for (int i = 1; i <= n; ++i) {
    const DirEntry& entry = entries[static_cast<size_t>(i - 1)];
    if (ProgressUpdateThrottled(i, directory + entry.name)) return true;
    if (entry.is_directory) {
      if (ScanDir(directory + entry.name + "/")) return true;
      ProgressSetRange(1, n);
      continue;
    }
    const ImportFileResult result = ImportFile(directory, entry.name);
    ProgressCountAdvance();
    switch (result) {
      case kImportWithoutExif: ++counters_.without_exif; break;
      case kImportWithoutExifDate: ++counters_.without_exif_date; break;
      case kImportAlreadyCopied: ++counters_.already_copied; break;
      case kImportCopied: ++counters_.copied; break;
      case kImportFailed: ++counters_.failed; break;
      case kImportNotCounted: break;
    }
  }
  return false;
}

std::string ImportSummary(const ImportCounters& c, bool aborted, bool exif_jpeg_only) {
  const int32_t total = c.without_exif + c.copied + c.without_exif_date + c.already_copied + c.failed;
  std::string s;
  if (total == 0) {
    s = "No $Fs found!";
  } else if (c.copied == total) {
    s = "All " + Count(total) + " found $Fs copied!";
  } else {
    s = Count(total) + " $Fs totally found:";
    if (c.without_exif > 0) s += "\r\n  " + Count(c.without_exif) + " JPEG files without EXIF info found";
    if (c.without_exif_date > 0)
      s += "\r\n  " + Count(c.without_exif_date) + " JPEG files without valid EXIF date info found";
    if (c.already_copied > 0)
      s += c.already_copied == 1 ? "\r\n  1 $F was already copied"
                                 : "\r\n  " + Count(c.already_copied) + " $Fs were already copied";
    s += c.copied == 1 ? "\r\n  1 $F was now copied" : "\r\n  " + Count(c.copied) + " $Fs were actually copied";
    if (c.failed > 0) s += c.failed == 1 ? "\r\n  1 $F failed" : "\r\n  " + Count(c.failed) + " $Fs failed";
  }
  // Its files were neither found nor copied: whatever else was, the import is not complete.
  if (c.unreadable_dirs > 0)
    s += c.unreadable_dirs == 1 ? "\r\n  1 folder could not be read"
                                : "\r\n  " + Count(c.unreadable_dirs) + " folders could not be read";
  if (aborted) s = "Function aborted!!\r\nSo far:\r\n" + s;
  return ReplaceAll(s, "$F", exif_jpeg_only ? "JPEG file" : "file");
}

ImportCounters ImportMediaFiles(const std::string& source, const std::string& destination,
                                const ImportOptions& options) {
  LogMessage("Copying & renaming exif images from " + source + " to " + destination + " ...");
  // A folder imported into itself overlaps as much as one imported into its parent.
  if (source.size() >= destination.size() && source.compare(0, destination.size(), destination) == 0) {
    ShowMessage("Can't import from " + source + " to " + destination + "! (overlapping paths!)");
    return {};
  }
  MediaImport import(destination, options);
  if (options.log_file && !options.dry_run) import.OpenLog();
  ProgressShow(0, 0);
  ListingReportScope listing_reports;  // the files are counted in a first walk: one warning per folder
  ProgressCountTotal(CountFiles(source));
  const bool aborted = import.ScanDir(source);
  ProgressHide();
  if (aborted) LogMessage("Aborted!");
  ImportCounters counters = import.counters();
  counters.unreadable_dirs = listing_reports.unreadable();
  const std::string summary = ImportSummary(counters, aborted, options.exif_jpeg_only);
  ShowMessage(summary);
  import.CloseLog(summary);
  return counters;
}

}  // namespace snapcrate
