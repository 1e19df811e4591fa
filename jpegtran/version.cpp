#include <cstdio>

#include "jpegtran/jpegtran.h"

extern "C" JPEGTRAN_API int32_t JT_GetVersion(char* buffer) {
  if (buffer == nullptr) return JT_ERROR_ARGUMENT;
  std::snprintf(buffer, JT_VERSION_BUFFER_SIZE, "jpegtran %s (libjpeg-turbo %s)", JPEGTRAN_VERSION,
                TURBOJPEG_VERSION);
  return JT_OK;
}
