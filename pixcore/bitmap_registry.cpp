#include "pixcore/bitmap_registry.h"

#include <limits>
#include <mutex>
#include <unordered_map>

namespace snapcrate::pixcore {
namespace {

std::mutex g_mutex;
std::unordered_map<int32_t, std::shared_ptr<Bitmap>> g_bitmaps;
int32_t g_last_handle = 0;

}  // namespace

int32_t AddBitmap(ImagePtr memory_image) {
  if (!memory_image) return 0;
  const int width = memory_image->Xsize;
  const int height = memory_image->Ysize;
  auto bitmap = std::make_shared<Bitmap>(std::move(memory_image), width, height);
  std::lock_guard guard(g_mutex);
  // After 2^31 handles the count starts again, skipping those still alive.
  for (int64_t tries = 0; tries < std::numeric_limits<int32_t>::max(); ++tries) {
    g_last_handle =
        g_last_handle == std::numeric_limits<int32_t>::max() ? 1 : g_last_handle + 1;
    if (g_bitmaps.emplace(g_last_handle, bitmap).second) return g_last_handle;
  }
  return 0;
}

std::shared_ptr<Bitmap> FindBitmap(int32_t handle) {
  std::lock_guard guard(g_mutex);
  auto found = g_bitmaps.find(handle);
  return found == g_bitmaps.end() ? nullptr : found->second;
}

bool RemoveBitmap(int32_t handle) {
  std::shared_ptr<Bitmap> released;
  {
    std::lock_guard guard(g_mutex);
    auto found = g_bitmaps.find(handle);
    if (found == g_bitmaps.end()) return false;
    released = std::move(found->second);
    g_bitmaps.erase(found);
  }
  // The pixels are freed here, outside the lock, unless another call still
  // holds the bitmap.
  return true;
}

}  // namespace snapcrate::pixcore
