#include "jpegtran/exif_after_turn.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace snapcrate::jpegtran {
namespace {

constexpr uint16_t kOrientation = 0x0112;
constexpr uint16_t kExifIfdPointer = 0x8769;
constexpr uint16_t kPixelXDimension = 0xA002;
constexpr uint16_t kPixelYDimension = 0xA003;
constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;
constexpr uint16_t kIfd = 13;

// The TIFF structure inside an EXIF segment, with bounds-checked access.
class Tiff {
 public:
  Tiff(unsigned char* data, size_t size) : data_(data), size_(size) {}

  bool ReadHeader(uint32_t* first_ifd) {
    if (size_ < 8) return false;
    if (std::memcmp(data_, "II", 2) == 0) {
      little_endian_ = true;
    } else if (std::memcmp(data_, "MM", 2) != 0) {
      return false;
    }
    uint16_t magic = 0;
    return Get16(2, &magic) && magic == 42 && Get32(4, first_ifd);
  }

  bool Get16(size_t at, uint16_t* value) const {
    if (at > size_ || size_ - at < 2) return false;
    *value = little_endian_ ? uint16_t(data_[at] | data_[at + 1] << 8)
                            : uint16_t(data_[at] << 8 | data_[at + 1]);
    return true;
  }

  bool Get32(size_t at, uint32_t* value) const {
    uint16_t first = 0, second = 0;
    if (!Get16(at, &first) || !Get16(at + 2, &second)) return false;
    *value = little_endian_ ? uint32_t(second) << 16 | first : uint32_t(first) << 16 | second;
    return true;
  }

  void Put16(size_t at, uint16_t value) {
    data_[at + (little_endian_ ? 0 : 1)] = uint8_t(value & 0xFF);
    data_[at + (little_endian_ ? 1 : 0)] = uint8_t(value >> 8);
  }

  void Put32(size_t at, uint32_t value) {
    Put16(at + (little_endian_ ? 0 : 2), uint16_t(value & 0xFFFF));
    Put16(at + (little_endian_ ? 2 : 0), uint16_t(value >> 16));
  }

  /// Calls visit(tag, type, count, offset of the entry's value field) for each
  /// entry of the directory at `ifd`; false when it does not fit.
  template <typename Visit>
  bool ForEachEntry(uint32_t ifd, Visit visit) const {
    uint16_t count = 0;
    if (!Get16(ifd, &count) || size_ - ifd - 2 < size_t{count} * 12) return false;
    for (uint16_t i = 0; i < count; ++i) {
      const size_t entry = ifd + 2 + size_t{i} * 12;
      uint16_t tag = 0, type = 0;
      uint32_t values = 0;
      Get16(entry, &tag);
      Get16(entry + 2, &type);
      Get32(entry + 4, &values);
      visit(tag, type, values, entry + 8);
    }
    return true;
  }

 private:
  unsigned char* data_;
  size_t size_;
  bool little_endian_ = false;
};

// A single SHORT or LONG number in an entry's value field.
struct Number {
  size_t at = 0;
  uint16_t type = 0;
  uint32_t value = 0;
  bool found = false;
};

Number ReadNumber(const Tiff& tiff, uint16_t type, uint32_t count, size_t at) {
  Number number;
  if (count != 1) return number;
  if (type == kShort) {
    uint16_t value = 0;
    number.found = tiff.Get16(at, &value);
    number.value = value;
  } else if (type == kLong) {
    number.found = tiff.Get32(at, &number.value);
  }
  number.at = at;
  number.type = type;
  return number;
}

bool WriteNumber(Tiff& tiff, const Number& number, uint32_t value) {
  if (number.type == kShort) {
    if (value > 0xFFFF) return false;
    tiff.Put16(number.at, uint16_t(value));
  } else {
    tiff.Put32(number.at, value);
  }
  return true;
}

ExifChanges UpdateTiff(Tiff tiff, int old_width, int old_height, int new_width, int new_height,
                       bool quarter_turn) {
  ExifChanges changes;
  uint32_t ifd0 = 0;
  if (!tiff.ReadHeader(&ifd0)) return changes;
  Number orientation;
  uint32_t exif_ifd = 0;
  tiff.ForEachEntry(ifd0, [&](uint16_t tag, uint16_t type, uint32_t count, size_t at) {
    if (tag == kOrientation && type == kShort) orientation = ReadNumber(tiff, type, count, at);
    if (tag == kExifIfdPointer && (type == kLong || type == kIfd) && count == 1) {
      tiff.Get32(at, &exif_ifd);
    }
  });
  if (orientation.found && orientation.value != 1) {
    tiff.Put16(orientation.at, 1);
    changes.orientation_reset = true;
  }
  if (exif_ifd == 0 || exif_ifd == ifd0) return changes;
  Number x, y;
  tiff.ForEachEntry(exif_ifd, [&](uint16_t tag, uint16_t type, uint32_t count, size_t at) {
    if (tag == kPixelXDimension) x = ReadNumber(tiff, type, count, at);
    if (tag == kPixelYDimension) y = ReadNumber(tiff, type, count, at);
  });
  if (!x.found || !y.found) return changes;
  uint32_t width = x.value, height = y.value;
  // libjpeg-turbo itself sets the new size when the EXIF segment comes first.
  if (width == uint32_t(new_width) && height == uint32_t(new_height)) return changes;
  if (width == uint32_t(old_width) && height == uint32_t(old_height)) {
    width = uint32_t(new_width);
    height = uint32_t(new_height);
  } else if (quarter_turn) {
    // Some cameras record a size other than the file's; keep it, turned.
    std::swap(width, height);
  }
  if (width == x.value && height == y.value) return changes;
  if (WriteNumber(tiff, x, width) && WriteNumber(tiff, y, height)) changes.dimensions_set = true;
  return changes;
}

}  // namespace

ExifChanges UpdateExifAfterTurn(unsigned char* jpeg, size_t size, int old_width, int old_height,
                                int new_width, int new_height, bool quarter_turn) {
  if (size < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return {};
  size_t at = 2;
  // The marker segments before the picture data; EXIF is one of them.
  while (at + 4 <= size && jpeg[at] == 0xFF) {
    const unsigned char marker = jpeg[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) break;
    const size_t length = size_t{jpeg[at + 2]} << 8 | jpeg[at + 3];
    if (length < 2 || length > size - at - 2) break;
    constexpr unsigned char kExifName[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (marker == 0xE1 && length >= 2 + 6 + 8 &&
        std::memcmp(jpeg + at + 4, kExifName, sizeof kExifName) == 0) {
      return UpdateTiff(Tiff(jpeg + at + 10, length - 8), old_width, old_height, new_width,
                        new_height, quarter_turn);
    }
    at += 2 + length;
  }
  return {};
}

}  // namespace snapcrate::jpegtran
