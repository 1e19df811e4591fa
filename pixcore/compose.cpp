#include "pixcore/compose.h"

#include <algorithm>

#include "pixcore/resample.h"

namespace snapcrate::pixcore {

Rect Visible(int64_t x, int64_t y, int64_t width, int64_t height, int canvas_width,
             int canvas_height) {
  const int64_t left = std::max<int64_t>(x, 0);
  const int64_t top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(x + width, canvas_width);
  const int64_t bottom = std::min<int64_t>(y + height, canvas_height);
  if (right <= left || bottom <= top) return {0, 0, 0, 0};
  return {int(left), int(top), int(right - left), int(bottom - top)};
}

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
    if (!Step(vips_composite2(under.get(), pipeline.get(), &out, VIPS_BLEND_MODE_OVER, nullptr),
              &out, &pipeline)) {
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
  *result = std::move(pipeline);
  return true;
}

bool ScaledPiece(VipsImage* source, int x, int y, int width, int height, const Rect& visible,
                 ImagePtr* piece) {
  ImagePtr scaled;
  if (!ScaleExact(source, width, height, &scaled)) return false;
  VipsImage* cut = nullptr;
  if (vips_extract_area(scaled.get(), &cut, visible.left - x, visible.top - y, visible.width,
                        visible.height, nullptr) != 0) {
    ForgetVipsError();
    return false;
  }
  piece->reset(cut);
  return true;
}

}  // namespace snapcrate::pixcore
