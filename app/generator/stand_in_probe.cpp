#include "app/generator/stand_in_probe.h"

#include "app/paths.h"
#include "app/text.h"

namespace snapcrate::testing {

PictureProbe StandInProbe() {
  PictureProbe probe;
  probe.image_type = [](const std::string& name) -> int32_t {
    std::string extension;
    SplitExt(name, extension);
    const std::string lower = AsciiLower(extension);
    return lower == ".jpg" || lower == ".jpeg" || lower == ".tif" || lower == ".png" ? 1 : -1;
  };
  probe.image_info = [](int32_t, const std::string& path, int32_t& width, int32_t& height,
                        int32_t& orientation) -> int32_t {
    width = height = 0;
    orientation = 1;
    if (path.find("unreadable") != std::string::npos) return 103;
    if (path.find("empty") != std::string::npos) return 1;
    width = 640;
    height = 480;
    return 1;
  };
  return probe;
}

}  // namespace snapcrate::testing
