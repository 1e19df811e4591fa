#pragma once
// JPEG encoding shared by saving a bitmap and saving a picture on a canvas.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pixcore/vips_env.h"

namespace snapcrate::pixcore {

/// True for what EncodeRgbJpeg can take straight from memory: 8-bit sRGB,
/// three bands (so no alpha), not coded.
bool IsOpaqueRgb8(const VipsImage* image);

/// Encodes `image` (8-bit sRGB, alpha flattened onto white) as a baseline
/// JPEG without metadata into `encoded`. PIXCORE_OK, or PIXCORE_ERROR_PROCESS.
int32_t EncodeJpeg(VipsImage* image, int quality, std::vector<unsigned char>* encoded);

/// Writes an encoded picture to path whole or not at all.
/// PIXCORE_OK, or PIXCORE_ERROR_WRITE.
int32_t WriteJpeg(const char* path, const std::vector<unsigned char>& encoded);

}  // namespace snapcrate::pixcore
