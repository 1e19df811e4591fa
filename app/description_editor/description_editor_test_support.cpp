#include "app/description_editor/description_editor_test_support.h"

#include <filesystem>

#include "app/file_lib.h"
#include "app/library_loader.h"
#include "app/pictures/image_library.h"
#include "app/program_state.h"
#include "app/settings.h"
#include "tests/support/exif_writer/camera_exif.h"
#include "tests/support/exif_writer/file_bytes.h"

namespace snapcrate::testing {

bool EditorLibrariesBuilt() {
  for (const char* library : {"libpixcore.so", "libtagcore.so", "libjpegtran.so"})
    if (!FileExists(std::string(SNAPCRATE_TEST_HOME) + library)) return false;
  return true;
}

EditorHome::EditorHome() {
  SetLibraryDir(SNAPCRATE_TEST_HOME);
  Program() = ProgramState{};
  Program().home_dir = temp.path();
  std::filesystem::create_directories(temp / "etc");
  ReadSettings();
  Program().initialized = true;
  // No viewer on the test machine is started by accident.
  SetSetting("ExtViewer", "$$$");
  SetSetting("GenHTMLDestPath", temp / "album/");
  std::filesystem::create_directories(temp / "pictures");
  StartAt(Dir(), 1);
}

EditorHome::~EditorHome() { Program() = ProgramState{}; }

std::string EditorHome::Dir(std::string_view relative) const {
  std::string path = temp / "pictures/";
  path += relative;
  if (path.back() != '/') path += '/';
  std::filesystem::create_directories(path);
  return path;
}

void EditorHome::SetSetting(const std::string& key, const std::string& value) const {
  WriteSettings({{key, value}});
}

void EditorHome::StartAt(const std::string& directory, int position) const {
  WriteSettings({{"AddDescPath", directory}, {"AddDescImageIndex", std::to_string(position)}});
}

void WritePlainJpeg(const std::string& path, int width, int height) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  exif_writer::WriteFileBytes(path, exif_writer::MakeGrayJpeg(width, height));
}

void WriteCameraJpeg(const std::string& path) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  exif_writer::WriteFileBytes(path, exif_writer::MakeCameraJpeg({.make = "Canon",
                                                                 .model = "Canon PowerShot A80",
                                                                 .exposure = exif_writer::Rational{1, 250},
                                                                 .date_time_original = "2004:05:12 13:45:01"}));
}

std::string PictureSize(const std::string& path) {
  int32_t width = 0, height = 0;
  PixCoreGetFileImageSize(-2, path, width, height);
  return std::to_string(width) + "x" + std::to_string(height);
}

}  // namespace snapcrate::testing
