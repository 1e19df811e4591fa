#include "pixcore/resample.h"

#include "pixcore/lanczos.h"

namespace snapcrate::pixcore {

bool Step(int failed, VipsImage** result, ImagePtr* pipeline) {
  if (failed != 0) {
    ForgetVipsError();
    return false;
  }
  pipeline->reset(*result);
  return true;
}

bool ScaleExact(VipsImage* image, int width, int height, ImagePtr* scaled) {
  g_object_ref(image);
  ImagePtr pipeline(image);
  if (image->Xsize == width && image->Ysize == height) {
    *scaled = std::move(pipeline);
    return true;
  }
  const bool alpha = vips_image_hasalpha(image);
  VipsImage* out = nullptr;
  if (alpha && !Step(vips_premultiply(pipeline.get(), &out, nullptr), &out, &pipeline)) {
    return false;
  }
  const double horizontal = double(width) / image->Xsize;
  const double vertical = double(height) / image->Ysize;
  // Opaque 8-bit colour scaled down, every album picture and thumbnail: our
  // own filter, which costs about half of libvips' (pixcore/lanczos.h) and,
  // with exact weights, stays closer to lanczos3 at large ratios, where
  // libvips' 8-bit weights drift.
  if (!alpha && horizontal <= 1.0 && vertical <= 1.0) {
    if (ImagePtr reduced = ReduceLanczos3(image, width, height)) {
      *scaled = std::move(reduced);
      return true;
    }
  }
  // Downwards the filter alone does the work: vips_resize would first
  // average blocks of pixels, which costs a thumbnail several times the time
  // and some of its detail.
  const int failed = horizontal <= 1.0 && vertical <= 1.0
                         ? vips_reduce(pipeline.get(), &out, 1.0 / horizontal, 1.0 / vertical,
                                       "kernel", VIPS_KERNEL_LANCZOS3, nullptr)
                         : vips_resize(pipeline.get(), &out, horizontal, "vscale", vertical,
                                       "kernel", VIPS_KERNEL_LANCZOS3, nullptr);
  if (!Step(failed, &out, &pipeline)) return false;
  if (alpha && !Step(vips_unpremultiply(pipeline.get(), &out, nullptr), &out, &pipeline)) {
    return false;
  }
  // The scale factors are exact in theory; rounding inside the resampler must
  // not cost the caller a pixel row.
  if ((pipeline->Xsize != width || pipeline->Ysize != height) &&
      !Step(vips_embed(pipeline.get(), &out, 0, 0, width, height, "extend", VIPS_EXTEND_COPY,
                       nullptr), &out, &pipeline)) {
    return false;
  }
  if (pipeline->BandFmt != VIPS_FORMAT_UCHAR &&
      !Step(vips_cast_uchar(pipeline.get(), &out, nullptr), &out, &pipeline)) {
    return false;
  }
  *scaled = std::move(pipeline);
  return true;
}

}  // namespace snapcrate::pixcore
