// The decoding floor of a generation: every picture decoded once, at the
// scale libpixcore decodes it for the box, straight into memory with
// libjpeg-turbo (PNG with libpng), on one thread per core. No resize, no
// encode, no pages: what no album generator can go below.
//
//   suite_decode_floor BOX_WIDTH BOX_HEIGHT FILE...
//
// Prints the pictures decoded and the decoded pixels; exits 1 when a file
// cannot be decoded.

#include <png.h>
#include <turbojpeg.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "pixcore/decode_scale.h"

namespace {

bool DecodeJpeg(tjhandle handle, const std::vector<unsigned char>& data, int box_width,
                int box_height, std::vector<unsigned char>& pixels, long long& decoded) {
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  if (tjDecompressHeader3(handle, data.data(), data.size(), &width, &height, &subsampling,
                          &colourspace) != 0)
    return false;
  const int eighths = snapcrate::pixcore::JpegEighthsForRoom(
      snapcrate::pixcore::RoomForBox(width, height, box_width, box_height));
  const int scaled_width = TJSCALED(width, (tjscalingfactor{eighths, 8}));
  const int scaled_height = TJSCALED(height, (tjscalingfactor{eighths, 8}));
  pixels.resize(size_t(scaled_width) * scaled_height * 3);
  if (tjDecompress2(handle, data.data(), data.size(), pixels.data(), scaled_width, 0,
                    scaled_height, TJPF_RGB, 0) != 0)
    return false;
  decoded += int64_t{scaled_width} * scaled_height;
  return true;
}

bool DecodePng(const std::string& path, std::vector<unsigned char>& pixels, long long& decoded) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return false;
  decoded += int64_t{image.width} * image.height;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s BOX_WIDTH BOX_HEIGHT FILE...\n", argv[0]);
    return 2;
  }
  const int box_width = std::atoi(argv[1]);
  const int box_height = std::atoi(argv[2]);
  const std::vector<std::string> files(argv + 3, argv + argc);
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  std::atomic<long long> pixels_total{0};
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::thread> threads;
  for (unsigned t = 0; t < std::min<size_t>(cores, files.size()); ++t) {
    threads.emplace_back([&] {
      tjhandle handle = tjInitDecompress();
      std::vector<unsigned char> data, pixels;
      long long decoded = 0;
      for (size_t i; (i = next.fetch_add(1)) < files.size();) {
        const std::string& path = files[i];
        std::ifstream in(path, std::ios::binary);
        data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        const bool png = data.size() > 4 && data[0] == 0x89 && data[1] == 'P';
        const bool ok = png ? DecodePng(path, pixels, decoded)
                            : DecodeJpeg(handle, data, box_width, box_height, pixels, decoded);
        if (!ok) {
          std::fprintf(stderr, "cannot decode %s\n", path.c_str());
          failed = true;
        }
      }
      pixels_total += decoded;
      tjDestroy(handle);
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::printf("%zu pictures, %lld decoded pixels\n", files.size(), pixels_total.load());
  return failed ? 1 : 0;
}
