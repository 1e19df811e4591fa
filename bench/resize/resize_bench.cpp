// Makes an album's picture files the way a generation run does: ResizeImage
// for every JPEG of a directory, with a 160 x 160 thumbnail and a 1024 x 768
// picture per photo, then once more over the finished files.
//
//   resize_bench LIBRARY_DIR SOURCE_DIR OUTPUT_DIR
//
// Prints the pictures, the files made and the seconds of both runs.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/generator/image_scaling.h"
#include "app/library_loader.h"
#include "app/paths.h"
#include "app/pictures/dir_listing.h"
#include "app/pictures/image_library.h"
#include "app/ui_port.h"

namespace snapcrate {
namespace {

// Shows the generator's log lines; everything else stays silent.
class LogToStderr : public SilentUiPort {
 public:
  void LogChanged(std::string_view message, const LogRing&) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(message.size()), message.data());
  }
};

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int Run(const std::string& library_dir, const std::string& source_dir,
        const std::string& output_dir) {
  LogToStderr port;
  SetUiPort(&port);
  SetLibraryDir(library_dir);

  std::vector<DirEntry> entries;
  ListDirEntries(source_dir, kFileEntries, entries, kMaxDirEntries);
  std::sort(entries.begin(), entries.end(),
            [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  std::vector<PictureRecord> pictures;
  for (const DirEntry& entry : entries) {
    PictureRecord picture;
    picture.file_name = entry.name;
    SplitExt(entry.name, picture.extension);
    if (picture.extension != ".jpg") continue;
    if (PixCoreGetFileImageSize(-2, source_dir + entry.name, picture.width, picture.height) != 1)
      continue;
    picture.valid = true;
    pictures.push_back(picture);
  }
  if (pictures.empty()) {
    std::fprintf(stderr, "no JPEG pictures in %s\n", source_dir.c_str());
    return 1;
  }

  const ScaledOutput outputs[] = {{.full = {1024, 768}, .thumbnail = {160, 160}, .quality = 85}};
  for (const ScaledOutput& output : outputs) CreateSizeDirs(output_dir, output, {});

  int32_t operations = 0;
  double seconds[2] = {};
  int32_t made[2] = {};
  for (int round = 0; round < 2; ++round) {
    const auto start = std::chrono::steady_clock::now();
    for (const PictureRecord& picture : pictures) {
      const int32_t code =
          ResizeImage(source_dir, output_dir, picture, outputs, made[round], operations);
      if (code != 1) {
        std::fprintf(stderr, "%s: error %d\n", picture.file_name.c_str(), code);
        return 1;
      }
    }
    seconds[round] = Seconds(start);
  }
  std::printf(
      "pictures %zu made %d seconds %.3f per_picture_ms %.1f rerun_made %d rerun_seconds %.3f\n",
      pictures.size(), made[0], seconds[0], 1000.0 * seconds[0] / pictures.size(), made[1],
      seconds[1]);
  SetUiPort(nullptr);
  return 0;
}

}  // namespace
}  // namespace snapcrate

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s LIBRARY_DIR SOURCE_DIR OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  return snapcrate::Run(snapcrate::WithTrailingSlash(argv[1]),
                        snapcrate::WithTrailingSlash(argv[2]),
                        snapcrate::WithTrailingSlash(argv[3]));
}
