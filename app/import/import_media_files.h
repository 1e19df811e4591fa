#pragma once
// The import: copies pictures (and other media) into destination/YYYY/MM/DD/,
// named after the moment they were taken, skipping pictures already there.

#include <cstdint>
#include <map>
#include <set>
#include <memory>
#include <string>

namespace snapcrate {

class TextFile;

struct ImportOptions {
  bool log_file = true;            // append to destination "snapcrate.log"
  bool add_orig_filename = true;   // append the source base name to new names
  bool exif_jpeg_only = false;     // only pictures (".jpg", ".heic", ".heif") with an EXIF date
  bool dry_run = false;            // report what would be copied, copy nothing
};

/// Reads the three options from the settings ("0" is false, anything else true).
ImportOptions ReadImportOptions();

struct ImportCounters {
  int32_t copied = 0;
  int32_t already_copied = 0;
  int32_t without_exif = 0;
  int32_t without_exif_date = 0;
  int32_t failed = 0;  // found but not imported: a directory, copy or attribute could not be written
  int32_t unreadable_dirs = 0;  // source folders whose files could not even be listed
};

/// Result of one file.
enum ImportFileResult : int {
  kImportNotCounted = 0,
  kImportWithoutExif = 1,
  kImportWithoutExifDate = 2,
  kImportAlreadyCopied = 3,
  kImportCopied = 4,
  kImportFailed = 5,
};

class MediaImport {
 public:
  MediaImport(std::string destination, ImportOptions options);
  ~MediaImport();

  /// Imports the tree below `directory` (ending in "/"); true when aborted.
  bool ScanDir(const std::string& directory);
  /// Imports one file of `directory`.
  ImportFileResult ImportFile(const std::string& directory, const std::string& name);

  /// Opens the log file and writes its date line; false when it cannot be opened.
  bool OpenLog();
  /// Writes `text` and an empty line to the log file and closes it.
  void CloseLog(const std::string& text);

  const ImportCounters& counters() const { return counters_; }

 private:
  bool TargetExists(const std::string& path) const;
  bool SameContents(const std::string& source, const std::string& target) const;
  bool MakeDateDir(const std::string& path);
  void RemoveLeftovers(const std::string& directory);
  void CompleteLogLine(const std::string& text);

  std::string destination_;
  ImportOptions options_;
  ImportCounters counters_;
  std::unique_ptr<TextFile> log_;
  // A dry run remembers where it would have copied each file.
  std::map<std::string, std::string> planned_;
  std::set<std::string> cleaned_;
};

/// The summary the import shows at its end.
std::string ImportSummary(const ImportCounters& counters, bool aborted, bool exif_jpeg_only);

/// Imports everything below `source` into `destination` (both ending in "/"),
/// then shows the summary; returns the counters.
ImportCounters ImportMediaFiles(const std::string& source, const std::string& destination,
                                const ImportOptions& options);

}  // namespace snapcrate
