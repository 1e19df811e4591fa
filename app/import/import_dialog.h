#pragma once
// The import window and its options dialog without the windows: source and
// destination choosers, the three option flags, and what OK hands to the main
// window.

#include <string>

#include "app/dir_chooser.h"
#include "app/import/import_media_files.h"

namespace snapcrate {

/// What the import window hands to the main window: both paths end in "/".
struct ImportRequest {
  std::string source;
  std::string destination;
  ImportOptions options;
};

/// The program-wide import values; the options dialog changes the flags here.
ImportRequest& CurrentImportRequest();

inline constexpr std::string_view kImportHelpText =
    "Use this function to copy image files from digital cameras to a new directory and \r\n"
    "rename them on the fly according to the date when the picture was taken.\r\n"
    "See the online help for details.";

class ImportDialog {
 public:
  /// Opening: empties the import result, reads the five settings and points
  /// both choosers at the stored paths.
  explicit ImportDialog(ImportRequest& request = CurrentImportRequest());

  DirChooser& source() { return source_; }
  DirChooser& destination() { return destination_; }
  /// The flags the options dialog shows and changes.
  ImportOptions& options() { return request_.options; }

  /// `UpdateSourcePath`, `UpdateDestPath`: after a chooser changed.
  void UpdateSourcePath();
  void UpdateDestPath();
  /// The path a chooser yields (without trailing "/", except for the root) and
  /// the path shown in `Label2` / `Label3` (always ending in "/").
  const std::string& raw_source() const { return raw_source_; }
  const std::string& raw_destination() const { return raw_destination_; }
  std::string ShownSource() const;
  std::string ShownDestination() const;

  /// OK: writes the five settings, sets the result "OK" and the request.
  void Confirm();

 private:
  ImportRequest& request_;
  DirChooser source_;
  DirChooser destination_;
  std::string raw_source_;
  std::string raw_destination_;
};

}  // namespace snapcrate
