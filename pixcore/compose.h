#pragma once
// Placing a scaled picture on a canvas, shared by drawing into a bitmap and
// by saving a picture on a plain canvas.

#include "pixcore/vips_env.h"

namespace snapcrate::pixcore {

struct Rect {
  int left, top, width, height;
};

/// The part of the rectangle (x, y, width, height) that lies on a canvas of
/// canvas_width x canvas_height; empty (width 0) when none does.
Rect Visible(int64_t x, int64_t y, int64_t width, int64_t height, int canvas_width,
             int canvas_height);

/// Lays `piece` (which may carry alpha) over the destination at (left, top)
/// and gives what to write there, with the destination's bands, as a lazy
/// pipeline that still reads the destination.
bool Compose(VipsImage* destination, VipsImage* piece, int left, int top, ImagePtr* result);

/// `source` scaled to exactly width x height and placed at (x, y), cut to
/// `visible` (Visible's answer for that rectangle): the piece that lands on
/// the canvas, as a lazy pipeline that still reads the source.
bool ScaledPiece(VipsImage* source, int x, int y, int width, int height, const Rect& visible,
                 ImagePtr* piece);

}  // namespace snapcrate::pixcore
