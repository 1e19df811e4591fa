// Saving a bitmap as a JPEG file.

#include <shared_mutex>

#include "pixcore/jpeg_save.h"

#include "pixcore/atomic_file.h"
#include "pixcore/bitmap_registry.h"
#include "pixcore/jpeg_encode.h"
#include "pixcore/pixcore.h"

namespace snapcrate::pixcore {

bool IsOpaqueRgb8(const VipsImage* image) {
  return image->BandFmt == VIPS_FORMAT_UCHAR && image->Bands == 3 &&
         image->Coding == VIPS_CODING_NONE && image->Type == VIPS_INTERPRETATION_sRGB;
}

int32_t EncodeJpeg(VipsImage* image, int quality, std::vector<unsigned char>* encoded) {
  if (IsOpaqueRgb8(image)) {
    // Bitmaps are in memory already; anything else is made so first.
    const ImagePtr pixels = InMemory(image);
    if (!pixels) return PIXCORE_ERROR_PROCESS;
    const auto row = [&pixels](int y) { return VIPS_IMAGE_ADDR(pixels.get(), 0, y); };
    return EncodeRgbJpeg(pixels->Xsize, pixels->Ysize, quality, row, encoded)
               ? PIXCORE_OK
               : PIXCORE_ERROR_PROCESS;
  }
  g_object_ref(image);
  ImagePtr pipeline(image);
  if (vips_image_hasalpha(image)) {
    // JPEG has no transparency; white is what a page behind it usually shows.
    double white[3] = {255.0, 255.0, 255.0};
    VipsArrayDouble* background = vips_array_double_new(white, 3);
    VipsImage* flat = nullptr;
    const int failed = vips_flatten(image, &flat, "background", background, nullptr);
    vips_area_unref(VIPS_AREA(background));
    if (failed != 0) {
      ForgetVipsError();
      return PIXCORE_ERROR_PROCESS;
    }
    pipeline.reset(flat);
    if (flat->BandFmt != VIPS_FORMAT_UCHAR) {
      VipsImage* cast = nullptr;
      if (vips_cast_uchar(flat, &cast, nullptr) != 0) {
        ForgetVipsError();
        return PIXCORE_ERROR_PROCESS;
      }
      pipeline.reset(cast);
    }
  }
  // strip: the pictures go onto web pages, where camera data and profiles
  // only cost bytes (and may tell more than the owner meant to publish).
  void* buffer = nullptr;
  size_t length = 0;
  if (vips_jpegsave_buffer(pipeline.get(), &buffer, &length, "Q", quality, "strip", TRUE,
                           "optimize_coding",
                           OptimiseHuffman(image->Xsize, image->Ysize) ? TRUE : FALSE, nullptr) != 0) {
    ForgetVipsError();
    return PIXCORE_ERROR_PROCESS;
  }
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  encoded->assign(bytes, bytes + length);
  g_free(buffer);
  return PIXCORE_OK;
}

int32_t WriteJpeg(const char* path, const std::vector<unsigned char>& encoded) {
  return snapcrate::WriteFileAtomically(path, encoded.data(), encoded.size()) ? PIXCORE_OK
                                                                               : PIXCORE_ERROR_WRITE;
}

}  // namespace snapcrate::pixcore

using namespace snapcrate::pixcore;

extern "C" PIXCORE_API int32_t PixCore_SaveImageAsJpeg(int32_t bitmap, const char* path,
                                                       int32_t quality) {
  if (path == nullptr || *path == '\0' || quality < 1 || quality > 100) {
    return PIXCORE_ERROR_ARGUMENT;
  }
  const std::shared_ptr<Bitmap> source = FindBitmap(bitmap);
  if (!source) return PIXCORE_ERROR_ARGUMENT;
  std::vector<unsigned char> encoded;
  {
    std::shared_lock reading(source->lock);
    const int32_t code = EncodeJpeg(source->image.get(), quality, &encoded);
    if (code != PIXCORE_OK) return code;
  }
  return WriteJpeg(path, encoded);
}
