#pragma once
// Lanczos3 reduction of 8-bit RGB pictures, the common case of every album
// picture made from its reduced decode and of every thumbnail. libvips 8.14
// runs its horizontal pass as plain C; this one keeps a pixel's three
// channels in one vector register, and its weights exact where libvips
// rounds its 8-bit ones to 1/4096.

#include "pixcore/vips_env.h"

namespace snapcrate::pixcore {

/// `image` (8-bit, 3 bands) reduced to exactly width x height with the
/// lanczos3 kernel (edges extended), as a memory image; null when it is not
/// such a reduction (a size above the image's, another format) or would need
/// too large a buffer of rows, and libvips is left to do it.
ImagePtr ReduceLanczos3(VipsImage* image, int width, int height);

}  // namespace snapcrate::pixcore
