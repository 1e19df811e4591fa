#pragma once
// Opening picture files: header reading, format checks and decoding into a
// memory image of 8-bit sRGB.

#include <cstdint>

#include "pixcore/pixcore.h"
#include "pixcore/vips_env.h"

namespace snapcrate::pixcore {

/// The most pixels one bitmap may hold (about 800 MB of sRGB pixels); a
/// picture whose header claims more is refused before anything is decoded,
/// even where a reduced decode would fit.
inline constexpr int64_t kMaxPixels = PIXCORE_MAX_PIXELS;

/// How many times a picture of width x height exceeds the box in its tighter
/// direction, the box taken either way round (a later turn by 90 degrees then
/// needs no other box); 0 when the box is no real box (a value below 1).
double RoomForBox(int width, int height, int box_width, int box_height);

/// The JPEG decode scale (1, 2, 4 or 8) for that room: the largest that
/// leaves at least one and a half times the pixels the box needs.
int JpegShrinkForRoom(double room);

/// The JPEG decode scale in eighths for the direct decoder: the smallest of
/// 1 to 6 that leaves at least 1.4 times the pixels the box needs, else 8
/// (also for a room of 0: no box).
int JpegEighthsForRoom(double room);

/// Opens path lazily, reading its header only. format is PIXCORE_DETECT_FORMAT
/// or the PIXCORE_TYPE_* the file must have; shrink > 1 asks a JPEG decoder to
/// scale down by that factor. PIXCORE_OK, or the failure code.
int32_t OpenPicture(int32_t format, const char* path, int shrink, ImagePtr* header,
                    int32_t* type);

/// Decodes an opened picture into memory as 8-bit sRGB, 3 bands plus alpha
/// where the file has one. PIXCORE_OK, or the failure code.
int32_t DecodePicture(ImagePtr header, ImagePtr* memory_image);

}  // namespace snapcrate::pixcore
