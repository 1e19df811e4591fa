// Makes an album's two files per picture the way the generator does: one
// decode, then a thumbnail and a scaled picture, each fitted into its box.
//
//   pixcore_scaling_bench OUTPUT_DIR PICTURE...
//
// Prints the number of pictures, the seconds taken and the time per picture.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "pixcore/pixcore.h"

namespace {

struct Box {
  const char* name;
  int width, height;
};

constexpr Box kBoxes[] = {{"thumb", 160, 160}, {"scaled", 1024, 768}};
constexpr int kQuality = 85;

// The picture's size fitted into the box, aspect kept, halves to even.
void Fit(int width, int height, const Box& box, int* fitted_width, int* fitted_height) {
  const double ratio = std::max(double(width) / box.width, double(height) / box.height);
  *fitted_width = std::max(1, int(std::nearbyint(width / ratio)));
  *fitted_height = std::max(1, int(std::nearbyint(height / ratio)));
}

int32_t MakeFiles(const std::string& picture, const std::string& output_dir) {
  int32_t code = 0;
  int max_width = 0, max_height = 0;
  for (const Box& box : kBoxes) {
    max_width = std::max(max_width, box.width);
    max_height = std::max(max_height, box.height);
  }
  const int32_t bitmap = PixCore_LoadImageForBox(PIXCORE_DETECT_FORMAT, picture.c_str(),
                                                 max_width, max_height, &code);
  if (bitmap == 0) return code;
  int width = 0, height = 0;
  PixCore_GetImageSize(bitmap, &width, &height);
  const std::string base = picture.substr(picture.rfind('/') + 1);
  for (const Box& box : kBoxes) {
    int fitted_width = 0, fitted_height = 0;
    Fit(width, height, box, &fitted_width, &fitted_height);
    const int32_t canvas = PixCore_CreateBitmap(fitted_width, fitted_height);
    PixCore_FillBitmap(canvas, 0, 0, 0);
    code = PixCore_LinearDownScaleCopy(bitmap, canvas, 0, 0, fitted_width, fitted_height);
    const std::string target = output_dir + "/" + box.name + "_" + base;
    if (code == PIXCORE_OK) code = PixCore_SaveImageAsJpeg(canvas, target.c_str(), kQuality);
    PixCore_DeleteBitmap(canvas);
    if (code != PIXCORE_OK) break;
  }
  PixCore_DeleteBitmap(bitmap);
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR PICTURE...\n", argv[0]);
    return 2;
  }
  const std::string output_dir = argv[1];
  const auto start = std::chrono::steady_clock::now();
  int made = 0;
  for (int i = 2; i < argc; ++i) {
    const int32_t code = MakeFiles(argv[i], output_dir);
    if (code != PIXCORE_OK) {
      std::fprintf(stderr, "%s: error %d\n", argv[i], code);
      return 1;
    }
    ++made;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("pictures %d seconds %.3f per_picture_ms %.1f\n", made, seconds,
              1000.0 * seconds / made);
  return 0;
}
