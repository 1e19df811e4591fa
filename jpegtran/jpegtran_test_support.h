#pragma once
// JPEG test files made with TurboJPEG, and a hand-made EXIF segment whose
// values sit at known places.

#include <cstdint>
#include <string>
#include <vector>

namespace snapcrate::testing {

struct Rgb {
  int red = 0, green = 0, blue = 0;
  bool operator==(const Rgb&) const = default;
};

/// A decoded picture, 3 bytes per pixel.
struct Decoded {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  Rgb At(int x, int y) const;
};

/// A width x height JPEG in four quadrants (red, green / blue, white) with the
/// given TJSAMP_* chroma subsampling.
std::string MakeJpeg(int width, int height, int subsampling);

/// Decodes JPEG bytes; width 0 when they are no JPEG.
Decoded DecodeJpeg(const std::string& jpeg);

/// True when every component is within `tolerance` of the expected colour.
bool Near(const Rgb& actual, const Rgb& expected, int tolerance = 16);

/// The values the EXIF segment below carries.
struct ExifValues {
  uint16_t orientation = 0;
  uint32_t pixel_x = 0, pixel_y = 0;
  bool operator==(const ExifValues&) const = default;
};

/// A complete APP1 segment (marker included): TIFF header, IFD0 with Make,
/// Orientation and the EXIF IFD pointer, then the EXIF IFD with the pixel
/// dimensions as SHORT or LONG values.
std::string MakeExifSegment(bool big_endian, bool long_dimensions, const ExifValues& values);

/// Reads the values back from a segment MakeExifSegment built.
ExifValues ReadExifSegment(const std::string& segment, bool big_endian, bool long_dimensions);

/// The JPEG with `segment` placed right after its start-of-image marker.
std::string InsertAfterStart(const std::string& jpeg, const std::string& segment);

/// The first segment with `marker` (0xE1, 0xFE, ...) before the picture data,
/// marker included; empty when there is none.
std::string FindSegment(const std::string& jpeg, int marker, const std::string& prefix = "");

/// The whole file, or empty.
std::string ReadBytes(const std::string& path);
/// Writes bytes to a file.
bool WriteBytes(const std::string& path, const std::string& bytes);

/// A fresh temporary directory, removed afterwards.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  /// Names of the entries, sorted.
  std::vector<std::string> List() const;

 private:
  std::string path_;
};

}  // namespace snapcrate::testing
