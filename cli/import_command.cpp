#include <cstdio>

#include "app/import/import_media_files.h"
#include "app/progress.h"
#include "app/settings.h"
#include "cli/commands.h"
#include "cli/options.h"

namespace snapcrate::cli {

int RunImportCommand(const CommandContext& context) {
  std::string source, destination;
  std::optional<bool> log_file, orig_name, jpeg_only;
  bool dry_run = false;
  OptionReader reader(context.args);
  while (reader.Next()) {
    const std::string& option = reader.current();
    if (option == "--source" || option == "--dest") {
      const auto value = reader.Value();
      if (!value) return UsageError("import: " + reader.error());
      (option == "--source" ? source : destination) = *value;
    } else if (option == "--log" || option == "--no-log") {
      log_file = option == "--log";
    } else if (option == "--orig-name" || option == "--no-orig-name") {
      orig_name = option == "--orig-name";
    } else if (option == "--jpeg-only" || option == "--all-files") {
      jpeg_only = option == "--jpeg-only";
    } else if (option == "--dry-run") {
      dry_run = true;
    } else {
      return UsageError("import: unknown option " + option);
    }
  }
  if (source.empty() || destination.empty()) return UsageError("import needs --source DIR and --dest DIR");
  const std::string source_dir = ExistingDirectory(source);
  const std::string destination_dir = ExistingDirectory(destination);
  if (source_dir.empty() || destination_dir.empty()) {
    std::fprintf(stderr, "snapcrate-cli: %s is not a directory\n",
                 (source_dir.empty() ? source : destination).c_str());
    return 1;
  }

  Init(context.init);
  ImportOptions options = ReadImportOptions();
  if (log_file) options.log_file = *log_file;
  if (orig_name) options.add_orig_filename = *orig_name;
  if (jpeg_only) options.exif_jpeg_only = *jpeg_only;
  options.dry_run = dry_run;
  if (!dry_run) {
    // Remembered like the import window's OK, so both front ends start from the last choice.
    WriteSettings({{"ImportMediaFilesSourcePath", source_dir},
                   {"ImportMediaFilesDestPath", destination_dir},
                   {"ImportMediaFilesLogFile", options.log_file ? "1" : "0"},
                   {"ImportMediaFilesAddOrigFilename", options.add_orig_filename ? "1" : "0"},
                   {"ImportMediaFilesEXIFJPEGOnly", options.exif_jpeg_only ? "1" : "0"}});
  }
  const ImportCounters counters = ImportMediaFiles(source_dir, destination_dir, options);
  return AbortRequested() || counters.failed > 0 || counters.unreadable_dirs > 0 ? 1 : 0;
}

}  // namespace snapcrate::cli
