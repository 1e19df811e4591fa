// Whole-bitmap operations: create, fill, size, rotate, orient, delete.

#include <algorithm>
#include <mutex>
#include <shared_mutex>

#include "pixcore/bitmap_registry.h"
#include "pixcore/image_load.h"
#include "pixcore/pixcore.h"
#include "pixcore/resample.h"

namespace snapcrate::pixcore {
namespace {

// A new, unshared memory image with the pixels of `image` (a memory image
// would otherwise be handed back as it is, and drawing into the copy would
// change the original).
int32_t CopyToNewMemory(VipsImage* image, ImagePtr* copy) {
  VipsImage* view = nullptr;
  if (vips_copy(image, &view, nullptr) != 0) {
    ForgetVipsError();
    return PIXCORE_ERROR_PROCESS;
  }
  ImagePtr pipeline(view);
  *copy = InMemory(pipeline.get());
  return *copy ? PIXCORE_OK : PIXCORE_ERROR_PROCESS;
}

int32_t Rotate(VipsImage* image, int angle, ImagePtr* rotated) {
  VipsImage* turned = nullptr;
  int failed = 0;
  switch (angle) {
    case 0:
      return CopyToNewMemory(image, rotated);
    case 90:
      failed = vips_rot(image, &turned, VIPS_ANGLE_D90, nullptr);
      break;
    case 180:
      failed = vips_rot(image, &turned, VIPS_ANGLE_D180, nullptr);
      break;
    case 270:
      failed = vips_rot(image, &turned, VIPS_ANGLE_D270, nullptr);
      break;
    default:
      failed = vips_rotate(image, &turned, double(angle), nullptr);
      break;
  }
  if (failed != 0) {
    ForgetVipsError();
    return PIXCORE_ERROR_PROCESS;
  }
  ImagePtr pipeline(turned);
  if (int64_t{turned->Xsize} * turned->Ysize > kMaxPixels) return PIXCORE_ERROR_TOO_LARGE;
  if (turned->BandFmt != VIPS_FORMAT_UCHAR) {
    VipsImage* cast = nullptr;
    if (vips_cast_uchar(turned, &cast, nullptr) != 0) {
      ForgetVipsError();
      return PIXCORE_ERROR_PROCESS;
    }
    pipeline.reset(cast);
  }
  *rotated = InMemory(pipeline.get());
  return *rotated ? PIXCORE_OK : PIXCORE_ERROR_PROCESS;
}

// The turn and mirror that make a picture stored with EXIF `orientation`
// upright: 2 to 8 as the EXIF standard counts them.
int32_t Orient(VipsImage* image, int orientation, ImagePtr* oriented) {
  // Clockwise quarter turns first, then a mirror left to right.
  static constexpr struct {
    int angle;
    bool mirror;
  } kSteps[9] = {{0, false},   {0, false},   {0, true},   {180, false}, {180, true},
                 {90, true},   {90, false},  {270, true}, {270, false}};
  const auto step = kSteps[orientation];
  if (!step.mirror) return Rotate(image, step.angle, oriented);
  ImagePtr pipeline;
  VipsImage* source = image;
  if (step.angle != 0) {
    VipsImage* turned = nullptr;
    const VipsAngle angle = step.angle == 90 ? VIPS_ANGLE_D90 : step.angle == 180 ? VIPS_ANGLE_D180 : VIPS_ANGLE_D270;
    if (vips_rot(image, &turned, angle, nullptr) != 0) {
      ForgetVipsError();
      return PIXCORE_ERROR_PROCESS;
    }
    pipeline.reset(turned);
    source = turned;
  }
  VipsImage* flipped = nullptr;
  if (vips_flip(source, &flipped, VIPS_DIRECTION_HORIZONTAL, nullptr) != 0) {
    ForgetVipsError();
    return PIXCORE_ERROR_PROCESS;
  }
  pipeline.reset(flipped);
  *oriented = InMemory(pipeline.get());
  return *oriented ? PIXCORE_OK : PIXCORE_ERROR_PROCESS;
}

// A new bitmap made by `make` from the pixels of `source`, read under its
// lock, into *copy (0 on any failure). `valid` is the caller's verdict on its
// other arguments.
template <typename Make>
int32_t CopyBitmap(int32_t source, int32_t* copy, int32_t valid, Make make) {
  if (copy == nullptr) return PIXCORE_ERROR_ARGUMENT;
  *copy = 0;
  if (valid != PIXCORE_OK) return valid;
  const std::shared_ptr<Bitmap> original = FindBitmap(source);
  if (!original) return PIXCORE_ERROR_ARGUMENT;
  ImagePtr made;
  {
    std::shared_lock reading(original->lock);
    const int32_t code = make(original->image.get(), &made);
    if (code != PIXCORE_OK) return code;
  }
  *copy = AddBitmap(std::move(made));
  return *copy != 0 ? PIXCORE_OK : PIXCORE_ERROR_TOO_LARGE;
}

}  // namespace
}  // namespace snapcrate::pixcore

using namespace snapcrate::pixcore;

extern "C" {

PIXCORE_API int32_t PixCore_CreateBitmap(int32_t width, int32_t height) {
  if (width < 1 || height < 1 || int64_t{width} * height > kMaxPixels) return 0;
  if (!StartVips()) return 0;
  VipsImage* black = nullptr;
  if (vips_black(&black, width, height, "bands", 3, nullptr) != 0) {
    ForgetVipsError();
    return 0;
  }
  ImagePtr pipeline(black);
  VipsImage* tagged = nullptr;
  if (vips_copy(black, &tagged, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr) != 0) {
    ForgetVipsError();
    return 0;
  }
  pipeline.reset(tagged);
  ImagePtr canvas = InMemory(pipeline.get());
  return canvas ? AddBitmap(std::move(canvas)) : 0;
}

PIXCORE_API int32_t PixCore_FillBitmap(int32_t bitmap, int32_t red, int32_t green,
                                       int32_t blue) {
  const std::shared_ptr<Bitmap> target = FindBitmap(bitmap);
  if (!target) return PIXCORE_ERROR_ARGUMENT;
  double ink[4] = {double(std::clamp(red, 0, 255)), double(std::clamp(green, 0, 255)),
                   double(std::clamp(blue, 0, 255)), 255.0};
  std::unique_lock writing(target->lock);
  VipsImage* image = target->image.get();
  if (vips_draw_rect(image, ink, image->Bands, 0, 0, target->width, target->height, "fill",
                     TRUE, nullptr) != 0) {
    ForgetVipsError();
    return PIXCORE_ERROR_PROCESS;
  }
  return PIXCORE_OK;
}

PIXCORE_API int32_t PixCore_GetImageSize(int32_t bitmap, int32_t* width, int32_t* height) {
  const std::shared_ptr<Bitmap> found = FindBitmap(bitmap);
  if (width != nullptr) *width = found ? found->width : 0;
  if (height != nullptr) *height = found ? found->height : 0;
  return found && width != nullptr && height != nullptr ? PIXCORE_OK : PIXCORE_ERROR_ARGUMENT;
}

PIXCORE_API int32_t PixCore_RotateCopy(int32_t source, int32_t* rotated, int32_t angle) {
  return CopyBitmap(source, rotated, PIXCORE_OK, [angle](VipsImage* image, ImagePtr* turned) {
    return Rotate(image, ((angle % 360) + 360) % 360, turned);
  });
}

PIXCORE_API int32_t PixCore_OrientCopy(int32_t source, int32_t* oriented, int32_t orientation) {
  const int32_t valid = orientation >= 1 && orientation <= 8 ? PIXCORE_OK : PIXCORE_ERROR_ARGUMENT;
  return CopyBitmap(source, oriented, valid, [orientation](VipsImage* image, ImagePtr* upright) {
    return Orient(image, orientation, upright);
  });
}

PIXCORE_API int32_t PixCore_ScaledCopy(int32_t source, int32_t* scaled, int32_t width,
                                       int32_t height) {
  const int32_t valid = width < 1 || height < 1                      ? PIXCORE_ERROR_ARGUMENT
                        : int64_t{width} * height > kMaxPixels ? PIXCORE_ERROR_TOO_LARGE
                                                               : PIXCORE_OK;
  return CopyBitmap(source, scaled, valid, [width, height](VipsImage* image, ImagePtr* resized) {
    ImagePtr lazy;
    if (!ScaleExact(image, width, height, &lazy)) return PIXCORE_ERROR_PROCESS;
    *resized = InMemory(lazy.get());
    return *resized ? PIXCORE_OK : PIXCORE_ERROR_PROCESS;
  });
}

PIXCORE_API int32_t PixCore_DeleteBitmap(int32_t bitmap) {
  return RemoveBitmap(bitmap) ? PIXCORE_OK : PIXCORE_ERROR_ARGUMENT;
}

}  // extern "C"
