#include "pixcore/image_load.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "pixcore/bitmap_registry.h"
#include "pixcore/image_type.h"
#include "pixcore/pixcore.h"

namespace snapcrate::pixcore {
namespace {

// Below this much detail left for the final filter, decoding at a smaller
// scale starts to show: the decoder's own reduction is a plain block average.
constexpr double kShrinkMargin = 2.0;

bool IsKnownType(int32_t format) {
  return format >= PIXCORE_TYPE_JPEG && format <= PIXCORE_TYPE_HEIF;
}

int32_t CheckReadable(const char* path) {
  struct stat info;
  if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return PIXCORE_ERROR_OPEN;
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return PIXCORE_ERROR_OPEN;
  close(fd);
  return PIXCORE_OK;
}

// Converts to sRGB through the embedded colour profile where there is one,
// else from the colour space libvips read from the file (grey, CMYK, 16 bit).
int32_t ToSrgb8(ImagePtr* image) {
  VipsImage* converted = nullptr;
  if (vips_image_get_typeof(image->get(), VIPS_META_ICC_NAME) != 0) {
    if (vips_icc_transform(image->get(), &converted, "srgb", "embedded", TRUE, nullptr) != 0) {
      // A broken profile should not cost the picture.
      ForgetVipsError();
      converted = nullptr;
    }
  }
  if (converted == nullptr &&
      vips_colourspace(image->get(), &converted, VIPS_INTERPRETATION_sRGB, nullptr) != 0) {
    ForgetVipsError();
    return PIXCORE_ERROR_PROCESS;
  }
  image->reset(converted);
  if (image->get()->BandFmt != VIPS_FORMAT_UCHAR) {
    if (vips_cast_uchar(image->get(), &converted, nullptr) != 0) {
      ForgetVipsError();
      return PIXCORE_ERROR_PROCESS;
    }
    image->reset(converted);
  }
  // Colour plus alpha at most; extra channels carry nothing a photo shows.
  const int bands = image->get()->Bands;
  const int keep = bands >= 4 && vips_image_hasalpha(image->get()) ? 4 : 3;
  if (bands != keep) {
    if (bands < 3 ||
        vips_extract_band(image->get(), &converted, 0, "n", keep, nullptr) != 0) {
      ForgetVipsError();
      return PIXCORE_ERROR_PROCESS;
    }
    image->reset(converted);
  }
  return PIXCORE_OK;
}

}  // namespace

double RoomForBox(int width, int height, int box_width, int box_height) {
  if (width < 1 || height < 1 || box_width < 1 || box_height < 1) return 0;
  const double upright = std::max(double(width) / box_width, double(height) / box_height);
  const double turned = std::max(double(width) / box_height, double(height) / box_width);
  return std::min(upright, turned);
}

int JpegShrinkForRoom(double room) {
  for (int shrink : {8, 4, 2}) {
    if (room >= shrink * kShrinkMargin) return shrink;
  }
  return 1;
}

int32_t OpenPicture(int32_t format, const char* path, int shrink, ImagePtr* header,
                    int32_t* type) {
  if (path == nullptr || *path == '\0') return PIXCORE_ERROR_ARGUMENT;
  if (format != PIXCORE_DETECT_FORMAT && !IsKnownType(format)) return PIXCORE_ERROR_ARGUMENT;
  if (!StartVips()) return PIXCORE_ERROR_INIT;
  if (const int32_t readable = CheckReadable(path); readable != PIXCORE_OK) return readable;

  const char* loader = vips_foreign_find_load(path);
  if (loader == nullptr) {
    ForgetVipsError();
    return PIXCORE_ERROR_FORMAT;
  }
  *type = ImageTypeFromLoader(loader);
  if (*type == PIXCORE_TYPE_NONE || (format != PIXCORE_DETECT_FORMAT && format != *type)) {
    return PIXCORE_ERROR_FORMAT;
  }

  VipsImage* opened = nullptr;
  if (*type == PIXCORE_TYPE_JPEG && shrink > 1) {
    opened = vips_image_new_from_file(path, "access", VIPS_ACCESS_SEQUENTIAL, "fail_on",
                                      VIPS_FAIL_ON_TRUNCATED, "shrink", shrink, nullptr);
  } else {
    opened = vips_image_new_from_file(path, "access", VIPS_ACCESS_SEQUENTIAL, "fail_on",
                                      VIPS_FAIL_ON_TRUNCATED, nullptr);
  }
  if (opened == nullptr) {
    ForgetVipsError();
    return PIXCORE_ERROR_DECODE;
  }
  header->reset(opened);
  return opened->Xsize < 1 || opened->Ysize < 1 ? PIXCORE_ERROR_DECODE : PIXCORE_OK;
}

int32_t DecodePicture(ImagePtr header, ImagePtr* memory_image) {
  ImagePtr image = std::move(header);
  if (const int32_t converted = ToSrgb8(&image); converted != PIXCORE_OK) return converted;
  // Runs the decoder and the conversions once; every later use reads memory.
  VipsImage* decoded = vips_image_copy_memory(image.get());
  if (decoded == nullptr) {
    ForgetVipsError();
    return PIXCORE_ERROR_DECODE;
  }
  memory_image->reset(decoded);
  return PIXCORE_OK;
}

namespace {

int32_t LoadBitmap(int32_t format, const char* path, int box_width, int box_height,
                   int32_t* error_code) {
  int32_t ignored;
  int32_t& code = error_code != nullptr ? *error_code : ignored;
  ImagePtr header;
  int32_t type = PIXCORE_TYPE_NONE;
  code = OpenPicture(format, path, 1, &header, &type);
  if (code != PIXCORE_OK) return 0;
  if (type == PIXCORE_TYPE_JPEG) {
    const int shrink =
        JpegShrinkForRoom(RoomForBox(header->Xsize, header->Ysize, box_width, box_height));
    if (shrink > 1) {
      header.reset();
      code = OpenPicture(type, path, shrink, &header, &type);
      if (code != PIXCORE_OK) return 0;
    }
  }
  // Refused before a byte is decoded: a small file can claim a huge size.
  if (int64_t{header->Xsize} * header->Ysize > kMaxPixels) {
    code = PIXCORE_ERROR_TOO_LARGE;
    return 0;
  }
  ImagePtr decoded;
  code = DecodePicture(std::move(header), &decoded);
  if (code != PIXCORE_OK) return 0;
  const int32_t bitmap = AddBitmap(std::move(decoded));
  if (bitmap == 0) code = PIXCORE_ERROR_TOO_LARGE;
  return bitmap;
}

}  // namespace
}  // namespace snapcrate::pixcore

using namespace snapcrate::pixcore;

extern "C" {

PIXCORE_API int32_t PixCore_GetFileImageSize(int32_t format, const char* path, int32_t* width,
                                             int32_t* height) {
  if (width != nullptr) *width = 0;
  if (height != nullptr) *height = 0;
  if (width == nullptr || height == nullptr) return PIXCORE_ERROR_ARGUMENT;
  ImagePtr header;
  int32_t type = PIXCORE_TYPE_NONE;
  const int32_t code = OpenPicture(format, path, 1, &header, &type);
  if (code != PIXCORE_OK) return code;
  *width = header->Xsize;
  *height = header->Ysize;
  return PIXCORE_OK;
}

PIXCORE_API int32_t PixCore_LoadImage(int32_t format, const char* path, int32_t* error_code) {
  return LoadBitmap(format, path, 0, 0, error_code);
}

PIXCORE_API int32_t PixCore_LoadImageForBox(int32_t format, const char* path, int32_t box_width,
                                            int32_t box_height, int32_t* error_code) {
  return LoadBitmap(format, path, box_width, box_height, error_code);
}

}  // extern "C"
