#pragma once
// Opening picture files: header reading, format checks and decoding into a
// memory image of 8-bit sRGB.

#include <cstdint>

#include "pixcore/decode_scale.h"
#include "pixcore/pixcore.h"
#include "pixcore/vips_env.h"

namespace snapcrate::pixcore {

/// The most pixels one bitmap may hold (about 800 MB of sRGB pixels); a
/// picture whose header claims more is refused before anything is decoded,
/// even where a reduced decode would fit.
inline constexpr int64_t kMaxPixels = PIXCORE_MAX_PIXELS;

/// Opens path lazily, reading its header only. format is PIXCORE_DETECT_FORMAT
/// or the PIXCORE_TYPE_* the file must have; shrink > 1 asks a JPEG decoder to
/// scale down by that factor. PIXCORE_OK, or the failure code.
int32_t OpenPicture(int32_t format, const char* path, int shrink, ImagePtr* header,
                    int32_t* type);

/// Decodes an opened picture into memory as 8-bit sRGB, 3 bands plus alpha
/// where the file has one. PIXCORE_OK, or the failure code.
int32_t DecodePicture(ImagePtr header, ImagePtr* memory_image);

}  // namespace snapcrate::pixcore
