#pragma once
// Resampling shared by loading and drawing.

#include "pixcore/vips_env.h"

namespace snapcrate::pixcore {

/// Takes the result of a libvips call into the pipeline; false when it failed.
/// The result is read through its address, after the call has run.
bool Step(int failed, VipsImage** result, ImagePtr* pipeline);

/// `image` scaled to exactly width x height with lanczos3, as a lazy pipeline
/// of 8-bit bands. Colour is averaged premultiplied by alpha, so transparent
/// pixels do not bleed their (meaningless) colour into the edges.
bool ScaleExact(VipsImage* image, int width, int height, ImagePtr* scaled);

}  // namespace snapcrate::pixcore
