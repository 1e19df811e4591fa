#pragma once
// The scale a JPEG is decoded at for a box. Header only and free of libvips,
// so the benchmarks decode at exactly the scale the library chooses.

#include <algorithm>

namespace snapcrate::pixcore {

// How much larger than the box a picture decoded at a reduced scale must
// stay, so that the lanczos filter still has detail to work with. The
// decoder reduces by a smaller inverse DCT; with half again the pixels left,
// the scaled result differs from a full decode by 47 to 52 dB PSNR on camera
// pictures, far below what saving it at quality 85 changes (35 to 44 dB), and
// the decode of a 12-megapixel picture for 1024 x 768 takes half the time.
inline constexpr double kShrinkMargin = 1.5;

// The same for the direct decoder, whose steps of an eighth leave it less
// above the margin: at 1.4 its result still differs from a full decode by
// more than 47 dB PSNR, as a halving at 1.5 does, and a 12-megapixel picture
// for 1024 x 768 is decoded at 3/8 (1500 x 1125), leaving the filter half the
// pixels of a halving.
inline constexpr double kEighthsMargin = 1.4;

/// How many times a picture of width x height exceeds the box in its tighter
/// direction, the box taken either way round (a later turn by 90 degrees then
/// needs no other box); 0 when the box is no real box (a value below 1).
inline double RoomForBox(int width, int height, int box_width, int box_height) {
  if (width < 1 || height < 1 || box_width < 1 || box_height < 1) return 0;
  const double upright = std::max(double(width) / box_width, double(height) / box_height);
  const double turned = std::max(double(width) / box_height, double(height) / box_width);
  return std::min(upright, turned);
}

/// The JPEG decode scale (1, 2, 4 or 8) for that room: the largest that
/// leaves at least one and a half times the pixels the box needs.
inline int JpegShrinkForRoom(double room) {
  for (int shrink : {8, 4, 2}) {
    if (room >= shrink * kShrinkMargin) return shrink;
  }
  return 1;
}

/// The JPEG decode scale in eighths for the direct decoder: the smallest of
/// 1 to 6 that leaves at least 1.4 times the pixels the box needs, else 8
/// (also for a room of 0: no box).
inline int JpegEighthsForRoom(double room) {
  // 7/8 is skipped: its inverse DCTs (7 x 7, and 14 x 14 for subsampled
  // colour) take longer than a full decode, more than the filter saves.
  for (int eighths : {1, 2, 3, 4, 5, 6}) {
    if (room * eighths >= 8 * kEighthsMargin) return eighths;
  }
  return 8;
}

}  // namespace snapcrate::pixcore
