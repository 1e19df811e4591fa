#include "app/generator/pixcore_bitmaps.h"

#include "app/pictures/image_library.h"
#include "pixcore/pixcore.h"

namespace snapcrate {
namespace {

// Looked up at every call: the library directory may change between calls
// (tests, tools), and the loader then binds the library found there.
template <typename FunctionPointer>
FunctionPointer Bind(const char* symbol) {
  return reinterpret_cast<FunctionPointer>(PixCoreLibrary().Find(symbol));
}

// Calls `symbol`, which makes a new bitmap from `source`; `copy` holds it only
// when that succeeds.
template <typename FunctionPointer, typename... Arguments>
int32_t CopyInto(const char* symbol, int32_t source, PixBitmap& copy, Arguments... arguments) {
  copy.Reset();
  const auto function = Bind<FunctionPointer>(symbol);
  if (!function) return PIXCORE_ERROR_INIT;
  int32_t handle = 0;
  const int32_t code = function(source, &handle, arguments...);
  copy.Reset(handle);
  if (code != PIXCORE_OK) copy.Reset();
  return code;
}

}  // namespace

PixBitmap& PixBitmap::operator=(PixBitmap&& other) noexcept {
  if (this != &other) Reset(other.Release());
  return *this;
}

int32_t PixBitmap::Release() {
  const int32_t handle = handle_;
  handle_ = 0;
  return handle;
}

void PixBitmap::Reset(int32_t handle) {
  if (handle_ != 0 && handle_ != handle) PixCoreDeleteBitmap(handle_);
  handle_ = handle;
}

PixBitmap PixCoreLoadImage(int32_t format, const std::string& path, int32_t& error_code) {
  const auto function = Bind<PixCore_LoadImageFn>("PixCore_LoadImage");
  if (!function) {
    error_code = PIXCORE_ERROR_INIT;
    return PixBitmap();
  }
  error_code = 0;
  PixBitmap bitmap(function(format, path.c_str(), &error_code));
  if (error_code != PIXCORE_OK) bitmap.Reset();
  return bitmap;
}

PixBitmap PixCoreLoadImageForBox(int32_t format, const std::string& path, int32_t box_width,
                                 int32_t box_height, int32_t& error_code) {
  const auto function = Bind<PixCore_LoadImageForBoxFn>("PixCore_LoadImageForBox");
  if (!function) {
    error_code = PIXCORE_ERROR_INIT;
    return PixBitmap();
  }
  error_code = 0;
  PixBitmap bitmap(function(format, path.c_str(), box_width, box_height, &error_code));
  if (error_code != PIXCORE_OK) bitmap.Reset();
  return bitmap;
}

PixBitmap PixCoreLoadImageScaled(int32_t format, const std::string& path, int32_t width,
                                 int32_t height, int32_t& error_code) {
  const auto function = Bind<PixCore_LoadImageScaledFn>("PixCore_LoadImageScaled");
  if (!function) {
    error_code = PIXCORE_ERROR_INIT;
    return PixBitmap();
  }
  error_code = 0;
  PixBitmap bitmap(function(format, path.c_str(), width, height, &error_code));
  if (error_code != PIXCORE_OK) bitmap.Reset();
  return bitmap;
}

int32_t PixCoreGetImageSize(int32_t bitmap, int32_t& width, int32_t& height) {
  width = 0;
  height = 0;
  const auto function = Bind<PixCore_GetImageSizeFn>("PixCore_GetImageSize");
  if (!function) return PIXCORE_ERROR_INIT;
  return function(bitmap, &width, &height);
}

int32_t PixCoreRotateCopy(int32_t source, PixBitmap& rotated, int32_t angle) {
  return CopyInto<PixCore_RotateCopyFn>("PixCore_RotateCopy", source, rotated, angle);
}

int32_t PixCoreScaledCopy(int32_t source, PixBitmap& scaled, int32_t width, int32_t height) {
  return CopyInto<PixCore_ScaledCopyFn>("PixCore_ScaledCopy", source, scaled, width, height);
}

int32_t PixCoreOrientCopy(int32_t source, PixBitmap& oriented, int32_t orientation) {
  return CopyInto<PixCore_OrientCopyFn>("PixCore_OrientCopy", source, oriented, orientation);
}

PixBitmap PixCoreCreateBitmap(int32_t width, int32_t height) {
  const auto function = Bind<PixCore_CreateBitmapFn>("PixCore_CreateBitmap");
  if (!function) return PixBitmap();
  return PixBitmap(function(width, height));
}

int32_t PixCoreFillBitmap(int32_t bitmap, int32_t red, int32_t green, int32_t blue) {
  const auto function = Bind<PixCore_FillBitmapFn>("PixCore_FillBitmap");
  if (!function) return PIXCORE_ERROR_INIT;
  return function(bitmap, red, green, blue);
}

int32_t PixCoreLinearDownScaleCopy(int32_t source, int32_t destination, int32_t x, int32_t y,
                                   int32_t width, int32_t height) {
  const auto function = Bind<PixCore_LinearDownScaleCopyFn>("PixCore_LinearDownScaleCopy");
  if (!function) return PIXCORE_ERROR_INIT;
  return function(source, destination, x, y, width, height);
}

int32_t PixCoreScaleCopy(int32_t source, int32_t destination, int32_t flags) {
  const auto function = Bind<PixCore_ScaleCopyFn>("PixCore_ScaleCopy");
  if (!function) return PIXCORE_ERROR_INIT;
  return function(source, destination, flags);
}

int32_t PixCoreSaveImageAsJpeg(int32_t bitmap, const std::string& path, int32_t quality) {
  const auto function = Bind<PixCore_SaveImageAsJpegFn>("PixCore_SaveImageAsJpeg");
  if (!function) return PIXCORE_ERROR_INIT;
  return function(bitmap, path.c_str(), quality);
}

int32_t PixCoreSaveTileAsJpeg(int32_t source, const std::string& path, int32_t canvas_width,
                              int32_t canvas_height, int32_t x, int32_t y, int32_t width,
                              int32_t height, int32_t red, int32_t green, int32_t blue,
                              int32_t quality) {
  const auto function = Bind<PixCore_SaveTileAsJpegFn>("PixCore_SaveTileAsJpeg");
  if (!function) return PIXCORE_ERROR_INIT;
  return function(source, path.c_str(), canvas_width, canvas_height, x, y, width, height, red,
                  green, blue, quality);
}

int32_t PixCoreDeleteBitmap(int32_t bitmap) {
  const auto function = Bind<PixCore_DeleteBitmapFn>("PixCore_DeleteBitmap");
  if (!function) return PIXCORE_ERROR_INIT;
  return function(bitmap);
}

}  // namespace snapcrate
