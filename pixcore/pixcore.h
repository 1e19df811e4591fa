/* libpixcore: loads pictures, scales, rotates and fills bitmaps, saves JPEG files
 * and compares files. Plain C interface, bound at run time by dlopen/dlsym; only
 * NUL-terminated byte strings, 32-bit integers and buffers the caller owns cross
 * it. A bitmap is a 32-bit handle (0 = none) to one decoded picture held in
 * memory; whoever receives one frees it with PixCore_DeleteBitmap.
 *
 * Every function may be called from several threads at once. A bitmap may be
 * read (as a source, for its size, for saving) by several threads at once;
 * filling or drawing into it waits until those readers are done. */
#ifndef SNAPCRATE_PIXCORE_PIXCORE_H_
#define SNAPCRATE_PIXCORE_PIXCORE_H_

#include <stdint.h>

#if defined(PIXCORE_BUILDING)
#define PIXCORE_API __attribute__((visibility("default")))
#else
#define PIXCORE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes. Failures lie at 100 and above so that they never meet the
 * small negative codes of the callers, which pass them upwards unchanged. */
enum {
  PIXCORE_OK = 1,
  PIXCORE_FILES_DIFFER = 100,      /* PixCore_CompareFiles: not the same bytes */
  PIXCORE_ERROR_ARGUMENT = 101,    /* NULL pointer, unknown bitmap, value out of range */
  PIXCORE_ERROR_OPEN = 102,        /* file missing, not a plain file or unreadable */
  PIXCORE_ERROR_FORMAT = 103,      /* not a picture format the library reads */
  PIXCORE_ERROR_DECODE = 104,      /* damaged or truncated picture data */
  PIXCORE_ERROR_TOO_LARGE = 105,   /* more pixels than the library holds in memory */
  PIXCORE_ERROR_PROCESS = 106,     /* scaling, rotating or colour conversion failed */
  PIXCORE_ERROR_WRITE = 107,       /* the output file could not be written */
  PIXCORE_ERROR_INIT = 108         /* the imaging library could not start */
};

/* Picture types named by PixCore_GetFileImageType; -1 is "not a picture". */
enum {
  PIXCORE_TYPE_NONE = -1,
  PIXCORE_TYPE_JPEG = 1,
  PIXCORE_TYPE_PNG = 2,
  PIXCORE_TYPE_GIF = 3,
  PIXCORE_TYPE_TIFF = 4,
  PIXCORE_TYPE_WEBP = 5,
  PIXCORE_TYPE_HEIF = 6
};

/* First argument of the loading and sizing functions: find the format from the
 * file's contents. A PIXCORE_TYPE_* value instead demands that format. */
#define PIXCORE_DETECT_FORMAT (-2)

/* Flags of PixCore_ScaleCopy: the high-quality (lanczos3) filter, which every
 * value selects today. */
#define PIXCORE_SCALE_BEST 9736

/* The most pixels a picture may have to be decoded or made: its width times
 * its height as its header claims them, before any pixel is decoded. */
#define PIXCORE_MAX_PIXELS ((int64_t)1 << 28)

/* Size of the buffer handed to the version functions. */
#define PIXCORE_VERSION_BUFFER_SIZE 100

/* Writes "pixcore <version> (libvips <version>)" and a NUL, at most 100 bytes.
 * Returns PIXCORE_OK, or PIXCORE_ERROR_ARGUMENT for a NULL buffer. */
PIXCORE_API int32_t PixCore_GetVersion(char* buffer);

/* The picture type of a file from its name alone ("a.jpg", "sub/a.JPG"): the
 * extension after the last "." of the last path element, in any letter case.
 * -1 for every other name. Nothing is read from disk. */
PIXCORE_API int32_t PixCore_GetFileImageType(const char* name);

/* Width and height of the picture at path, read from its header without
 * decoding pixels. PIXCORE_OK, or a failure code with both set to 0. */
PIXCORE_API int32_t PixCore_GetFileImageSize(int32_t format, const char* path, int32_t* width,
                                             int32_t* height);

/* PixCore_GetFileImageSize plus the EXIF orientation (1 to 8) that decoding
 * would report: the turn and mirror the stored pixels need to stand upright;
 * 1 when the file has none, and always 1 for HEIF, whose decoder turns the
 * picture by its container. The size is the stored one. */
PIXCORE_API int32_t PixCore_GetFileImageInfo(int32_t format, const char* path, int32_t* width,
                                             int32_t* height, int32_t* orientation);

/* Decodes the picture at path once into memory (sRGB, 8 bits, alpha kept; the
 * pixels as stored: no rotation by the EXIF orientation, PixCore_OrientCopy
 * turns them). Returns the bitmap
 * with *error_code = PIXCORE_OK, or 0 with a failure code. */
PIXCORE_API int32_t PixCore_LoadImage(int32_t format, const char* path, int32_t* error_code);

/* Like PixCore_LoadImage, but a JPEG file is decoded at 1/2, 1/4 or 1/8 of its
 * size while the result stays at least twice as large as needed to fill a box
 * of box_width x box_height, in either orientation (so a later rotation by 90
 * degrees needs no other box). Pass the largest width and the largest height
 * of all boxes the bitmap will serve; a box value of 0 or less means the full
 * size is needed. Other formats load at full size. */
PIXCORE_API int32_t PixCore_LoadImageForBox(int32_t format, const char* path, int32_t box_width,
                                            int32_t box_height, int32_t* error_code);

/* Decodes the picture at path and scales it to exactly width x height with the
 * lanczos3 filter (upwards too) in one pass: only the scaled pixels are held
 * in memory. The pixels are those PixCore_LoadImageForBox with that box and
 * then PixCore_LinearDownScaleCopy to that size give (a JPEG file is decoded
 * at a reduced size where that leaves one and a half times the pixels needed); alpha is
 * kept. width and height must be 1 or more. Returns the bitmap with *error_code = PIXCORE_OK, or 0 with a failure
 * code. */
PIXCORE_API int32_t PixCore_LoadImageScaled(int32_t format, const char* path, int32_t width,
                                            int32_t height, int32_t* error_code);

/* Size of a bitmap. PIXCORE_OK, or PIXCORE_ERROR_ARGUMENT with both set to 0. */
PIXCORE_API int32_t PixCore_GetImageSize(int32_t bitmap, int32_t* width, int32_t* height);

/* A new bitmap holding the source turned clockwise by angle degrees (any
 * value; multiples of 90 are exact, other angles widen the picture onto
 * black). The source is untouched. PIXCORE_OK with *rotated set, or a
 * failure code with *rotated = 0. */
PIXCORE_API int32_t PixCore_RotateCopy(int32_t source, int32_t* rotated, int32_t angle);

/* A new bitmap holding the source turned and mirrored as EXIF orientation
 * 1 to 8 asks, so that a picture stored that way stands upright (5 to 8 swap
 * width and height). The source is untouched. PIXCORE_OK with *oriented set,
 * or a failure code with *oriented = 0. */
PIXCORE_API int32_t PixCore_OrientCopy(int32_t source, int32_t* oriented, int32_t orientation);

/* A new bitmap holding the source scaled to exactly width x height with the
 * lanczos3 filter, alpha kept: one scaling shared by several files made from
 * it. The source is untouched. PIXCORE_OK with *scaled set, or a failure code
 * with *scaled = 0. */
PIXCORE_API int32_t PixCore_ScaledCopy(int32_t source, int32_t* scaled, int32_t width,
                                       int32_t height);

/* A new black bitmap of width x height, or 0 when the size is below 1 or too
 * large. */
PIXCORE_API int32_t PixCore_CreateBitmap(int32_t width, int32_t height);

/* Paints the whole bitmap in one colour; components are clamped to 0..255. */
PIXCORE_API int32_t PixCore_FillBitmap(int32_t bitmap, int32_t red, int32_t green, int32_t blue);

/* Draws the source, scaled to exactly width x height with the lanczos3
 * filter, into the destination with its top left corner at (x, y). Parts
 * outside the destination are clipped; transparent parts of the source let the
 * destination show through. Source and destination may be the same bitmap. */
PIXCORE_API int32_t PixCore_LinearDownScaleCopy(int32_t source, int32_t destination, int32_t x,
                                                int32_t y, int32_t width, int32_t height);

/* Draws the source scaled onto the whole destination (its aspect ratio follows
 * the destination's). flags: PIXCORE_SCALE_BEST. */
PIXCORE_API int32_t PixCore_ScaleCopy(int32_t source, int32_t destination, int32_t flags);

/* Writes the bitmap as a baseline sRGB JPEG file without metadata; quality 1
 * (smallest) to 100 (best). Transparency is flattened onto white. The file
 * appears whole or not at all: it is written beside the target under a
 * temporary name and renamed. */
PIXCORE_API int32_t PixCore_SaveImageAsJpeg(int32_t bitmap, const char* path, int32_t quality);

/* Writes, as PixCore_SaveImageAsJpeg does, a canvas of canvas_width x
 * canvas_height in one colour (components clamped to 0..255) with the source
 * drawn on it scaled to exactly width x height at (x, y), clipped as
 * PixCore_LinearDownScaleCopy clips. The file is the same as from
 * PixCore_CreateBitmap, PixCore_FillBitmap, PixCore_LinearDownScaleCopy and
 * PixCore_SaveImageAsJpeg, but neither the canvas nor the scaled picture is
 * held in memory. PIXCORE_ERROR_TOO_LARGE for a canvas PixCore_CreateBitmap
 * would refuse. */
PIXCORE_API int32_t PixCore_SaveTileAsJpeg(int32_t source, const char* path, int32_t canvas_width,
                                           int32_t canvas_height, int32_t x, int32_t y,
                                           int32_t width, int32_t height, int32_t red,
                                           int32_t green, int32_t blue, int32_t quality);

/* Frees a bitmap. PIXCORE_OK, or PIXCORE_ERROR_ARGUMENT for an unknown one. */
PIXCORE_API int32_t PixCore_DeleteBitmap(int32_t bitmap);

/* 0 when both files hold the same bytes, PIXCORE_FILES_DIFFER when they do
 * not, PIXCORE_ERROR_OPEN when either cannot be read. */
PIXCORE_API int32_t PixCore_CompareFiles(const char* new_file, const char* existing_file);

/* Stops the imaging library's threads and frees its caches; called once, when
 * the program is done with pictures (leak checkers and a clean exit need the
 * threads gone). Every later call of the library fails with PIXCORE_ERROR_INIT.
 * PIXCORE_OK. */
PIXCORE_API int32_t PixCore_Shutdown(void);

/* Pointer types for binding the exports with dlsym. */
typedef int32_t (*PixCore_GetVersionFn)(char* buffer);
typedef int32_t (*PixCore_GetFileImageTypeFn)(const char* name);
typedef int32_t (*PixCore_GetFileImageSizeFn)(int32_t format, const char* path, int32_t* width,
                                              int32_t* height);
typedef int32_t (*PixCore_GetFileImageInfoFn)(int32_t format, const char* path, int32_t* width,
                                              int32_t* height, int32_t* orientation);
typedef int32_t (*PixCore_OrientCopyFn)(int32_t source, int32_t* oriented, int32_t orientation);
typedef int32_t (*PixCore_ScaledCopyFn)(int32_t source, int32_t* scaled, int32_t width,
                                        int32_t height);
typedef int32_t (*PixCore_LoadImageFn)(int32_t format, const char* path, int32_t* error_code);
typedef int32_t (*PixCore_LoadImageForBoxFn)(int32_t format, const char* path, int32_t box_width,
                                             int32_t box_height, int32_t* error_code);
typedef int32_t (*PixCore_LoadImageScaledFn)(int32_t format, const char* path, int32_t width,
                                            int32_t height, int32_t* error_code);
typedef int32_t (*PixCore_GetImageSizeFn)(int32_t bitmap, int32_t* width, int32_t* height);
typedef int32_t (*PixCore_RotateCopyFn)(int32_t source, int32_t* rotated, int32_t angle);
typedef int32_t (*PixCore_CreateBitmapFn)(int32_t width, int32_t height);
typedef int32_t (*PixCore_FillBitmapFn)(int32_t bitmap, int32_t red, int32_t green, int32_t blue);
typedef int32_t (*PixCore_LinearDownScaleCopyFn)(int32_t source, int32_t destination, int32_t x,
                                                 int32_t y, int32_t width, int32_t height);
typedef int32_t (*PixCore_ScaleCopyFn)(int32_t source, int32_t destination, int32_t flags);
typedef int32_t (*PixCore_SaveImageAsJpegFn)(int32_t bitmap, const char* path, int32_t quality);
typedef int32_t (*PixCore_SaveTileAsJpegFn)(int32_t source, const char* path,
                                            int32_t canvas_width, int32_t canvas_height, int32_t x,
                                            int32_t y, int32_t width, int32_t height, int32_t red,
                                            int32_t green, int32_t blue, int32_t quality);
typedef int32_t (*PixCore_DeleteBitmapFn)(int32_t bitmap);
typedef int32_t (*PixCore_CompareFilesFn)(const char* new_file, const char* existing_file);
typedef int32_t (*PixCore_ShutdownFn)(void);

#ifdef __cplusplus
}
#endif

#endif /* SNAPCRATE_PIXCORE_PIXCORE_H_ */
