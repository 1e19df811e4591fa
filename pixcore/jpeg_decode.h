#pragma once
// Plain JPEGs decoded with libjpeg directly, at any scale of eighths: libvips'
// loader offers only 1/2, 1/4 and 1/8, and its row hand-overs cost a fifth
// of the decode again. Anything not plain is left to libvips.

#include "pixcore/vips_env.h"

namespace snapcrate::pixcore {

/// Decodes the JPEG at path at the scale JpegEighthsForRoom gives for the
/// box (a box value below 1: full size) into a memory image of 8-bit sRGB,
/// 3 bands. Only plain files: 8-bit YCbCr, RGB or grey, no colour profile,
/// no refused size, not a single warning from the decoder. False for anything else (nothing is reported): libvips then
/// opens the file as ever, converts its colours and judges its damage.
/// Needs StartVips().
bool DecodePlainJpeg(const char* path, int box_width, int box_height, ImagePtr* image);

}  // namespace snapcrate::pixcore
