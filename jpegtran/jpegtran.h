/* libjpegtran: turns JPEG files by multiples of 90 degrees without decoding
 * them, so no generation of quality is lost. Plain C interface, bound at run
 * time by dlopen/dlsym. Safe to call from several threads at once. */
#ifndef SNAPCRATE_JPEGTRAN_JPEGTRAN_H_
#define SNAPCRATE_JPEGTRAN_JPEGTRAN_H_

#include <stdint.h>

#if defined(JPEGTRAN_BUILDING)
#define JPEGTRAN_API __attribute__((visibility("default")))
#else
#define JPEGTRAN_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes. Failures lie at 100 and above, like those of libpixcore. */
enum {
  JT_OK = 1,
  JT_ERROR_ARGUMENT = 101,  /* NULL or empty path, or an angle not a multiple of 90 */
  JT_ERROR_OPEN = 102,      /* source missing, not a plain file or unreadable */
  JT_ERROR_NOT_JPEG = 103,  /* source is no JPEG file, or too damaged to turn */
  JT_ERROR_WRITE = 104,     /* destination could not be written */
  JT_ERROR_TOO_LARGE = 105  /* source larger than 1 GiB */
};

/* Size of the buffer handed to JT_GetVersion. */
#define JT_VERSION_BUFFER_SIZE 100

/* Writes "jpegtran <version> (libjpeg-turbo <version>)" and a NUL, at most 100
 * bytes. Returns JT_OK, or JT_ERROR_ARGUMENT for a NULL buffer. */
JPEGTRAN_API int32_t JT_GetVersion(char* buffer);

/* Writes the JPEG file source, turned clockwise by angle degrees (90, 180,
 * 270, -90, -180, -270; 0 copies), to destination, which may be the source
 * itself. The picture data is moved, not decoded and encoded again; where the
 * width or height is no multiple of the 8 or 16 pixel blocks, the partial
 * blocks at the edge that would come to lie top or left are cut off. Every
 * marker segment (EXIF, ICC profile, comments) is kept; in the EXIF block the
 * orientation is set to "upright" and the pixel dimensions follow the turn.
 * The destination appears whole or not at all, with the source's permissions.
 * JT_OK, or a failure code with the destination untouched. */
JPEGTRAN_API int32_t JT_Rotate(const char* source, const char* destination, int32_t angle);

/* Pointer types for binding the exports with dlsym. */
typedef int32_t (*JT_GetVersionFn)(char* buffer);
typedef int32_t (*JT_RotateFn)(const char* source, const char* destination, int32_t angle);

#ifdef __cplusplus
}
#endif

#endif /* SNAPCRATE_JPEGTRAN_JPEGTRAN_H_ */
