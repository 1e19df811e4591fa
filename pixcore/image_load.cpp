#include "pixcore/image_load.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "pixcore/bitmap_registry.h"
#include "pixcore/header_size.h"
#include "pixcore/image_type.h"
#include "pixcore/jpeg_decode.h"
#include "pixcore/pixcore.h"
#include "pixcore/resample.h"

namespace snapcrate::pixcore {
namespace {


bool IsKnownType(int32_t format) {
  return format >= PIXCORE_TYPE_JPEG && format <= PIXCORE_TYPE_HEIF;
}

// The format a file's first bytes name, for the formats cameras and editors
// write; PIXCORE_TYPE_NONE leaves the question to libvips, whose own search
// opens the file once for every loader it has.
int32_t TypeFromMagic(const unsigned char* bytes, size_t length) {
  const auto starts = [&](const char* magic, size_t size, size_t at = 0) {
    return length >= at + size && std::memcmp(bytes + at, magic, size) == 0;
  };
  if (starts("\xFF\xD8", 2)) return PIXCORE_TYPE_JPEG;
  if (starts("\x89PNG\r\n\x1A\n", 8)) return PIXCORE_TYPE_PNG;
  if (starts("GIF8", 4)) return PIXCORE_TYPE_GIF;
  if (starts("II*\0", 4) || starts("MM\0*", 4) || starts("II+\0", 4) || starts("MM\0+", 4))
    return PIXCORE_TYPE_TIFF;
  if (starts("RIFF", 4) && starts("WEBP", 4, 8)) return PIXCORE_TYPE_WEBP;
  return PIXCORE_TYPE_NONE;
}

// A plain file that can be read; its first bytes go to `magic`.
int32_t CheckReadable(const char* path, unsigned char (&magic)[12], size_t* magic_length) {
  *magic_length = 0;
  struct stat info;
  if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return PIXCORE_ERROR_OPEN;
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return PIXCORE_ERROR_OPEN;
  const ssize_t got = read(fd, magic, sizeof magic);
  close(fd);
  if (got > 0) *magic_length = static_cast<size_t>(got);
  return PIXCORE_OK;
}

// Opens the file with the loader of its type, reading the header only.
VipsImage* OpenWithLoader(int32_t type, const char* path, int shrink) {
  VipsImage* opened = nullptr;
  constexpr auto kAccess = VIPS_ACCESS_SEQUENTIAL;
  constexpr auto kFailOn = VIPS_FAIL_ON_TRUNCATED;
  int failed = -1;
  switch (type) {
    case PIXCORE_TYPE_JPEG:
      failed = shrink > 1 ? vips_jpegload(path, &opened, "access", kAccess, "fail_on", kFailOn,
                                          "shrink", shrink, nullptr)
                          : vips_jpegload(path, &opened, "access", kAccess, "fail_on", kFailOn, nullptr);
      break;
    case PIXCORE_TYPE_PNG:
      failed = vips_pngload(path, &opened, "access", kAccess, "fail_on", kFailOn, nullptr);
      break;
    case PIXCORE_TYPE_GIF:
      failed = vips_gifload(path, &opened, "access", kAccess, "fail_on", kFailOn, nullptr);
      break;
    case PIXCORE_TYPE_TIFF:
      failed = vips_tiffload(path, &opened, "access", kAccess, "fail_on", kFailOn, nullptr);
      break;
    case PIXCORE_TYPE_WEBP:
      failed = vips_webpload(path, &opened, "access", kAccess, "fail_on", kFailOn, nullptr);
      break;
    case PIXCORE_TYPE_HEIF:
      failed = vips_heifload(path, &opened, "access", kAccess, "fail_on", kFailOn, nullptr);
      break;
    default:
      break;
  }
  if (failed != 0) {
    if (opened != nullptr) g_object_unref(opened);
    return nullptr;
  }
  return opened;
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

int32_t OpenPicture(int32_t format, const char* path, int shrink, ImagePtr* header,
                    int32_t* type) {
  if (path == nullptr || *path == '\0') return PIXCORE_ERROR_ARGUMENT;
  if (format != PIXCORE_DETECT_FORMAT && !IsKnownType(format)) return PIXCORE_ERROR_ARGUMENT;
  if (!StartVips()) return PIXCORE_ERROR_INIT;
  unsigned char magic[12];
  size_t magic_length = 0;
  if (const int32_t readable = CheckReadable(path, magic, &magic_length); readable != PIXCORE_OK) {
    return readable;
  }

  *type = TypeFromMagic(magic, magic_length);
  if (*type == PIXCORE_TYPE_NONE) {
    const char* loader = vips_foreign_find_load(path);
    if (loader == nullptr) {
      ForgetVipsError();
      return PIXCORE_ERROR_FORMAT;
    }
    *type = ImageTypeFromLoader(loader);
  }
  if (*type == PIXCORE_TYPE_NONE || (format != PIXCORE_DETECT_FORMAT && format != *type)) {
    return PIXCORE_ERROR_FORMAT;
  }

  // The loader is called directly: libvips would search for it again, and
  // would read a name ending in "]" as carrying load options.
  VipsImage* opened = OpenWithLoader(*type, path, shrink);
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
  *memory_image = InMemory(image.get());
  return *memory_image ? PIXCORE_OK : PIXCORE_ERROR_DECODE;
}

namespace {

bool ClaimsTooManyPixels(const VipsImage* header) {
  return int64_t{header->Xsize} * header->Ysize > kMaxPixels;
}

// Plain JPEGs skip libvips' loader; everything else, damaged files included,
// still goes through it.
bool DecodesPlainly(int32_t format, const char* path, int box_width, int box_height,
                    ImagePtr* image) {
  if (path == nullptr || (format != PIXCORE_DETECT_FORMAT && format != PIXCORE_TYPE_JPEG) ||
      !StartVips())
    return false;
  return DecodePlainJpeg(path, box_width, box_height, image);
}

int32_t Register(ImagePtr memory_image, int32_t* code) {
  const int32_t bitmap = AddBitmap(std::move(memory_image));
  *code = bitmap == 0 ? PIXCORE_ERROR_TOO_LARGE : PIXCORE_OK;
  return bitmap;
}

int32_t LoadBitmap(int32_t format, const char* path, int box_width, int box_height,
                   int32_t* error_code) {
  int32_t ignored;
  int32_t& code = error_code != nullptr ? *error_code : ignored;
  if (ImagePtr plain; DecodesPlainly(format, path, box_width, box_height, &plain)) {
    return Register(std::move(plain), &code);
  }
  ImagePtr header;
  int32_t type = PIXCORE_TYPE_NONE;
  code = OpenPicture(format, path, 1, &header, &type);
  if (code != PIXCORE_OK) return 0;
  // Refused before a byte is decoded: a small file can claim a huge size,
  // and a reduced decode of it would still take all that time.
  if (ClaimsTooManyPixels(header.get())) {
    code = PIXCORE_ERROR_TOO_LARGE;
    return 0;
  }
  if (type == PIXCORE_TYPE_JPEG) {
    const int shrink =
        JpegShrinkForRoom(RoomForBox(header->Xsize, header->Ysize, box_width, box_height));
    if (shrink > 1) {
      header.reset();
      code = OpenPicture(type, path, shrink, &header, &type);
      if (code != PIXCORE_OK) return 0;
    }
  }
  ImagePtr decoded;
  code = DecodePicture(std::move(header), &decoded);
  if (code != PIXCORE_OK) return 0;
  const int32_t bitmap = AddBitmap(std::move(decoded));
  if (bitmap == 0) code = PIXCORE_ERROR_TOO_LARGE;
  return bitmap;
}

// Opens a picture libvips decodes for a scaled load, as a lazy 8-bit sRGB
// pipeline: its rows go straight into the filter.
int32_t OpenForScaling(int32_t format, const char* path, int width, int height, ImagePtr* image) {
  ImagePtr header;
  int32_t type = PIXCORE_TYPE_NONE;
  int32_t code = OpenPicture(format, path, 1, &header, &type);
  if (code != PIXCORE_OK) return code;
  // The same limit as a full decode, so both loads accept the same files.
  if (ClaimsTooManyPixels(header.get())) return PIXCORE_ERROR_TOO_LARGE;
  if (type == PIXCORE_TYPE_JPEG) {
    const int shrink = JpegShrinkForRoom(RoomForBox(header->Xsize, header->Ysize, width, height));
    if (shrink > 1) {
      header.reset();
      code = OpenPicture(type, path, shrink, &header, &type);
      if (code != PIXCORE_OK) return code;
    }
  }
  *image = std::move(header);
  return ToSrgb8(image);
}

// Only the scaled pixels are kept: libvips' decoder hands its rows straight
// to the filter, and a plain JPEG's reduced decode is freed once filtered.
int32_t LoadScaledBitmap(int32_t format, const char* path, int width, int height,
                         int32_t* error_code) {
  int32_t ignored;
  int32_t& code = error_code != nullptr ? *error_code : ignored;
  if (width < 1 || height < 1 || int64_t{width} * height > kMaxPixels) {
    code = PIXCORE_ERROR_ARGUMENT;
    return 0;
  }
  ImagePtr image;
  if (!DecodesPlainly(format, path, width, height, &image)) {
    code = OpenForScaling(format, path, width, height, &image);
    if (code != PIXCORE_OK) return 0;
  }
  ImagePtr scaled;
  if (!ScaleExact(image.get(), width, height, &scaled)) {
    code = PIXCORE_ERROR_PROCESS;
    return 0;
  }
  // Decoding happens here; a damaged file fails now.
  ImagePtr memory = InMemory(scaled.get());
  if (!memory) {
    code = PIXCORE_ERROR_DECODE;
    return 0;
  }
  return Register(std::move(memory), &code);
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
  if (HeaderSize(path, format, width, height)) return PIXCORE_OK;
  ImagePtr header;
  int32_t type = PIXCORE_TYPE_NONE;
  const int32_t code = OpenPicture(format, path, 1, &header, &type);
  if (code != PIXCORE_OK) return code;
  *width = header->Xsize;
  *height = header->Ysize;
  return PIXCORE_OK;
}

PIXCORE_API int32_t PixCore_GetFileImageInfo(int32_t format, const char* path, int32_t* width,
                                             int32_t* height, int32_t* orientation) {
  if (width != nullptr) *width = 0;
  if (height != nullptr) *height = 0;
  if (orientation != nullptr) *orientation = 1;
  if (width == nullptr || height == nullptr || orientation == nullptr) return PIXCORE_ERROR_ARGUMENT;
  if (HeaderSize(path, format, width, height, orientation)) return PIXCORE_OK;
  ImagePtr header;
  int32_t type = PIXCORE_TYPE_NONE;
  const int32_t code = OpenPicture(format, path, 1, &header, &type);
  if (code != PIXCORE_OK) return code;
  *width = header->Xsize;
  *height = header->Ysize;
  // The HEIF decoder has turned the picture by its container already.
  *orientation = type == PIXCORE_TYPE_HEIF ? 1 : vips_image_get_orientation(header.get());
  return PIXCORE_OK;
}

PIXCORE_API int32_t PixCore_LoadImage(int32_t format, const char* path, int32_t* error_code) {
  return LoadBitmap(format, path, 0, 0, error_code);
}

PIXCORE_API int32_t PixCore_LoadImageForBox(int32_t format, const char* path, int32_t box_width,
                                            int32_t box_height, int32_t* error_code) {
  return LoadBitmap(format, path, box_width, box_height, error_code);
}

PIXCORE_API int32_t PixCore_LoadImageScaled(int32_t format, const char* path, int32_t width,
                                            int32_t height, int32_t* error_code) {
  return LoadScaledBitmap(format, path, width, height, error_code);
}

}  // extern "C"
