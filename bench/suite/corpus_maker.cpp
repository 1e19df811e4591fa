// Makes one photo-like picture for the benchmark suite: a sky over hilly
// ground with soft colour, leafy texture below the horizon and sensor grain,
// so that it decodes and compresses like a camera picture. The same seed
// gives the same pixels on every run.
//
//   suite_corpus_picture PATH WIDTH HEIGHT SEED [QUALITY]
//
// PATH ending in .png writes a PNG (no grain, like an edited picture),
// anything else a JPEG at QUALITY (default 92).

#include <vips/vips.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The scene is drawn at 1/8 of the size and enlarged smoothly.
constexpr int kScale = 8;

// A small deterministic generator, so the scene does not hang on libc's rand.
struct Random {
  uint64_t state;
  double Next() {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return double(state >> 11) / double(1ULL << 53);
  }
};

struct Owned {
  VipsImage* image = nullptr;
  ~Owned() {
    if (image) g_object_unref(image);
  }
};

bool Fail(const char* what) {
  std::fprintf(stderr, "suite_corpus_picture: %s: %s\n", what, vips_error_buffer());
  return false;
}

// RGB floats and a texture weight (0 in the sky, 1 on the ground), low resolution.
void DrawScene(int width, int height, uint64_t seed, std::vector<float>& rgb,
               std::vector<float>& ground) {
  Random random{seed * 7919 + 17};
  const double horizon = height * (0.35 + 0.3 * random.Next());
  const double hill_phase = random.Next() * 6.28,
               hill_height = height * (0.04 + 0.08 * random.Next());
  const bool sunset = seed % 3 == 0;
  const double sky_top[3] = {sunset ? 110.0 : 55.0, sunset ? 60.0 : 105.0, sunset ? 120.0 : 185.0};
  const double sky_low[3] = {sunset ? 250.0 : 200.0, sunset ? 165.0 : 205.0, sunset ? 90.0 : 230.0};
  const double grass[3] = {70 + 40 * random.Next(), 110 + 40 * random.Next(),
                           40 + 30 * random.Next()};
  const double soil[3] = {70.0, 60.0, 35.0};
  struct Blob {
    double x, y, radius, colour[3];
  };
  std::vector<Blob> blobs;
  for (int i = 0; i < 9; ++i)
    blobs.push_back({random.Next() * width,
                     random.Next() * height,
                     (0.05 + 0.15 * random.Next()) * width,
                     {random.Next() * 80 - 40, random.Next() * 80 - 40, random.Next() * 80 - 40}});
  rgb.assign(size_t(width) * height * 3, 0);
  ground.assign(size_t(width) * height, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double line = horizon + hill_height * std::sin(hill_phase + 6.0 * x / width) +
                          0.4 * hill_height * std::sin(hill_phase * 3 + 17.0 * x / width);
      const bool sky = y < line;
      const double t = sky ? y / std::max(line, 1.0) : (y - line) / std::max(height - line, 1.0);
      float* pixel = &rgb[(size_t(y) * width + x) * 3];
      for (int band = 0; band < 3; ++band) {
        double value = sky ? sky_top[band] + (sky_low[band] - sky_top[band]) * t
                           : grass[band] + (soil[band] - grass[band]) * t;
        for (const Blob& blob : blobs) {
          const double dx = x - blob.x, dy = y - blob.y;
          value += blob.colour[band] * std::exp(-(dx * dx + dy * dy) / (blob.radius * blob.radius));
        }
        pixel[band] = float(value);
      }
      ground[size_t(y) * width + x] = sky ? 0.15f : 1.0f;
    }
  }
}

bool MakePicture(const std::string& path, int width, int height, uint64_t seed, int quality) {
  const bool png = path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0;
  const int small_width = width / kScale, small_height = height / kScale;
  std::vector<float> rgb, ground;
  DrawScene(small_width, small_height, seed, rgb, ground);

  Owned scene_small, weight_small, scene, weight, texture_small, texture_blurred, texture, grain,
      grain_soft, leafy, detail, with_grain, out;
  scene_small.image = vips_image_new_from_memory(rgb.data(), rgb.size() * sizeof(float),
                                                 small_width, small_height, 3, VIPS_FORMAT_FLOAT);
  weight_small.image = vips_image_new_from_memory(ground.data(), ground.size() * sizeof(float),
                                                  small_width, small_height, 1, VIPS_FORMAT_FLOAT);
  if (!scene_small.image || !weight_small.image) return Fail("scene");
  if (vips_resize(scene_small.image, &scene.image, kScale, "kernel", VIPS_KERNEL_CUBIC, nullptr) ||
      vips_resize(weight_small.image, &weight.image, kScale, "kernel", VIPS_KERNEL_LINEAR, nullptr))
    return Fail("enlarge");
  // Leaves and stones: mid-sized detail, strong on the ground, faint in the sky.
  if (vips_gaussnoise(&texture_small.image, width / 2, height / 2, "sigma", 28.0, "mean", 0.0,
                      "seed", int(seed * 2 + 1), nullptr) ||
      vips_gaussblur(texture_small.image, &texture_blurred.image, 0.9, nullptr) ||
      vips_resize(texture_blurred.image, &texture.image, 2, "kernel", VIPS_KERNEL_CUBIC, nullptr) ||
      vips_multiply(texture.image, weight.image, &leafy.image, nullptr) ||
      vips_add(scene.image, leafy.image, &detail.image, nullptr))
    return Fail("texture");
  VipsImage* last = detail.image;
  if (!png) {
    // Sensor grain, a little softened as a camera's processing does.
    if (vips_gaussnoise(&grain.image, width, height, "sigma", 6.0, "mean", 0.0, "seed",
                        int(seed * 2 + 2), nullptr) ||
        vips_gaussblur(grain.image, &grain_soft.image, 0.6, nullptr) ||
        vips_add(detail.image, grain_soft.image, &with_grain.image, nullptr))
      return Fail("grain");
    last = with_grain.image;
  }
  if (vips_cast_uchar(last, &out.image, nullptr)) return Fail("cast");
  VipsImage* tagged = nullptr;
  if (vips_copy(out.image, &tagged, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr))
    return Fail("copy");
  Owned tagged_owned{tagged};
  const int failed = png ? vips_pngsave(tagged, path.c_str(), "compression", 6, nullptr)
                         : vips_jpegsave(tagged, path.c_str(), "Q", quality, nullptr);
  return failed == 0 || Fail(path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (VIPS_INIT(argv[0])) return 1;
  if (argc < 5 || argc > 6) {
    std::fprintf(stderr, "usage: %s PATH WIDTH HEIGHT SEED [QUALITY]\n", argv[0]);
    return 2;
  }
  const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
  if (width < kScale * 4 || height < kScale * 4 || width % kScale || height % kScale) {
    std::fprintf(stderr, "suite_corpus_picture: width and height must be multiples of %d\n",
                 kScale);
    return 2;
  }
  const bool made = MakePicture(argv[1], width, height, std::strtoull(argv[4], nullptr, 10),
                                argc == 6 ? std::atoi(argv[5]) : 92);
  vips_shutdown();
  return made ? 0 : 1;
}
