#pragma once
// JPEG encoding shared by saving a bitmap and saving a picture on a canvas.

#include <cstddef>
#include <cstdint>

#include "pixcore/vips_env.h"

namespace snapcrate::pixcore {

/// Encodes `image` (8-bit sRGB, alpha flattened onto white) as a baseline
/// JPEG without metadata into a new buffer the caller frees with g_free.
/// PIXCORE_OK, or PIXCORE_ERROR_PROCESS.
int32_t EncodeJpeg(VipsImage* image, int quality, void** buffer, size_t* length);

/// Writes an encoded buffer to path whole or not at all, and frees it.
/// PIXCORE_OK, or PIXCORE_ERROR_WRITE.
int32_t WriteJpeg(const char* path, void* buffer, size_t length);

}  // namespace snapcrate::pixcore
