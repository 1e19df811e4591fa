#include "pixcore/pixcore_test_support.h"

#include <vips/vips.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

namespace snapcrate::testing {
namespace {

struct Unref {
  void operator()(VipsImage* image) const { g_object_unref(image); }
};
using Image = std::unique_ptr<VipsImage, Unref>;

void StartTestVips() {
  static const bool started = VIPS_INIT("pixcore_test") == 0;
  (void)started;
}

// Chains a libvips call that makes a new image from `image`.
template <typename Call>
bool Then(Image* image, Call call) {
  VipsImage* out = nullptr;
  if (call(image->get(), &out) != 0) {
    vips_error_clear();
    return false;
  }
  image->reset(out);
  return true;
}

bool Save(VipsImage* image, const std::string& path) {
  const std::string extension = std::filesystem::path(path).extension().string();
  int failed = 1;
  if (extension == ".jpg") {
    failed = vips_jpegsave(image, path.c_str(), "Q", 95, "subsample_mode",
                           VIPS_FOREIGN_SUBSAMPLE_OFF, nullptr);
  } else if (extension == ".png") {
    failed = vips_pngsave(image, path.c_str(), nullptr);
  } else if (extension == ".gif") {
    failed = vips_gifsave(image, path.c_str(), nullptr);
  } else if (extension == ".tif") {
    failed = vips_tiffsave(image, path.c_str(), nullptr);
  } else if (extension == ".webp") {
    failed = vips_webpsave(image, path.c_str(), "lossless", TRUE, nullptr);
  }
  if (failed != 0) vips_error_clear();
  return failed == 0;
}

bool Quadrants(int width, int height, Image* image) {
  StartTestVips();
  VipsImage* black = nullptr;
  if (vips_black(&black, width, height, "bands", 3, nullptr) != 0) return false;
  Image plain(black);
  if (!Then(&plain, [](VipsImage* in, VipsImage** out) {
        return vips_copy(in, out, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr);
      })) {
    return false;
  }
  image->reset(vips_image_copy_memory(plain.get()));
  const int half_width = width / 2, half_height = height / 2;
  struct Quarter {
    int left, top, width, height;
    Rgb colour;
  };
  const Quarter quarters[] = {
      {0, 0, half_width, half_height, kRed},
      {half_width, 0, width - half_width, half_height, kGreen},
      {0, half_height, half_width, height - half_height, kBlue},
      {half_width, half_height, width - half_width, height - half_height, kWhite},
  };
  for (const Quarter& quarter : quarters) {
    double ink[3] = {double(quarter.colour.red), double(quarter.colour.green),
                     double(quarter.colour.blue)};
    if (vips_draw_rect(image->get(), ink, 3, quarter.left, quarter.top, quarter.width,
                       quarter.height, "fill", TRUE, nullptr) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "pixcore-XXXXXX").string();
  path_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> ScratchDir::List() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool WriteQuadrants(const std::string& path, int width, int height) {
  Image image;
  return Quadrants(width, height, &image) && Save(image.get(), path);
}

bool WriteQuadrantsAs(const std::string& path, int width, int height, ColourVariant variant) {
  Image image;
  if (!Quadrants(width, height, &image)) return false;
  VipsInterpretation space = VIPS_INTERPRETATION_B_W;
  if (variant == ColourVariant::kCmykJpeg) space = VIPS_INTERPRETATION_CMYK;
  if (variant == ColourVariant::kRgb16Png) space = VIPS_INTERPRETATION_RGB16;
  if (!Then(&image, [&](VipsImage* in, VipsImage** out) {
        return vips_colourspace(in, out, space, nullptr);
      })) {
    return false;
  }
  if (variant == ColourVariant::kGreyAlphaPng &&
      !Then(&image, [](VipsImage* in, VipsImage** out) {
        return vips_bandjoin_const1(in, out, 255.0, nullptr);
      })) {
    return false;
  }
  int failed = 1;
  if (variant == ColourVariant::kGreyJpeg || variant == ColourVariant::kCmykJpeg) {
    failed = vips_jpegsave(image.get(), path.c_str(), "Q", 95, nullptr);
  } else {
    failed = vips_pngsave(image.get(), path.c_str(), nullptr);
  }
  if (failed != 0) vips_error_clear();
  return failed == 0;
}

bool WritePhotoLike(const std::string& path, int width, int height, int quality) {
  StartTestVips();
  VipsImage* start = nullptr;
  // Grain: seeded noise, blurred so that it looks like texture, not static.
  if (vips_gaussnoise(&start, width, height, "sigma", 40.0, "mean", 128.0, "seed", 7,
                      nullptr) != 0) {
    vips_error_clear();
    return false;
  }
  Image grain(start);
  if (!Then(&grain, [](VipsImage* in, VipsImage** out) {
        return vips_gaussblur(in, out, 2.0, nullptr);
      })) {
    return false;
  }
  VipsImage* xy = nullptr;
  if (vips_xyz(&xy, width, height, nullptr) != 0) return false;
  Image coordinates(xy);
  Image x_ramp(coordinates.get()), y_ramp(coordinates.get());
  g_object_ref(coordinates.get());
  g_object_ref(coordinates.get());
  if (!Then(&x_ramp, [](VipsImage* in, VipsImage** out) {
        return vips_extract_band(in, out, 0, nullptr);
      }) ||
      !Then(&y_ramp, [](VipsImage* in, VipsImage** out) {
        return vips_extract_band(in, out, 1, nullptr);
      })) {
    return false;
  }
  const double to_x = 200.0 / width, to_y = 200.0 / height;
  if (!Then(&x_ramp, [&](VipsImage* in, VipsImage** out) {
        return vips_linear1(in, out, to_x, 20.0, nullptr);
      }) ||
      !Then(&y_ramp, [&](VipsImage* in, VipsImage** out) {
        return vips_linear1(in, out, to_y, 30.0, nullptr);
      })) {
    return false;
  }
  VipsImage* bands[3] = {x_ramp.get(), y_ramp.get(), grain.get()};
  VipsImage* joined = nullptr;
  if (vips_bandjoin(bands, &joined, 3, nullptr) != 0) return false;
  Image colour(joined);
  if (!Then(&colour, [](VipsImage* in, VipsImage** out) {
        return vips_cast_uchar(in, out, nullptr);
      }) ||
      !Then(&colour, [](VipsImage* in, VipsImage** out) {
        return vips_copy(in, out, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr);
      })) {
    return false;
  }
  const int failed = vips_jpegsave(colour.get(), path.c_str(), "Q", quality, nullptr);
  if (failed != 0) vips_error_clear();
  return failed == 0;
}

bool WriteHalfTransparentPng(const std::string& path, int width, int height) {
  StartTestVips();
  VipsImage* black = nullptr;
  if (vips_black(&black, width, height, "bands", 4, nullptr) != 0) return false;
  Image plain(black);
  if (!Then(&plain, [](VipsImage* in, VipsImage** out) {
        return vips_copy(in, out, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr);
      })) {
    return false;
  }
  Image image(vips_image_copy_memory(plain.get()));
  double red[4] = {255, 0, 0, 255};
  if (vips_draw_rect(image.get(), red, 4, 0, 0, width / 2, height, "fill", TRUE, nullptr) != 0) {
    return false;
  }
  return Save(image.get(), path);
}

bool WriteJpegWithOrientation(const std::string& path, int width, int height, int orientation) {
  Image image;
  if (!Quadrants(width, height, &image)) return false;
  vips_image_set_int(image.get(), VIPS_META_ORIENTATION, orientation);
  return Save(image.get(), path);
}

Size FileSize(const std::string& path) {
  StartTestVips();
  Image image(vips_image_new_from_file(path.c_str(), nullptr));
  if (!image) {
    vips_error_clear();
    return {};
  }
  return {image->Xsize, image->Ysize};
}

Rgb PixelAt(const std::string& path, int x, int y) {
  StartTestVips();
  Image image(vips_image_new_from_file(path.c_str(), nullptr));
  double* values = nullptr;
  int count = 0;
  if (!image || vips_getpoint(image.get(), &values, &count, x, y, nullptr) != 0) {
    vips_error_clear();
    return {-1, -1, -1};
  }
  Rgb colour{int(std::lround(values[0])), int(std::lround(values[count >= 3 ? 1 : 0])),
             int(std::lround(values[count >= 3 ? 2 : 0]))};
  g_free(values);
  return colour;
}

bool Near(const Rgb& actual, const Rgb& expected, int tolerance) {
  return std::abs(actual.red - expected.red) <= tolerance &&
         std::abs(actual.green - expected.green) <= tolerance &&
         std::abs(actual.blue - expected.blue) <= tolerance;
}

double MeanDifference(const std::string& first, const std::string& second) {
  StartTestVips();
  Image a(vips_image_new_from_file(first.c_str(), nullptr));
  Image b(vips_image_new_from_file(second.c_str(), nullptr));
  if (!a || !b || a->Xsize != b->Xsize || a->Ysize != b->Ysize) {
    vips_error_clear();
    return 1e9;
  }
  VipsImage* difference = nullptr;
  if (vips_subtract(a.get(), b.get(), &difference, nullptr) != 0) return 1e9;
  Image delta(difference);
  if (!Then(&delta, [](VipsImage* in, VipsImage** out) { return vips_abs(in, out, nullptr); })) {
    return 1e9;
  }
  double mean = 1e9;
  if (vips_avg(delta.get(), &mean, nullptr) != 0) vips_error_clear();
  return mean;
}

std::vector<int> JpegMarkersBeforeScan(const std::string& path) {
  const std::string bytes = ReadBytes(path);
  std::vector<int> markers;
  size_t at = 2;
  while (at + 4 <= bytes.size() && static_cast<unsigned char>(bytes[at]) == 0xFF) {
    const int marker = static_cast<unsigned char>(bytes[at + 1]);
    if (marker == 0xDA) break;
    if ((marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE) markers.push_back(marker);
    const size_t length = (size_t(static_cast<unsigned char>(bytes[at + 2])) << 8) |
                          static_cast<unsigned char>(bytes[at + 3]);
    at += 2 + length;
  }
  return markers;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out);
}

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
  return out << "(" << colour.red << ", " << colour.green << ", " << colour.blue << ")";
}

}  // namespace snapcrate::testing
