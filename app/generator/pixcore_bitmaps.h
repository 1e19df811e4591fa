#pragma once
// The bitmap functions of libpixcore.so: loading, sizing, rotating, drawing
// and saving. Each call looks its function up afresh, so nothing here is
// shared between threads but the library handle; a missing library or
// function answers PIXCORE_ERROR_INIT (and the loader logs it).

#include <cstdint>
#include <string>

namespace snapcrate {

/// Owns one libpixcore bitmap handle and frees it when it goes away.
class PixBitmap {
 public:
  PixBitmap() = default;
  explicit PixBitmap(int32_t handle) : handle_(handle) {}
  ~PixBitmap() { Reset(); }
  PixBitmap(PixBitmap&& other) noexcept : handle_(other.Release()) {}
  PixBitmap& operator=(PixBitmap&& other) noexcept;
  PixBitmap(const PixBitmap&) = delete;
  PixBitmap& operator=(const PixBitmap&) = delete;

  /// The handle, 0 for none; it stays owned here.
  int32_t get() const { return handle_; }
  explicit operator bool() const { return handle_ != 0; }
  /// Gives the handle up without freeing it.
  int32_t Release();
  /// Frees the held bitmap, then holds `handle`.
  void Reset(int32_t handle = 0);

 private:
  int32_t handle_ = 0;
};

/// Decodes the picture at `path`; `error_code` gets 1 on success, else the
/// library's code, and the result then holds nothing.
PixBitmap PixCoreLoadImage(int32_t format, const std::string& path, int32_t& error_code);
/// The same, decoding a JPEG file at a reduced size that still serves a box of
/// `box_width` x `box_height` (values of 0 or less: the full size).
PixBitmap PixCoreLoadImageForBox(int32_t format, const std::string& path, int32_t box_width,
                                 int32_t box_height, int32_t& error_code);
/// The same, decoding and scaling to exactly width x height in one pass, so
/// that only the scaled pixels are held in memory.
PixBitmap PixCoreLoadImageScaled(int32_t format, const std::string& path, int32_t width,
                                 int32_t height, int32_t& error_code);
/// 1 and the bitmap's size, else a failure code with both 0.
int32_t PixCoreGetImageSize(int32_t bitmap, int32_t& width, int32_t& height);
/// 1 and `rotated` holding the source turned clockwise by `angle` degrees,
/// else a failure code with `rotated` empty.
int32_t PixCoreRotateCopy(int32_t source, PixBitmap& rotated, int32_t angle);
/// 1 and `oriented` holding the source turned and mirrored upright from EXIF
/// orientation 1 to 8, else a failure code with `oriented` empty.
int32_t PixCoreOrientCopy(int32_t source, PixBitmap& oriented, int32_t orientation);
/// 1 and `scaled` holding the source scaled to exactly width x height, else a
/// failure code with `scaled` empty.
int32_t PixCoreScaledCopy(int32_t source, PixBitmap& scaled, int32_t width, int32_t height);
/// A black bitmap of width x height; empty when it cannot be made.
PixBitmap PixCoreCreateBitmap(int32_t width, int32_t height);
int32_t PixCoreFillBitmap(int32_t bitmap, int32_t red, int32_t green, int32_t blue);
/// Draws `source` scaled to exactly width x height at (x, y) of `destination`.
int32_t PixCoreLinearDownScaleCopy(int32_t source, int32_t destination, int32_t x, int32_t y,
                                   int32_t width, int32_t height);
/// Draws `source` scaled over the whole `destination`.
int32_t PixCoreScaleCopy(int32_t source, int32_t destination, int32_t flags);
/// Writes the bitmap as a JPEG file; quality 1 to 100.
int32_t PixCoreSaveImageAsJpeg(int32_t bitmap, const std::string& path, int32_t quality);
/// Writes a canvas of canvas_width x canvas_height in one colour with `source`
/// scaled to width x height at (x, y) as a JPEG file, without making the
/// canvas; PIXCORE_ERROR_TOO_LARGE when no such canvas could be made.
int32_t PixCoreSaveTileAsJpeg(int32_t source, const std::string& path, int32_t canvas_width,
                              int32_t canvas_height, int32_t x, int32_t y, int32_t width,
                              int32_t height, int32_t red, int32_t green, int32_t blue,
                              int32_t quality);
int32_t PixCoreDeleteBitmap(int32_t bitmap);

}  // namespace snapcrate
