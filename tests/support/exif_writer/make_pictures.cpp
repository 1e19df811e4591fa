// Writes camera-like pictures with EXIF dates for trying imports and date
// shifts at scale: DIR/<n>/IMG_<i>.JPG, every picture different, every seventh
// taken in the same second as the one before, each padded to about KIB
// kibibytes so that writing it takes a measurable moment.
// Usage: snapcrate_make_pictures DIR COUNT [KIB]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "tests/support/exif_writer/camera_exif.h"

int main(int argc, char** argv) {
  using namespace snapcrate::exif_writer;
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s DIR COUNT [KIB]\n", argv[0]);
    return 2;
  }
  const std::string root = argv[1];
  const int count = std::atoi(argv[2]);
  const int kib = argc > 3 ? std::atoi(argv[3]) : 64;
  std::time_t taken = 1178445600;  // 2007-05-06 10:00:00 UTC
  for (int i = 0; i < count; ++i) {
    if (i % 7 != 6) taken += 3671;
    std::tm utc{};
    gmtime_r(&taken, &utc);
    char date[32];
    std::strftime(date, sizeof date, "%Y:%m:%d %H:%M:%S", &utc);
    CameraExif exif;
    exif.make = "Canon";
    exif.model = "Model " + std::to_string(i);
    exif.date_time = exif.date_time_original = exif.date_time_digitized = date;
    JpegBuilder image;
    for (int left = kib * 1024; left > 0; left -= 60000)
      image.Comment(std::string(static_cast<size_t>(std::min(left, 60000)), static_cast<char>('a' + i % 26)));
    const std::string dir = root + "/" + std::to_string(100 + i / 100);
    std::filesystem::create_directories(dir);
    char name[32];
    std::snprintf(name, sizeof name, "/IMG_%04d.JPG", i);
    WriteFileBytes(dir + name, MakeCameraJpeg(exif, image.Build()));
  }
  return 0;
}
