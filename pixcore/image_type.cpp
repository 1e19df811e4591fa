#include "pixcore/image_type.h"

#include <array>
#include <string>

#include "pixcore/pixcore.h"
#include "pixcore/vips_env.h"

namespace snapcrate::pixcore {
namespace {

struct Extension {
  std::string_view lower_case;
  int32_t type;
};

constexpr std::array kExtensions{
    Extension{"jpg", PIXCORE_TYPE_JPEG},  Extension{"jpeg", PIXCORE_TYPE_JPEG},
    Extension{"jpe", PIXCORE_TYPE_JPEG},  Extension{"jfif", PIXCORE_TYPE_JPEG},
    Extension{"png", PIXCORE_TYPE_PNG},   Extension{"gif", PIXCORE_TYPE_GIF},
    Extension{"tif", PIXCORE_TYPE_TIFF},  Extension{"tiff", PIXCORE_TYPE_TIFF},
    Extension{"webp", PIXCORE_TYPE_WEBP}, Extension{"heic", PIXCORE_TYPE_HEIF},
    Extension{"heif", PIXCORE_TYPE_HEIF}, Extension{"hif", PIXCORE_TYPE_HEIF},
};

struct Loader {
  std::string_view name;
  int32_t type;
};

constexpr std::array kLoaders{
    Loader{"VipsForeignLoadJpegFile", PIXCORE_TYPE_JPEG},
    Loader{"VipsForeignLoadPngFile", PIXCORE_TYPE_PNG},
    Loader{"VipsForeignLoadPng", PIXCORE_TYPE_PNG},
    Loader{"VipsForeignLoadNsgifFile", PIXCORE_TYPE_GIF},
    Loader{"VipsForeignLoadGifFile", PIXCORE_TYPE_GIF},
    Loader{"VipsForeignLoadTiffFile", PIXCORE_TYPE_TIFF},
    Loader{"VipsForeignLoadWebpFile", PIXCORE_TYPE_WEBP},
    Loader{"VipsForeignLoadHeifFile", PIXCORE_TYPE_HEIF},
};

}  // namespace

int32_t ImageTypeFromName(std::string_view name) {
  const size_t element_start = name.find_last_of("/\\");
  const std::string_view element =
      element_start == std::string_view::npos ? name : name.substr(element_start + 1);
  const size_t dot = element.rfind('.');
  // "x/.jpg" is a hidden file with no base name, not a picture.
  if (dot == std::string_view::npos || dot == 0) return PIXCORE_TYPE_NONE;
  const std::string_view extension = element.substr(dot + 1);
  std::string lower;
  for (char c : extension) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  for (const Extension& known : kExtensions) {
    if (known.lower_case != lower) continue;
    if (known.type == PIXCORE_TYPE_HEIF && !HeifReadable()) return PIXCORE_TYPE_NONE;
    return known.type;
  }
  return PIXCORE_TYPE_NONE;
}

int32_t ImageTypeFromLoader(std::string_view loader) {
  for (const Loader& known : kLoaders) {
    if (known.name == loader) return known.type;
  }
  return PIXCORE_TYPE_NONE;
}

}  // namespace snapcrate::pixcore

extern "C" PIXCORE_API int32_t PixCore_GetFileImageType(const char* name) {
  return name == nullptr ? PIXCORE_TYPE_NONE : snapcrate::pixcore::ImageTypeFromName(name);
}
