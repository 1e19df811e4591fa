#pragma once
// A home with a settings file and a directory of real pictures, for the tests
// of the description editor and its window.

#include <string>
#include <string_view>

#include "tests/support/temp_dir.h"

namespace snapcrate::testing {

/// True when the three libraries the editor calls are built in the test home.
bool EditorLibrariesBuilt();

class EditorHome {
 public:
  /// A fresh home (settings with defaults) whose library directory is the build's.
  EditorHome();
  ~EditorHome();

  /// home + "pictures/" + relative, ending in "/", created.
  std::string Dir(std::string_view relative = "") const;
  /// Sets a key in the settings store and the settings file.
  void SetSetting(const std::string& key, const std::string& value) const;
  /// Where the editor starts: directory and picture position.
  void StartAt(const std::string& directory, int position) const;

  TempDir temp;
};

/// A small grey JPEG of width x height pixels without EXIF data.
void WritePlainJpeg(const std::string& path, int width = 16, int height = 8);
/// A camera JPEG with make, model and a date.
void WriteCameraJpeg(const std::string& path);
/// Width and height of a picture, from the image library; "0x0" when unreadable.
std::string PictureSize(const std::string& path);

}  // namespace snapcrate::testing
