#pragma once
// Test pictures made on the fly with libvips, and ways to look into the files
// the library writes.

#include <iosfwd>
#include <string>
#include <vector>

namespace snapcrate::testing {

/// A fresh temporary directory, removed with everything in it afterwards.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  /// The directory + "/" + name.
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }
  /// Names of the entries, sorted.
  std::vector<std::string> List() const;

 private:
  std::string path_;
};

struct Rgb {
  int red = 0, green = 0, blue = 0;
};

inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kGreen{0, 255, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kWhite{255, 255, 255};

/// Writes a width x height picture in four quadrants, red top left, green top
/// right, blue bottom left, white bottom right. The format follows the
/// extension (.jpg, .png, .gif, .tif, .webp); JPEG at quality 95.
bool WriteQuadrants(const std::string& path, int width, int height);

/// The quadrant picture stored in another colour space or depth.
enum class ColourVariant { kGreyJpeg, kCmykJpeg, kRgb16Png, kGreyAlphaPng };
bool WriteQuadrantsAs(const std::string& path, int width, int height, ColourVariant variant);

/// Writes a photo-like JPEG (smooth gradients with blurred grain), the same
/// pixels for the same size.
bool WritePhotoLike(const std::string& path, int width, int height, int quality = 90);

/// Writes a PNG with alpha: left half opaque red, right half fully transparent.
bool WriteHalfTransparentPng(const std::string& path, int width, int height);

/// Writes a JPEG whose EXIF says "rotate by 90 degrees to display".
bool WriteJpegWithOrientation(const std::string& path, int width, int height, int orientation);

/// Width and height from the file's header (0 x 0 when unreadable).
struct Size {
  int width = 0, height = 0;
  bool operator==(const Size&) const = default;
};
Size FileSize(const std::string& path);

/// The colour at (x, y) of a picture file; -1 components when unreadable.
Rgb PixelAt(const std::string& path, int x, int y);

/// True when every component is within `tolerance` of the expected colour.
bool Near(const Rgb& actual, const Rgb& expected, int tolerance = 12);

/// The mean absolute difference per component of two pictures of equal size;
/// a large value when they cannot be compared.
double MeanDifference(const std::string& first, const std::string& second);

/// The marker bytes (0xE0..0xEF, 0xFE) of the segments before the first scan.
std::vector<int> JpegMarkersBeforeScan(const std::string& path);

/// The whole file, or empty.
std::string ReadBytes(const std::string& path);
/// Writes bytes to a file.
bool WriteBytes(const std::string& path, const std::string& bytes);

/// Prints a colour in failure messages.
std::ostream& operator<<(std::ostream& out, const Rgb& colour);

}  // namespace snapcrate::testing
