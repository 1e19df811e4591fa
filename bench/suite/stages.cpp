// Where a picture's time goes: the steps of making one album picture and its
// thumbnail, each timed on its own in CPU time (which another process
// on the machine changes far less than the wall clock; libvips works on threads
// of its own, so the whole process is counted), for JPEGs scaled into
// a box as libpixcore scales them: decoded at a reduced scale, filtered by
// lanczos3 alone, encoded at quality 85.
//
//   suite_stages BOX_WIDTH BOX_HEIGHT THUMB_WIDTH THUMB_HEIGHT FILE.jpg...
//
// Prints the mean CPU milliseconds per picture of each step.

#include <turbojpeg.h>
#include <vips/vips.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pixcore/decode_scale.h"

namespace {

double ProcessCpu() {
  timespec now;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct Image {
  VipsImage* image = nullptr;
  Image() = default;
  explicit Image(VipsImage* taken) : image(taken) {}
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;
  ~Image() {
    if (image) g_object_unref(image);
  }
};

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s: %s\n", what, vips_error_buffer());
  std::exit(1);
}

// The fitted size of a width x height picture in the box, as the album
// computes it (aspect kept, rounded).
void Fit(int width, int height, int box_width, int box_height, int& fitted_width,
         int& fitted_height) {
  const double ratio = std::max(double(width) / box_width, double(height) / box_height);
  fitted_width = std::max(1, int(std::lround(width / ratio)));
  fitted_height = std::max(1, int(std::lround(height / ratio)));
}

VipsImage* Memory(VipsImage* lazy, const char* what) {
  VipsImage* memory = vips_image_copy_memory(lazy);
  if (!memory) Fail(what);
  return memory;
}

enum Step {
  kTurboDecode,
  kTurboDecodeHalf,
  kVipsDecode,
  kReduceHv,
  kReduceVh,
  kThumbHv,
  kThumbVh,
  kEncodeOptimised,
  kEncodePlain,
  kEncodeThumb,
  kPipeline,
  kSteps
};
const char* const kNames[kSteps] = {
    "libjpeg-turbo decode at libpixcore's scale in eighths (the floor)",
    "libjpeg-turbo decode at libvips' scale (1/2, 1/4, 1/8)",
    "libvips decode at its scale, into memory",
    "lanczos3 from that decode to the box, horizontal then vertical (vips_reduce)",
    "lanczos3 to the box, vertical then horizontal",
    "thumbnail from the box picture, horizontal then vertical",
    "thumbnail from the box picture, vertical then horizontal",
    "encode the box picture, optimised Huffman tables",
    "encode the box picture, standard Huffman tables",
    "encode the thumbnail, optimised Huffman tables",
    "libvips decode and lanczos3 as one pipeline (libpixcore before)",
};

VipsImage* ReduceVh(VipsImage* in, int width, int height) {
  VipsImage* vertical = nullptr;
  if (vips_reducev(in, &vertical, double(in->Ysize) / height, "kernel", VIPS_KERNEL_LANCZOS3,
                   nullptr) != 0)
    Fail("reducev");
  Image v(vertical);
  VipsImage* both = nullptr;
  if (vips_reduceh(v.image, &both, double(in->Xsize) / width, "kernel", VIPS_KERNEL_LANCZOS3,
                   nullptr) != 0)
    Fail("reduceh");
  Image lazy(both);
  return Memory(lazy.image, "reduce");
}

VipsImage* ReduceHv(VipsImage* in, int width, int height) {
  VipsImage* out = nullptr;
  if (vips_reduce(in, &out, double(in->Xsize) / width, double(in->Ysize) / height, "kernel",
                  VIPS_KERNEL_LANCZOS3, nullptr) != 0)
    Fail("reduce");
  Image lazy(out);
  return Memory(lazy.image, "reduce");
}

double Encode(VipsImage* in, bool optimise) {
  void* buffer = nullptr;
  size_t length = 0;
  const double start = ProcessCpu();
  if (vips_jpegsave_buffer(in, &buffer, &length, "Q", 85, "strip", TRUE, "optimize_coding",
                           optimise ? TRUE : FALSE, nullptr) != 0)
    Fail("jpegsave");
  const double spent = ProcessCpu() - start;
  g_free(buffer);
  return spent;
}

}  // namespace

int main(int argc, char** argv) {
  if (VIPS_INIT(argv[0]) != 0) return 1;
  if (argc < 6) {
    std::fprintf(stderr, "usage: %s BOX_WIDTH BOX_HEIGHT THUMB_WIDTH THUMB_HEIGHT FILE.jpg...\n",
                 argv[0]);
    return 2;
  }
  const int box_width = std::atoi(argv[1]), box_height = std::atoi(argv[2]);
  const int thumb_width = std::atoi(argv[3]), thumb_height = std::atoi(argv[4]);
  // One thread: the steps' own cost, without libvips' threads handing rows on.
  vips_concurrency_set(1);
  vips_cache_set_max(0);
  double spent[kSteps] = {};
  tjhandle turbo = tjInitDecompress();
  int pictures = 0;
  for (int i = 5; i < argc; ++i, ++pictures) {
    const char* path = argv[i];
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> data{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(turbo, data.data(), data.size(), &width, &height, &subsampling,
                            &colourspace) != 0)
      Fail(path);
    const int shrink = snapcrate::pixcore::JpegShrinkForRoom(
        snapcrate::pixcore::RoomForBox(width, height, box_width, box_height));
    int fitted_width = 0, fitted_height = 0, small_width = 0, small_height = 0;
    Fit(width, height, box_width, box_height, fitted_width, fitted_height);
    Fit(fitted_width, fitted_height, thumb_width, thumb_height, small_width, small_height);

    const int eighths = snapcrate::pixcore::JpegEighthsForRoom(
        snapcrate::pixcore::RoomForBox(width, height, box_width, box_height));
    const int scaled_width = TJSCALED(width, (tjscalingfactor{eighths, 8}));
    const int scaled_height = TJSCALED(height, (tjscalingfactor{eighths, 8}));
    double start = ProcessCpu();
    Image decoded(vips_image_new_memory());
    vips_image_init_fields(decoded.image, scaled_width, scaled_height, 3, VIPS_FORMAT_UCHAR,
                           VIPS_CODING_NONE, VIPS_INTERPRETATION_sRGB, 1.0, 1.0);
    if (vips_image_write_prepare(decoded.image) != 0 ||
        tjDecompress2(turbo, data.data(), data.size(), VIPS_IMAGE_ADDR(decoded.image, 0, 0),
                      scaled_width, 0, scaled_height, TJPF_RGB, 0) != 0)
      Fail(path);
    spent[kTurboDecode] += ProcessCpu() - start;

    start = ProcessCpu();
    std::vector<unsigned char> pixels(size_t(width / shrink + 1) * (height / shrink + 1) * 3);
    if (tjDecompress2(turbo, data.data(), data.size(), pixels.data(),
                      TJSCALED(width, (tjscalingfactor{1, shrink})), 0,
                      TJSCALED(height, (tjscalingfactor{1, shrink})), TJPF_RGB, 0) != 0)
      Fail(path);
    spent[kTurboDecodeHalf] += ProcessCpu() - start;

    start = ProcessCpu();
    VipsImage* opened = nullptr;
    if (vips_jpegload(path, &opened, "access", VIPS_ACCESS_SEQUENTIAL, "shrink", shrink, nullptr))
      Fail(path);
    Image lazy(opened);
    Image vips_decoded(Memory(lazy.image, path));
    spent[kVipsDecode] += ProcessCpu() - start;

    start = ProcessCpu();
    Image hv(ReduceHv(decoded.image, fitted_width, fitted_height));
    spent[kReduceHv] += ProcessCpu() - start;
    start = ProcessCpu();
    Image vh(ReduceVh(decoded.image, fitted_width, fitted_height));
    spent[kReduceVh] += ProcessCpu() - start;
    start = ProcessCpu();
    Image thumb_hv(ReduceHv(hv.image, small_width, small_height));
    spent[kThumbHv] += ProcessCpu() - start;
    start = ProcessCpu();
    Image thumb_vh(ReduceVh(vh.image, small_width, small_height));
    spent[kThumbVh] += ProcessCpu() - start;

    spent[kEncodeOptimised] += Encode(hv.image, true);
    spent[kEncodePlain] += Encode(hv.image, false);
    spent[kEncodeThumb] += Encode(thumb_hv.image, true);

    start = ProcessCpu();
    VipsImage* again = nullptr;
    if (vips_jpegload(path, &again, "access", VIPS_ACCESS_SEQUENTIAL, "shrink", shrink, nullptr))
      Fail(path);
    Image source(again);
    VipsImage* reduced = nullptr;
    if (vips_reduce(source.image, &reduced, double(source.image->Xsize) / fitted_width,
                    double(source.image->Ysize) / fitted_height, "kernel", VIPS_KERNEL_LANCZOS3,
                    nullptr) != 0)
      Fail("reduce");
    Image pipeline(reduced);
    Image made(Memory(pipeline.image, path));
    spent[kPipeline] += ProcessCpu() - start;
  }
  tjDestroy(turbo);
  std::printf("%d pictures into %dx%d and %dx%d; CPU ms per picture, one thread\n", pictures,
              box_width, box_height, thumb_width, thumb_height);
  for (int step = 0; step < kSteps; ++step)
    std::printf("  %7.1f  %s\n", spent[step] / pictures, kNames[step]);
  vips_shutdown();
  return 0;
}
