#include "app/import/import_dialog.h"

#include "app/file_lib.h"
#include "app/paths.h"
#include "app/program_state.h"
#include "app/settings.h"

namespace snapcrate {

ImportRequest& CurrentImportRequest() {
  static ImportRequest request;
  return request;
}

ImportDialog::ImportDialog(ImportRequest& request) : request_(request) {
  Program().import_result.clear();
  std::string source, destination, log_file, add_orig, jpeg_only;
  IniFileArrayReadMultipleKeys(Program().settings,
                               {
                                   {"ImportMediaFilesSourcePath", DefaultDirectory(), &source},
                                   {"ImportMediaFilesDestPath", DefaultDirectory(), &destination},
                                   {"ImportMediaFilesLogFile", "1", &log_file},
                                   {"ImportMediaFilesAddOrigFilename", "1", &add_orig},
                                   {"ImportMediaFilesEXIFJPEGOnly", "0", &jpeg_only},
                               });
  request_.options.log_file = log_file != "0";
  request_.options.add_orig_filename = add_orig != "0";
  request_.options.exif_jpeg_only = jpeg_only != "0";
  request_.options.dry_run = false;
  SetDirAndDriveControl(source, source_);
  UpdateSourcePath();
  SetDirAndDriveControl(destination, destination_);
  UpdateDestPath();
}

void ImportDialog::UpdateSourcePath() { raw_source_ = source_.directory(); }

void ImportDialog::UpdateDestPath() { raw_destination_ = destination_.directory(); }

std::string ImportDialog::ShownSource() const { return WithTrailingSlash(raw_source_); }

std::string ImportDialog::ShownDestination() const { return WithTrailingSlash(raw_destination_); }

void ImportDialog::Confirm() {
  auto flag = [](bool value) { return std::string(value ? "1" : "0"); };
  WriteSettings({
      {"ImportMediaFilesSourcePath", raw_source_},
      {"ImportMediaFilesDestPath", raw_destination_},
      {"ImportMediaFilesLogFile", flag(request_.options.log_file)},
      {"ImportMediaFilesAddOrigFilename", flag(request_.options.add_orig_filename)},
      {"ImportMediaFilesEXIFJPEGOnly", flag(request_.options.exif_jpeg_only)},
  });
  Program().import_result = "OK";
  request_.source = ShownSource();
  request_.destination = ShownDestination();
}

}  // namespace snapcrate
