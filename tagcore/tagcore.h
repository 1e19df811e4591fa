/* libtagcore: reads the EXIF block of a JPEG or HEIF file, dumps its entries as
 * text and shifts its date strings. Plain C interface, bound at run time by
 * dlopen/dlsym; only NUL-terminated byte strings, 32-bit integers and buffers the
 * caller owns cross it. The library keeps nothing allocated between calls. */
#ifndef SNAPCRATE_TAGCORE_TAGCORE_H_
#define SNAPCRATE_TAGCORE_TAGCORE_H_

#include <stdint.h>

#if defined(TAGCORE_BUILDING)
#define TAGCORE_API __attribute__((visibility("default")))
#else
#define TAGCORE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes of the dump and date operations. */
enum {
  TAGCORE_OK = 0,
  TAGCORE_CANNOT_OPEN_IMAGE = 1, /* the image file cannot be opened for reading */
  TAGCORE_NO_EXIF = 2,           /* no EXIF APP1 segment before the start of scan, no EXIF item */
  TAGCORE_OUT_OF_MEMORY = 3,     /* no memory for the TIFF data */
  TAGCORE_TRUNCATED = 4,         /* the file is shorter than its EXIF segment */
  TAGCORE_CANNOT_WRITE = 5,      /* output file cannot be created, image not updatable */
  TAGCORE_BAD_TIFF = 6,          /* unknown byte order, a broken TIFF or HEIF structure */
  TAGCORE_NO_DATE = 7,           /* date shift only: the file holds no date entry */
  TAGCORE_WRONG_DATE = 8,        /* date shift only: a date cannot be converted or shifted */
  TAGCORE_WRITE_FAILED = 9       /* date shift only: the shifted file could not be written (disk full, I/O error) */
};

/* Minimal size of the buffer handed to TagCore_GetVersion. */
#define TAGCORE_VERSION_BUFFER_SIZE 13

/* Writes "1.03 Release" and a NUL (13 bytes) into buffer; returns buffer
 * (NULL and nothing written when buffer is NULL). */
TAGCORE_API char* TagCore_GetVersion(char* buffer);

/* Dumps the EXIF entries of imagePath as text lines into a file created (or
 * emptied) at outputPath, or to standard output when outputPath is NULL.
 * The output file is created only once the EXIF data was read. */
TAGCORE_API int32_t TagCore_DumpInfoToFile(const char* imagePath, const char* outputPath);

/* Dumps the EXIF entries of imagePath into buffer (capacity bytes, NUL included).
 * A piece of text that does not fit is dropped whole; the text already in the
 * buffer stays NUL-terminated. A NULL buffer walks the file without output. */
TAGCORE_API int32_t TagCore_DumpInfoToAdr(const char* imagePath, char* buffer, int32_t capacity);

/* Shifts every EXIF date (DateTime, DateTimeOriginal, DateTimeDigitized) of
 * imagePath by seconds, in local time, rewriting the 19 characters of each date
 * value. The whole file is walked first; only when the walk succeeds is a
 * shifted copy written beside it and renamed over it, keeping mode, owner and
 * times, so the file is either untouched or completely shifted, whatever the
 * result and even after a kill. Writes a trace to standard output. */
TAGCORE_API int32_t TagCore_AdjustDateTime(const char* imagePath, int32_t seconds);

/* Pointer types for binding the exports with dlsym. */
typedef char* (*TagCore_GetVersionFn)(char* buffer);
typedef int32_t (*TagCore_DumpInfoToFileFn)(const char* imagePath, const char* outputPath);
typedef int32_t (*TagCore_DumpInfoToAdrFn)(const char* imagePath, char* buffer, int32_t capacity);
typedef int32_t (*TagCore_AdjustDateTimeFn)(const char* imagePath, int32_t seconds);

#ifdef __cplusplus
}
#endif

#endif /* SNAPCRATE_TAGCORE_TAGCORE_H_ */
