// The picture quality of an album: each scaled file against a reference made
// from the original at full resolution (no reduced decode, no block
// averaging) by the lanczos3 filter alone, to the file's own size.
//
// The reference is filtered in floating point. libvips' 8-bit reduce rounds
// its weights to 1/4096 and the sum drifts as the ratio grows: at 25 times
// (the thumbnails) it comes out about 1.2 levels darker than an exact
// lanczos3, a flat grey of 200 two levels darker; its float path matches a
// double-precision lanczos3 to within a thousandth of a level. The scaled file
// is compared with the float reference clipped to 0..255, the range an 8-bit
// file can hold, not rounded: rounding would add an error of its own and pick
// one of two equally good values where the exact one lies half-way.
//
//   suite_quality ORIGINAL TURN SCALED [ORIGINAL TURN SCALED ...]
//
// TURN is the clockwise turn in degrees (0, 90, 180 or 270) the album gave
// the picture. Prints one line per file: "PSNR_DB SCALED"; exits 1 when a
// file cannot be read.

#include <vips/vips.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

struct Owned {
  VipsImage* image = nullptr;
  Owned() = default;
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() {
    if (image) g_object_unref(image);
  }
  // Replaces the image with the step's result; false when the step failed. The
  // result is taken by reference: it is written by the step, an argument evaluated
  // in the same call.
  bool Take(int failed, VipsImage*& result) {
    if (failed != 0) return false;
    if (image) g_object_unref(image);
    image = result;
    return true;
  }
};

// 8-bit sRGB, three bands: what the album's JPEGs hold.
bool Srgb8(Owned& picture) {
  VipsImage* out = nullptr;
  if (!picture.Take(vips_colourspace(picture.image, &out, VIPS_INTERPRETATION_sRGB, nullptr), out))
    return false;
  if (vips_image_hasalpha(picture.image)) {
    double white[3] = {255, 255, 255};
    VipsArrayDouble* background = vips_array_double_new(white, 3);
    const int failed = vips_flatten(picture.image, &out, "background", background, nullptr);
    vips_area_unref(VIPS_AREA(background));
    if (!picture.Take(failed, out)) return false;
  }
  if (picture.image->Bands > 3 &&
      !picture.Take(vips_extract_band(picture.image, &out, 0, "n", 3, nullptr), out))
    return false;
  return picture.Take(vips_cast_uchar(picture.image, &out, nullptr), out);
}

bool Psnr(const char* original, int turn, const char* scaled_path, double& psnr) {
  Owned reference, scaled;
  reference.image = vips_image_new_from_file(original, nullptr);
  scaled.image = vips_image_new_from_file(scaled_path, nullptr);
  if (!reference.image || !scaled.image || !Srgb8(reference) || !Srgb8(scaled)) return false;
  VipsImage* out = nullptr;
  const VipsAngle angle = turn == 90    ? VIPS_ANGLE_D90
                          : turn == 180 ? VIPS_ANGLE_D180
                          : turn == 270 ? VIPS_ANGLE_D270
                                        : VIPS_ANGLE_D0;
  if (angle != VIPS_ANGLE_D0 && !reference.Take(vips_rot(reference.image, &out, angle, nullptr), out))
    return false;
  if (!reference.Take(vips_cast_float(reference.image, &out, nullptr), out)) return false;
  const double horizontal = double(reference.image->Xsize) / scaled.image->Xsize;
  const double vertical = double(reference.image->Ysize) / scaled.image->Ysize;
  if (!reference.Take(vips_reduce(reference.image, &out, horizontal, vertical, "kernel",
                                  VIPS_KERNEL_LANCZOS3, nullptr),
                      out))
    return false;
  out = vips_image_copy_memory(reference.image);
  if (!reference.Take(out ? 0 : -1, out)) return false;
  out = vips_image_copy_memory(scaled.image);
  if (!scaled.Take(out ? 0 : -1, out)) return false;
  // Rounding inside the filter may leave a row or column more or less.
  const int width = std::min(reference.image->Xsize, scaled.image->Xsize);
  const int height = std::min(reference.image->Ysize, scaled.image->Ysize);
  const int samples = width * 3;
  double sum = 0;
  for (int y = 0; y < height; ++y) {
    const auto* exact = reinterpret_cast<const float*>(VIPS_IMAGE_ADDR(reference.image, 0, y));
    const VipsPel* file = VIPS_IMAGE_ADDR(scaled.image, 0, y);
    for (int i = 0; i < samples; ++i) {
      const double error = std::clamp(double(exact[i]), 0.0, 255.0) - file[i];
      sum += error * error;
    }
  }
  const double mse = sum / (double(samples) * height);
  psnr = mse <= 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (VIPS_INIT(argv[0]) != 0) return 1;
  if (argc < 4 || (argc - 1) % 3 != 0) {
    std::fprintf(stderr, "usage: %s ORIGINAL TURN SCALED [ORIGINAL TURN SCALED ...]\n", argv[0]);
    return 2;
  }
  int failed = 0;
  for (int i = 1; i + 2 < argc; i += 3) {
    double psnr = 0;
    if (Psnr(argv[i], std::atoi(argv[i + 1]), argv[i + 2], psnr)) {
      std::printf("%.2f %s\n", psnr, argv[i + 2]);
    } else {
      std::fprintf(stderr, "cannot compare %s with %s: %s\n", argv[i + 2], argv[i],
                   vips_error_buffer());
      vips_error_clear();
      failed = 1;
    }
  }
  vips_shutdown();
  return failed;
}
