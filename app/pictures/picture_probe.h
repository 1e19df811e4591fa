#pragma once
// The two questions the listing asks the image library, as a seam: the run
// asks libpixcore.so, tests may answer themselves.

#include <cstdint>
#include <functional>
#include <string>

#include "app/pictures/image_library.h"

namespace snapcrate {

struct PictureProbe {
  /// -1 when the name is no picture's.
  std::function<int32_t(const std::string& name)> image_type = PixCoreGetFileImageType;
  /// 1, the stored size and the EXIF orientation (1 to 8) on success.
  std::function<int32_t(int32_t format, const std::string& path, int32_t& width, int32_t& height,
                        int32_t& orientation)>
      image_info = PixCoreGetFileImageInfo;
};

}  // namespace snapcrate
