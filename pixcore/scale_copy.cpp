// Drawing one bitmap scaled into another.

#include <algorithm>
#include <mutex>
#include <shared_mutex>

#include "pixcore/bitmap_registry.h"
#include "pixcore/image_load.h"
#include "pixcore/pixcore.h"
#include "pixcore/resample.h"

namespace snapcrate::pixcore {
namespace {

struct Rect {
  int left, top, width, height;
};

// The part of the rectangle (x, y, width, height) that lies on a canvas of
// canvas_width x canvas_height; empty when none does.
Rect Visible(int64_t x, int64_t y, int64_t width, int64_t height, int canvas_width,
             int canvas_height) {
  const int64_t left = std::max<int64_t>(x, 0);
  const int64_t top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(x + width, canvas_width);
  const int64_t bottom = std::min<int64_t>(y + height, canvas_height);
  if (right <= left || bottom <= top) return {0, 0, 0, 0};
  return {int(left), int(top), int(right - left), int(bottom - top)};
}

// Lays `piece` (which may carry alpha) over the destination at (left, top)
// and returns what to write there, with the destination's bands.
bool Compose(VipsImage* destination, VipsImage* piece, int left, int top, ImagePtr* result) {
  g_object_ref(piece);
  ImagePtr pipeline(piece);
  VipsImage* out = nullptr;
  const bool piece_alpha = vips_image_hasalpha(piece);
  const bool destination_alpha = vips_image_hasalpha(destination);
  if (piece_alpha) {
    VipsImage* under_view = nullptr;
    if (vips_extract_area(destination, &under_view, left, top, piece->Xsize, piece->Ysize,
                          nullptr) != 0) {
      ForgetVipsError();
      return false;
    }
    ImagePtr under(under_view);
    if (!Step(vips_composite2(under.get(), pipeline.get(), &out, VIPS_BLEND_MODE_OVER, nullptr), &out, &pipeline)) {
      return false;
    }
    if (!destination_alpha &&
        !Step(vips_extract_band(pipeline.get(), &out, 0, "n", 3, nullptr), &out, &pipeline)) {
      return false;
    }
    if (pipeline->BandFmt != VIPS_FORMAT_UCHAR &&
        !Step(vips_cast_uchar(pipeline.get(), &out, nullptr), &out, &pipeline)) {
      return false;
    }
  } else if (destination_alpha) {
    if (!Step(vips_bandjoin_const1(pipeline.get(), &out, 255.0, nullptr), &out, &pipeline)) {
      return false;
    }
  }
  // Evaluated now, before the destination's pixels it was read from change.
  VipsImage* memory = vips_image_copy_memory(pipeline.get());
  if (memory == nullptr) {
    ForgetVipsError();
    return false;
  }
  result->reset(memory);
  return true;
}

int32_t DrawScaled(int32_t source, int32_t destination, int32_t x, int32_t y, int32_t width,
                   int32_t height) {
  if (width < 1 || height < 1) return PIXCORE_ERROR_ARGUMENT;
  const std::shared_ptr<Bitmap> from = FindBitmap(source);
  const std::shared_ptr<Bitmap> onto = FindBitmap(destination);
  if (!from || !onto) return PIXCORE_ERROR_ARGUMENT;
  const Rect visible = Visible(x, y, width, height, onto->width, onto->height);
  if (visible.width == 0) return PIXCORE_OK;

  // Only the visible part of the scaled picture is computed. The two locks are
  // never held together, so drawing a bitmap into itself cannot deadlock.
  ImagePtr piece;
  {
    std::shared_lock reading(from->lock);
    ImagePtr scaled;
    if (!ScaleExact(from->image.get(), width, height, &scaled)) return PIXCORE_ERROR_PROCESS;
    VipsImage* cut = nullptr;
    if (vips_extract_area(scaled.get(), &cut, visible.left - x, visible.top - y, visible.width,
                          visible.height, nullptr) != 0) {
      ForgetVipsError();
      return PIXCORE_ERROR_PROCESS;
    }
    ImagePtr cut_view(cut);
    piece.reset(vips_image_copy_memory(cut_view.get()));
    if (!piece) {
      ForgetVipsError();
      return PIXCORE_ERROR_PROCESS;
    }
  }

  std::unique_lock writing(onto->lock);
  ImagePtr composed;
  if (!Compose(onto->image.get(), piece.get(), visible.left, visible.top, &composed)) {
    return PIXCORE_ERROR_PROCESS;
  }
  if (vips_draw_image(onto->image.get(), composed.get(), visible.left, visible.top, nullptr) !=
      0) {
    ForgetVipsError();
    return PIXCORE_ERROR_PROCESS;
  }
  return PIXCORE_OK;
}

}  // namespace
}  // namespace snapcrate::pixcore

using namespace snapcrate::pixcore;

extern "C" {

PIXCORE_API int32_t PixCore_LinearDownScaleCopy(int32_t source, int32_t destination, int32_t x,
                                                int32_t y, int32_t width, int32_t height) {
  return DrawScaled(source, destination, x, y, width, height);
}

PIXCORE_API int32_t PixCore_ScaleCopy(int32_t source, int32_t destination, int32_t flags) {
  (void)flags;  // Every value asks for the best filter we have.
  const std::shared_ptr<Bitmap> onto = FindBitmap(destination);
  if (!onto) return PIXCORE_ERROR_ARGUMENT;
  return DrawScaled(source, destination, 0, 0, onto->width, onto->height);
}

}  // extern "C"
