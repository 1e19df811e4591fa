#pragma once
// A stand-in for the image library in tests: pictures are known by their
// extension, and every picture is 640 x 480 unless its name says otherwise.

#include "app/pictures/picture_probe.h"

namespace snapcrate::testing {

/// ".jpg", ".jpeg", ".tif" and ".png" in any letter case are pictures. A name
/// containing "unreadable" has no size (failure code 103); one containing
/// "empty" reports success with the size 0 x 0.
PictureProbe StandInProbe();

}  // namespace snapcrate::testing
