// Built with -O3 (pixcore/CMakeLists.txt): the passes below are written for
// the compiler's vectoriser, which -O2 leaves mostly idle.

#include "pixcore/lanczos.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace snapcrate::pixcore {
namespace {

using Pixel = float __attribute__((vector_size(16)));  // R, G, B and one unused
// The vertical pass works in blocks of one vector register: eight floats where
// AVX is there, else four (eight in two SSE registers cost twice as much).
using Wide = float __attribute__((vector_size(32)));

constexpr double kPi = 3.14159265358979323846;
// The rows the vertical pass keeps at once, in floats: beyond this (extreme
// reductions of very wide pictures) libvips does the work.
constexpr size_t kMaxRingFloats = size_t{8} << 20;

double Lanczos3(double x) {
  x = std::fabs(x);
  if (x < 1e-9) return 1.0;
  if (x >= 3.0) return 0.0;
  const double px = kPi * x;
  return 3.0 * std::sin(px) * std::sin(px / 3.0) / (px * px);
}

// For every output position, the first input position and the weights of
// its taps; taps outside the input are folded onto the edge pixel.
struct Taps {
  std::vector<int> first;
  std::vector<int> count;
  std::vector<float> weights;  // `stride` per output position
  int stride = 0;
};

Taps MakeTaps(int in, int out) {
  Taps taps;
  const double scale = double(in) / out;
  const double support = 3.0 * scale;
  taps.stride = int(std::ceil(2.0 * support)) + 2;
  taps.first.resize(out);
  taps.count.resize(out);
  taps.weights.assign(size_t(out) * taps.stride, 0.0f);
  std::vector<double> raw;
  for (int o = 0; o < out; ++o) {
    const double centre = (o + 0.5) * scale - 0.5;
    const int low = int(std::floor(centre - support)) + 1;
    const int high = int(std::floor(centre + support));
    raw.clear();
    double sum = 0.0;
    for (int i = low; i <= high; ++i) {
      raw.push_back(Lanczos3((i - centre) / scale));
      sum += raw.back();
    }
    const int first = std::clamp(low, 0, in - 1);
    const int last = std::clamp(high, 0, in - 1);
    taps.first[o] = first;
    taps.count[o] = last - first + 1;
    float* weights = &taps.weights[size_t(o) * taps.stride];
    for (int i = low; i <= high; ++i) {
      weights[std::clamp(i, 0, in - 1) - first] += float(raw[size_t(i - low)] / sum);
    }
  }
  return taps;
}

// An album makes the same few reductions over and over (every camera
// picture of a size to the same boxes): the taps of the last few are kept
// per thread, which saves computing thousands of sines per picture.
const Taps& CachedTaps(int in, int out) {
  struct Entry {
    int in = 0, out = 0;
    Taps taps;
  };
  // Replaced in turn, so the taps of one call survive the next (a reduction
  // asks for both of its axes).
  thread_local std::array<Entry, 16> kept;
  thread_local size_t next = 0;
  for (Entry& entry : kept) {
    if (entry.in == in && entry.out == out) return entry.taps;
  }
  Entry& entry = kept[next];
  next = (next + 1) % kept.size();
  entry = Entry{in, out, MakeTaps(in, out)};
  return entry.taps;
}

// The float rows of a reduction, kept per thread for the next one up to
// this size: a fresh buffer costs clearing it, and its pages the kernel's
// time. Only ever grown, so what lies past a row's data is zero or an
// earlier picture's finite value, which only ever meets a zero weight.
constexpr size_t kKeptFloats = size_t{2} << 20;

float* Floats(std::vector<float>& kept, std::vector<float>& own, size_t count) {
  std::vector<float>& buffer = count <= kKeptFloats ? kept : own;
  if (buffer.size() < count) buffer.resize(count, 0.0f);
  return buffer.data();
}

// Branch-free (max, min, truncate): mispredicted branches cost the horizontal
// pass a third of its time.
[[gnu::always_inline]] inline unsigned char ToByte(float value) {
  return static_cast<unsigned char>(std::min(std::max(value + 0.5f, 0.0f), 255.0f));
}

// Helpers of the filter's body, inlined into both builds of it.
[[gnu::always_inline]] inline Pixel LoadPixel(const float* floats) {
  Pixel pixel;
  std::memcpy(&pixel, floats, sizeof pixel);
  return pixel;
}

// Through a reference: a 32-byte vector returned from a function built
// without AVX would change the calling convention.
template <typename Block>
[[gnu::always_inline]] inline void LoadBlock(Block& block, const float* floats) {
  std::memcpy(&block, floats, sizeof block);
}

// A pixel's three channels rounded and clamped in one register: one at a
// time, GCC branches around each conversion.
[[gnu::always_inline]] inline void StorePixel(const Pixel& total, unsigned char* bytes) {
#if defined(__SSE2__)
  __m128 rounded = _mm_add_ps(__m128(total), _mm_set1_ps(0.5f));
  rounded = _mm_min_ps(_mm_max_ps(rounded, _mm_setzero_ps()), _mm_set1_ps(255.0f));
  const __m128i words = _mm_packs_epi32(_mm_cvttps_epi32(rounded), _mm_setzero_si128());
  const int packed = _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
  std::memcpy(bytes, &packed, 3);  // the fourth lane is no channel
#else
  bytes[0] = ToByte(total[0]);
  bytes[1] = ToByte(total[1]);
  bytes[2] = ToByte(total[2]);
#endif
}

// The body of both builds of the filter below; inlined into each, so each is
// compiled for its own processor.
template <typename Block>
[[gnu::always_inline]] inline ImagePtr ReduceIn(VipsImage* image, int width, int height) {
  constexpr int kBlock = int(sizeof(Block) / sizeof(float));
  if (image->BandFmt != VIPS_FORMAT_UCHAR || image->Bands != 3 || image->Coding != VIPS_CODING_NONE ||
      width < 1 || height < 1 || width > image->Xsize || height > image->Ysize)
    return nullptr;
  const int in_width = image->Xsize;
  const int in_height = image->Ysize;
  const Taps& across = CachedTaps(in_width, width);
  const Taps& down = CachedTaps(in_height, height);
  // Input rows as floats, padded to whole blocks and one pixel more: the
  // vertical pass reads blocks, the horizontal one reads a pixel as four.
  const int in_floats = in_width * 3;
  const size_t row_floats = (size_t(in_floats) + kBlock - 1) / kBlock * kBlock + kBlock;
  const int ring_rows = down.stride;
  if (row_floats * ring_rows > kMaxRingFloats) return nullptr;

  const ImagePtr source = InMemory(image);
  if (!source) return nullptr;
  ImagePtr out(vips_image_new_memory());
  vips_image_init_fields(out.get(), width, height, 3, VIPS_FORMAT_UCHAR, VIPS_CODING_NONE,
                         VIPS_INTERPRETATION_sRGB, image->Xres, image->Yres);
  if (vips_image_write_prepare(out.get()) != 0) {
    ForgetVipsError();
    return nullptr;
  }

  // Vertical pass first, over the input rows (few taps' worth held as floats),
  // so the horizontal pass, which can use only three of four lanes, runs on
  // output rows alone.
  thread_local std::vector<float> kept_ring, kept_line;
  std::vector<float> own_ring, own_line;
  float* const ring = Floats(kept_ring, own_ring, row_floats * ring_rows);
  // The horizontal pass reads up to a whole tap row past a pixel near the
  // right edge (see below), and four floats for every three.
  float* const line =
      Floats(kept_line, own_line, std::max(row_floats, size_t(in_width + across.stride) * 3 + 4));
  std::vector<const float*> rows(static_cast<size_t>(ring_rows));
  int rows_read = 0;
  for (int y = 0; y < height; ++y) {
    const int needed = down.first[y] + down.count[y];
    for (; rows_read < needed; ++rows_read) {
      const auto* bytes = static_cast<const unsigned char*>(VIPS_IMAGE_ADDR(source.get(), 0, rows_read));
      float* row = &ring[row_floats * size_t(rows_read % ring_rows)];
      for (int i = 0; i < in_floats; ++i) row[i] = bytes[i];
    }
    const int count = down.count[y];
    const float* weights = &down.weights[size_t(y) * down.stride];
    for (int k = 0; k < count; ++k) rows[k] = &ring[row_floats * size_t((down.first[y] + k) % ring_rows)];
    // Each block sums all its taps in registers and is stored once; four
    // blocks at a time, so four sums are under way while one waits on its
    // multiply-add.
    int i = 0;
    // (Four variables, not an array: GCC copies an array of vectors through
    // the stack, and the reads then wait on the writes.)
    for (; i + 4 * kBlock <= in_floats; i += 4 * kBlock) {
      Block total0 = {}, total1 = {}, total2 = {}, total3 = {};
      for (int k = 0; k < count; ++k) {
        const float* row = rows[k] + i;
        const float weight = weights[k];
        Block block0, block1, block2, block3;
        LoadBlock(block0, row);
        LoadBlock(block1, row + kBlock);
        LoadBlock(block2, row + 2 * kBlock);
        LoadBlock(block3, row + 3 * kBlock);
        total0 += weight * block0;
        total1 += weight * block1;
        total2 += weight * block2;
        total3 += weight * block3;
      }
      float* out_floats = &line[size_t(i)];
      std::memcpy(out_floats, &total0, sizeof total0);
      std::memcpy(out_floats + kBlock, &total1, sizeof total1);
      std::memcpy(out_floats + 2 * kBlock, &total2, sizeof total2);
      std::memcpy(out_floats + 3 * kBlock, &total3, sizeof total3);
    }
    for (; i < in_floats; i += kBlock) {
      Block total = {};
      for (int k = 0; k < count; ++k) {
        Block block;
        LoadBlock(block, rows[k] + i);
        total += weights[k] * block;
      }
      std::memcpy(&line[size_t(i)], &total, sizeof total);
    }
    auto* bytes = static_cast<unsigned char*>(VIPS_IMAGE_ADDR(out.get(), 0, y));
    // Four output pixels at a time for the same reason, each over the most
    // taps of the four: a pixel's weights beyond its own taps are zero, and
    // the line is long enough for the reads they make.
    int x = 0;
    for (; x + 4 <= width; x += 4) {
      const int count4 = std::max({across.count[x], across.count[x + 1], across.count[x + 2],
                                   across.count[x + 3]});
      const size_t stride = size_t(across.stride);
      const float* taps = &across.weights[size_t(x) * stride];
      const float* pixels0 = &line[size_t(across.first[x]) * 3];
      const float* pixels1 = &line[size_t(across.first[x + 1]) * 3];
      const float* pixels2 = &line[size_t(across.first[x + 2]) * 3];
      const float* pixels3 = &line[size_t(across.first[x + 3]) * 3];
      Pixel total0 = {}, total1 = {}, total2 = {}, total3 = {};
      for (int k = 0; k < count4; ++k) {
        total0 += taps[k] * LoadPixel(pixels0 + 3 * k);
        total1 += taps[stride + k] * LoadPixel(pixels1 + 3 * k);
        total2 += taps[2 * stride + k] * LoadPixel(pixels2 + 3 * k);
        total3 += taps[3 * stride + k] * LoadPixel(pixels3 + 3 * k);
      }
      StorePixel(total0, bytes + 3 * x);
      StorePixel(total1, bytes + 3 * (x + 1));
      StorePixel(total2, bytes + 3 * (x + 2));
      StorePixel(total3, bytes + 3 * (x + 3));
    }
    for (; x < width; ++x) {
      const float* taps = &across.weights[size_t(x) * across.stride];
      const float* pixels = &line[size_t(across.first[x]) * 3];
      Pixel total = {0.0f, 0.0f, 0.0f, 0.0f};
      for (int k = 0; k < across.count[x]; ++k) total += taps[k] * LoadPixel(pixels + 3 * k);
      StorePixel(total, bytes + 3 * x);
    }
  }
  return out;
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define SNAPCRATE_WIDE_FILTER 1
// Built for x86-64-v3 (AVX2, FMA): the vertical pass runs twice as wide and
// both use fused multiply-adds; the filter takes about a fifth less time.
__attribute__((target("arch=x86-64-v3"))) ImagePtr ReduceWide(VipsImage* image, int width, int height) {
  return ReduceIn<Wide>(image, width, height);
}
#endif

}  // namespace

ImagePtr ReduceLanczos3(VipsImage* image, int width, int height) {
#ifdef SNAPCRATE_WIDE_FILTER
  // Decided once per process, so scaled load and decode-then-scale, and every
  // picture of an album, go through the same build and agree.
  static const bool wide = __builtin_cpu_supports("x86-64-v3");
  if (wide) return ReduceWide(image, width, height);
#endif
  return ReduceIn<Pixel>(image, width, height);
}

}  // namespace snapcrate::pixcore
