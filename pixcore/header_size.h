#pragma once
// Picture sizes read straight from JPEG and PNG headers, without starting
// libvips: an album generation asks for the size of every picture and of
// every file it made, and most of those questions need no decoder.

#include <cstdint>

#include "pixcore/pixcore.h"

namespace snapcrate::pixcore {

/// The size a JPEG frame or a PNG header gives for the file at path, when
/// format (PIXCORE_DETECT_FORMAT or a PIXCORE_TYPE_*) allows its type and
/// the header is plain and whole (8-bit baseline, extended or progressive
/// JPEG frame followed by a scan; PNG header with a correct checksum). False
/// leaves the question to the decoder, which also judges damaged files.
/// `orientation` (may be null) gets the EXIF orientation 1 to 8 as libvips
/// would read it, 1 when there is none.
bool HeaderSize(const char* path, int32_t format, int32_t* width, int32_t* height,
                int32_t* orientation = nullptr);

}  // namespace snapcrate::pixcore
