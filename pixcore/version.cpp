#include <cstdio>

#include "pixcore/pixcore.h"
#include "pixcore/vips_env.h"

extern "C" PIXCORE_API int32_t PixCore_GetVersion(char* buffer) {
  if (buffer == nullptr) return PIXCORE_ERROR_ARGUMENT;
  std::snprintf(buffer, PIXCORE_VERSION_BUFFER_SIZE, "pixcore %s (libvips %s)", PIXCORE_VERSION,
                snapcrate::pixcore::LoadVips() ? vips_version_string() : "missing");
  return PIXCORE_OK;
}
