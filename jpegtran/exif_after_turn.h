#pragma once
// Bringing the EXIF block of a JPEG file in line with pixels that were turned.

#include <cstddef>

namespace snapcrate::jpegtran {

/// What UpdateExifAfterTurn changed.
struct ExifChanges {
  bool orientation_reset = false;
  bool dimensions_set = false;
};

/// In the EXIF block of the JPEG data (changed in place, never in length):
/// an Orientation other than 1 becomes 1, since the pixels were turned on
/// purpose and viewers must not turn them again; PixelXDimension and
/// PixelYDimension become the new size when they held the old one, are left
/// when they hold the new one already, and are swapped after a quarter turn
/// otherwise. Broken EXIF data is left alone.
ExifChanges UpdateExifAfterTurn(unsigned char* jpeg, size_t size, int old_width, int old_height,
                                int new_width, int new_height, bool quarter_turn);

}  // namespace snapcrate::jpegtran
