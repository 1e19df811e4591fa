// Saving a bitmap as a JPEG file.

#include <shared_mutex>

#include "pixcore/jpeg_save.h"

#include "pixcore/atomic_file.h"
#include "pixcore/bitmap_registry.h"
#include "pixcore/pixcore.h"

namespace snapcrate::pixcore {
namespace {

// Optimised Huffman tables take a second pass over the picture which the
// SIMD encoder does not speed up: for a 1024 x 768 picture it quadruples the
// encode (about a tenth of the picture's whole making) and saves about 5 % of
// the file. A thumbnail gains 10 to 15 % at no measurable cost, so pictures
// up to this many pixels keep them.
constexpr int64_t kOptimiseHuffmanUpTo = 512 * 512;

}  // namespace

int32_t EncodeJpeg(VipsImage* image, int quality, void** buffer, size_t* length) {
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
  const bool optimise = int64_t{image->Xsize} * image->Ysize <= kOptimiseHuffmanUpTo;
  if (vips_jpegsave_buffer(pipeline.get(), buffer, length, "Q", quality, "strip", TRUE,
                           "optimize_coding", optimise ? TRUE : FALSE, nullptr) != 0) {
    ForgetVipsError();
    return PIXCORE_ERROR_PROCESS;
  }
  return PIXCORE_OK;
}

int32_t WriteJpeg(const char* path, void* buffer, size_t length) {
  const bool written = snapcrate::WriteFileAtomically(path, buffer, length);
  g_free(buffer);
  return written ? PIXCORE_OK : PIXCORE_ERROR_WRITE;
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
  void* buffer = nullptr;
  size_t length = 0;
  {
    std::shared_lock reading(source->lock);
    const int32_t code = EncodeJpeg(source->image.get(), quality, &buffer, &length);
    if (code != PIXCORE_OK) return code;
  }
  return WriteJpeg(path, buffer, length);
}
