#pragma once
// Bitmaps behind 32-bit handles. Handles are never reused while the process
// runs, so a stale or doubly freed handle is refused instead of touching
// another picture, and a bitmap freed while another thread still uses it lives
// until that use ends.

#include <cstdint>
#include <memory>
#include <shared_mutex>

#include "pixcore/vips_env.h"

namespace snapcrate::pixcore {

/// One decoded picture in memory: 8-bit sRGB, 3 bands or 3 + alpha.
struct Bitmap {
  Bitmap(ImagePtr memory_image, int image_width, int image_height)
      : image(std::move(memory_image)), width(image_width), height(image_height) {}

  /// Shared while pixels are read, exclusive while they are written in place.
  std::shared_mutex lock;
  ImagePtr image;
  const int width;
  const int height;
};

/// Registers a memory image and returns its new handle; 0 when none is free.
int32_t AddBitmap(ImagePtr memory_image);

/// The bitmap behind a handle; null for 0 or an unknown handle.
std::shared_ptr<Bitmap> FindBitmap(int32_t handle);

/// Forgets a handle; false when it is unknown.
bool RemoveBitmap(int32_t handle);

}  // namespace snapcrate::pixcore
