#include "jpegtran/jpegtran_test_support.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace snapcrate::testing {
namespace {

// Offsets inside the TIFF data of MakeExifSegment's layout.
constexpr size_t kOrientationValue = 8 + 2 + 12 + 8;
constexpr size_t kExifIfd = 56;
constexpr size_t kPixelXValue = kExifIfd + 2 + 8;
constexpr size_t kPixelYValue = kExifIfd + 2 + 12 + 8;
constexpr size_t kTiffStart = 4 + 6;  // marker, length, "Exif\0\0"

class Writer {
 public:
  explicit Writer(bool big_endian) : big_endian_(big_endian) {}
  void U16(uint32_t value) {
    if (big_endian_) {
      Byte(value >> 8), Byte(value);
    } else {
      Byte(value), Byte(value >> 8);
    }
  }
  void U32(uint32_t value) {
    if (big_endian_) {
      U16(value >> 16), U16(value & 0xFFFF);
    } else {
      U16(value & 0xFFFF), U16(value >> 16);
    }
  }
  void Entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value, bool short_value) {
    U16(tag), U16(type), U32(count);
    if (short_value) {
      U16(value), U16(0);
    } else {
      U32(value);
    }
  }
  void Bytes(const std::string& bytes) { data_ += bytes; }
  const std::string& data() const { return data_; }

 private:
  void Byte(uint32_t value) { data_ += char(value & 0xFF); }
  bool big_endian_;
  std::string data_;
};

uint32_t Read(const std::string& bytes, size_t at, int width, bool big_endian) {
  uint32_t value = 0;
  for (int i = 0; i < width; ++i) {
    const uint32_t byte = static_cast<unsigned char>(bytes[at + i]);
    value |= big_endian ? byte << (8 * (width - 1 - i)) : byte << (8 * i);
  }
  return value;
}

}  // namespace

Rgb Decoded::At(int x, int y) const {
  const size_t at = (size_t(y) * width + x) * 3;
  return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

std::string MakeJpeg(int width, int height, int subsampling) {
  std::vector<unsigned char> pixels(size_t(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool right = x >= width / 2, bottom = y >= height / 2;
      const Rgb colour = !bottom ? (right ? Rgb{0, 255, 0} : Rgb{255, 0, 0})
                                 : (right ? Rgb{255, 255, 255} : Rgb{0, 0, 255});
      unsigned char* pixel = &pixels[(size_t(y) * width + x) * 3];
      pixel[0] = colour.red, pixel[1] = colour.green, pixel[2] = colour.blue;
    }
  }
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  std::string bytes;
  if (tjCompress2(handle, pixels.data(), width, 0, height, TJPF_RGB, &jpeg, &size, subsampling,
                  95, 0) == 0) {
    bytes.assign(reinterpret_cast<char*>(jpeg), size);
  }
  tjFree(jpeg);
  tjDestroy(handle);
  return bytes;
}

Decoded DecodeJpeg(const std::string& jpeg) {
  Decoded decoded;
  tjhandle handle = tjInitDecompress();
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  const auto* data = reinterpret_cast<const unsigned char*>(jpeg.data());
  if (tjDecompressHeader3(handle, data, jpeg.size(), &width, &height, &subsampling,
                          &colourspace) == 0) {
    decoded.rgb.resize(size_t(width) * height * 3);
    if (tjDecompress2(handle, data, jpeg.size(), decoded.rgb.data(), width, 0, height, TJPF_RGB,
                      TJFLAG_ACCURATEDCT) == 0) {
      decoded.width = width;
      decoded.height = height;
    }
  }
  tjDestroy(handle);
  return decoded;
}

bool Near(const Rgb& actual, const Rgb& expected, int tolerance) {
  return std::abs(actual.red - expected.red) <= tolerance &&
         std::abs(actual.green - expected.green) <= tolerance &&
         std::abs(actual.blue - expected.blue) <= tolerance;
}

std::string MakeExifSegment(bool big_endian, bool long_dimensions, const ExifValues& values) {
  Writer tiff(big_endian);
  tiff.Bytes(big_endian ? "MM" : "II");
  tiff.U16(42);
  tiff.U32(8);
  tiff.U16(3);                                   // IFD0 at 8
  tiff.Entry(0x010F, 2, 6, 50, false);           // Make, 6 bytes at 50
  tiff.Entry(0x0112, 3, 1, values.orientation, true);
  tiff.Entry(0x8769, 4, 1, kExifIfd, false);
  tiff.U32(0);
  tiff.Bytes(std::string("Cam01\0", 6));         // 50..55
  tiff.U16(2);                                   // EXIF IFD at 56
  tiff.Entry(0xA002, long_dimensions ? 4 : 3, 1, values.pixel_x, !long_dimensions);
  tiff.Entry(0xA003, long_dimensions ? 4 : 3, 1, values.pixel_y, !long_dimensions);
  tiff.U32(0);
  const std::string payload = std::string("Exif\0\0", 6) + tiff.data();
  const size_t length = payload.size() + 2;
  return std::string("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF) + payload;
}

ExifValues ReadExifSegment(const std::string& segment, bool big_endian, bool long_dimensions) {
  ExifValues values;
  if (segment.size() < kTiffStart + kPixelYValue + 4) return values;
  const std::string tiff = segment.substr(kTiffStart);
  values.orientation = uint16_t(Read(tiff, kOrientationValue, 2, big_endian));
  const int width = long_dimensions ? 4 : 2;
  values.pixel_x = Read(tiff, kPixelXValue, width, big_endian);
  values.pixel_y = Read(tiff, kPixelYValue, width, big_endian);
  return values;
}

std::string InsertAfterStart(const std::string& jpeg, const std::string& segment) {
  return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

std::string FindSegment(const std::string& jpeg, int marker, const std::string& prefix) {
  size_t at = 2;
  while (at + 4 <= jpeg.size() && static_cast<unsigned char>(jpeg[at]) == 0xFF) {
    const int found = static_cast<unsigned char>(jpeg[at + 1]);
    if (found == 0xDA) break;
    const size_t length = size_t(static_cast<unsigned char>(jpeg[at + 2])) << 8 |
                          static_cast<unsigned char>(jpeg[at + 3]);
    if (found == marker && jpeg.compare(at + 4, prefix.size(), prefix) == 0) {
      return jpeg.substr(at, 2 + length);
    }
    at += 2 + length;
  }
  return {};
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

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "jpegtran-XXXXXX").string();
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

}  // namespace snapcrate::testing
