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
  VipsImage* memory = vips_image_copy_memory(pipeline.get());
  if (memory == nullptr) {
    ForgetVipsError();
    return PIXCORE_ERROR_PROCESS;
  }
  copy->reset(memory);
  return PIXCORE_OK;
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
  VipsImage* memory = vips_image_copy_memory(pipeline.get());
  if (memory == nullptr) {
    ForgetVipsError();
    return PIXCORE_ERROR_PROCESS;
  }
  rotated->reset(memory);
  return PIXCORE_OK;
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
  VipsImage* memory = vips_image_copy_memory(pipeline.get());
  if (memory == nullptr) {
    ForgetVipsError();
    return PIXCORE_ERROR_PROCESS;
  }
  oriented->reset(memory);
  return PIXCORE_OK;
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
  ImagePtr canvas(vips_image_copy_memory(pipeline.get()));
  if (!canvas) {
    ForgetVipsError();
    return 0;
  }
  return AddBitmap(std::move(canvas));
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
  if (rotated == nullptr) return PIXCORE_ERROR_ARGUMENT;
  *rotated = 0;
  const std::shared_ptr<Bitmap> original = FindBitmap(source);
  if (!original) return PIXCORE_ERROR_ARGUMENT;
  ImagePtr turned;
  {
    std::shared_lock reading(original->lock);
    const int32_t code = Rotate(original->image.get(), ((angle % 360) + 360) % 360, &turned);
    if (code != PIXCORE_OK) return code;
  }
  *rotated = AddBitmap(std::move(turned));
  return *rotated != 0 ? PIXCORE_OK : PIXCORE_ERROR_TOO_LARGE;
}

PIXCORE_API int32_t PixCore_OrientCopy(int32_t source, int32_t* oriented, int32_t orientation) {
  if (oriented == nullptr) return PIXCORE_ERROR_ARGUMENT;
  *oriented = 0;
  if (orientation < 1 || orientation > 8) return PIXCORE_ERROR_ARGUMENT;
  const std::shared_ptr<Bitmap> original = FindBitmap(source);
  if (!original) return PIXCORE_ERROR_ARGUMENT;
  ImagePtr upright;
  {
    std::shared_lock reading(original->lock);
    const int32_t code = Orient(original->image.get(), orientation, &upright);
    if (code != PIXCORE_OK) return code;
  }
  *oriented = AddBitmap(std::move(upright));
  return *oriented != 0 ? PIXCORE_OK : PIXCORE_ERROR_TOO_LARGE;
}

PIXCORE_API int32_t PixCore_ScaledCopy(int32_t source, int32_t* scaled, int32_t width,
                                       int32_t height) {
  if (scaled == nullptr) return PIXCORE_ERROR_ARGUMENT;
  *scaled = 0;
  if (width < 1 || height < 1) return PIXCORE_ERROR_ARGUMENT;
  if (int64_t{width} * height > kMaxPixels) return PIXCORE_ERROR_TOO_LARGE;
  const std::shared_ptr<Bitmap> original = FindBitmap(source);
  if (!original) return PIXCORE_ERROR_ARGUMENT;
  ImagePtr memory;
  {
    std::shared_lock reading(original->lock);
    ImagePtr resized;
    if (!ScaleExact(original->image.get(), width, height, &resized)) return PIXCORE_ERROR_PROCESS;
    memory.reset(vips_image_copy_memory(resized.get()));
  }
  if (!memory) {
    ForgetVipsError();
    return PIXCORE_ERROR_PROCESS;
  }
  *scaled = AddBitmap(std::move(memory));
  return *scaled != 0 ? PIXCORE_OK : PIXCORE_ERROR_TOO_LARGE;
}

PIXCORE_API int32_t PixCore_DeleteBitmap(int32_t bitmap) {
  return RemoveBitmap(bitmap) ? PIXCORE_OK : PIXCORE_ERROR_ARGUMENT;
}

}  // extern "C"
