// Saving a picture placed on a plain canvas as a JPEG file in one pipeline:
// the scaled picture and the canvas are never held in memory.

#include <algorithm>
#include <shared_mutex>
#include <vector>

#include "pixcore/bitmap_registry.h"
#include "pixcore/compose.h"
#include "pixcore/image_load.h"
#include "pixcore/jpeg_encode.h"
#include "pixcore/jpeg_save.h"
#include "pixcore/pixcore.h"
#include "pixcore/resample.h"

namespace snapcrate::pixcore {
namespace {

// A canvas of one colour, as PixCore_CreateBitmap and PixCore_FillBitmap make
// it, computed on demand.
bool PlainCanvas(int width, int height, double (&ink)[3], ImagePtr* canvas) {
  VipsImage* black = nullptr;
  if (vips_black(&black, width, height, "bands", 3, nullptr) != 0) {
    ForgetVipsError();
    return false;
  }
  ImagePtr pipeline(black);
  VipsImage* out = nullptr;
  if (!Step(vips_copy(pipeline.get(), &out, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr),
            &out, &pipeline)) {
    return false;
  }
  VipsImage* plain = vips_image_new_from_image(pipeline.get(), ink, 3);
  if (plain == nullptr) {
    ForgetVipsError();
    return false;
  }
  canvas->reset(plain);
  return true;
}

// A picture with alpha laid over the canvas and encoded as one libvips
// pipeline.
int32_t EncodeTile(VipsImage* source, int canvas_width, int canvas_height, int x, int y, int width,
                   int height, const Rect& visible, const unsigned char (&colour)[3], int quality,
                   std::vector<unsigned char>* encoded) {
  double ink[3] = {double(colour[0]), double(colour[1]), double(colour[2])};
  ImagePtr canvas;
  if (!PlainCanvas(canvas_width, canvas_height, ink, &canvas)) return PIXCORE_ERROR_PROCESS;
  ImagePtr tile = std::move(canvas);
  if (visible.width > 0) {
    ImagePtr piece;
    if (!ScaledPiece(source, x, y, width, height, visible, &piece)) return PIXCORE_ERROR_PROCESS;
    ImagePtr composed;
    if (!Compose(tile.get(), piece.get(), visible.left, visible.top, &composed)) {
      return PIXCORE_ERROR_PROCESS;
    }
    VipsArrayDouble* background = vips_array_double_new(ink, 3);
    VipsImage* placed = nullptr;
    const int failed = vips_embed(composed.get(), &placed, visible.left, visible.top,
                                  canvas_width, canvas_height, "extend", VIPS_EXTEND_BACKGROUND,
                                  "background", background, nullptr);
    vips_area_unref(VIPS_AREA(background));
    if (failed != 0) {
      ForgetVipsError();
      return PIXCORE_ERROR_PROCESS;
    }
    tile.reset(placed);
  }
  return EncodeJpeg(tile.get(), quality, encoded);
}

// An opaque picture: scaled into memory, and each canvas row put together
// from the colour and the picture's row as the encoder asks for it. The
// same pixels as the pipeline above, at a fraction of its cost for the small
// files of an album.
int32_t EncodeRgbTile(VipsImage* source, int canvas_width, int canvas_height, int x, int y,
                      int width, int height, const Rect& visible,
                      const unsigned char (&colour)[3], int quality,
                      std::vector<unsigned char>* encoded) {
  ImagePtr pixels;
  if (visible.width > 0) {
    ImagePtr scaled;
    if (!ScaleExact(source, width, height, &scaled)) return PIXCORE_ERROR_PROCESS;
    pixels = InMemory(scaled.get());
    if (!pixels) return PIXCORE_ERROR_PROCESS;
  }
  const bool whole = visible.width == canvas_width && visible.height == canvas_height &&
                     x == 0 && y == 0 && width == canvas_width;
  std::vector<unsigned char> line;
  if (!whole) {
    line.resize(size_t(canvas_width) * 3);
    for (size_t i = 0; i < line.size(); i += 3) std::copy(colour, colour + 3, &line[i]);
  }
  const auto row = [&](int row_y) -> const unsigned char* {
    if (whole) return VIPS_IMAGE_ADDR(pixels.get(), 0, row_y);
    unsigned char* out = line.data();
    const int inside = row_y - visible.top;
    if (inside < 0 || inside >= visible.height) {
      // The colour where the picture was last put (rows run top to bottom).
      if (inside == visible.height) {
        for (int i = 0; i < visible.width * 3; i += 3)
          std::copy(colour, colour + 3, out + size_t(visible.left) * 3 + i);
      }
      return out;
    }
    const unsigned char* from = VIPS_IMAGE_ADDR(pixels.get(), visible.left - x, row_y - y);
    std::copy(from, from + size_t(visible.width) * 3, out + size_t(visible.left) * 3);
    return out;
  };
  return EncodeRgbJpeg(canvas_width, canvas_height, quality, row, encoded)
             ? PIXCORE_OK
             : PIXCORE_ERROR_PROCESS;
}

int32_t SaveTile(int32_t source, const char* path, int canvas_width, int canvas_height, int x,
                 int y, int width, int height, int red, int green, int blue, int quality) {
  if (path == nullptr || *path == '\0' || quality < 1 || quality > 100 || width < 1 || height < 1 ||
      canvas_width < 1 || canvas_height < 1) {
    return PIXCORE_ERROR_ARGUMENT;
  }
  if (int64_t{canvas_width} * canvas_height > kMaxPixels) return PIXCORE_ERROR_TOO_LARGE;
  if (!StartVips()) return PIXCORE_ERROR_INIT;
  const std::shared_ptr<Bitmap> from = FindBitmap(source);
  if (!from) return PIXCORE_ERROR_ARGUMENT;
  const unsigned char colour[3] = {static_cast<unsigned char>(std::clamp(red, 0, 255)),
                                   static_cast<unsigned char>(std::clamp(green, 0, 255)),
                                   static_cast<unsigned char>(std::clamp(blue, 0, 255))};
  const Rect visible = Visible(x, y, width, height, canvas_width, canvas_height);
  std::vector<unsigned char> encoded;
  {
    // The pipeline reads the bitmap until the encoder is done.
    std::shared_lock reading(from->lock);
    const int32_t code =
        IsOpaqueRgb8(from->image.get())
            ? EncodeRgbTile(from->image.get(), canvas_width, canvas_height, x, y, width, height,
                            visible, colour, quality, &encoded)
            : EncodeTile(from->image.get(), canvas_width, canvas_height, x, y, width, height,
                         visible, colour, quality, &encoded);
    if (code != PIXCORE_OK) return code;
  }
  return WriteJpeg(path, encoded);
}

}  // namespace
}  // namespace snapcrate::pixcore

extern "C" PIXCORE_API int32_t PixCore_SaveTileAsJpeg(int32_t source, const char* path,
                                                      int32_t canvas_width, int32_t canvas_height,
                                                      int32_t x, int32_t y, int32_t width,
                                                      int32_t height, int32_t red, int32_t green,
                                                      int32_t blue, int32_t quality) {
  return snapcrate::pixcore::SaveTile(source, path, canvas_width, canvas_height, x, y, width,
                                      height, red, green, blue, quality);
}
