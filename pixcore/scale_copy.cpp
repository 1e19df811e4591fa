// Drawing one bitmap scaled into another.

#include <algorithm>
#include <mutex>
#include <shared_mutex>

#include "pixcore/bitmap_registry.h"
#include "pixcore/compose.h"
#include "pixcore/image_load.h"
#include "pixcore/pixcore.h"

namespace snapcrate::pixcore {
namespace {

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
    ImagePtr cut_view;
    if (!ScaledPiece(from->image.get(), x, y, width, height, visible, &cut_view))
      return PIXCORE_ERROR_PROCESS;
    piece = InMemory(cut_view.get());
    if (!piece) return PIXCORE_ERROR_PROCESS;
  }

  std::unique_lock writing(onto->lock);
  ImagePtr lazy;
  if (!Compose(onto->image.get(), piece.get(), visible.left, visible.top, &lazy)) {
    return PIXCORE_ERROR_PROCESS;
  }
  // Evaluated now, before the destination's pixels it was read from change.
  const ImagePtr composed = InMemory(lazy.get());
  if (!composed) return PIXCORE_ERROR_PROCESS;
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
