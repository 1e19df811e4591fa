// Builds EXIF TIFF data with any directory layout, for tests: both byte orders,
// directory chains, sub-directories and maker notes, arbitrary types and counts,
// and deliberately broken offsets, links and loops.
#ifndef SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_TIFF_BUILDER_H_
#define SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_TIFF_BUILDER_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace snapcrate::exif_writer {

using Bytes = std::vector<uint8_t>;

enum class ByteOrder {
  kLittle,  // "II"
  kBig,     // "MM"
};

/// Numerator and denominator; signed values are stored as their 32-bit patterns.
struct Rational {
  int64_t numerator;
  int64_t denominator;
};

/// Common tag numbers.
namespace tag {
constexpr uint16_t kMake = 0x010F;
constexpr uint16_t kModel = 0x0110;
constexpr uint16_t kOrientation = 0x0112;
constexpr uint16_t kXResolution = 0x011A;
constexpr uint16_t kYResolution = 0x011B;
constexpr uint16_t kCompression = 0x0103;
constexpr uint16_t kResolutionUnit = 0x0128;
constexpr uint16_t kSoftware = 0x0131;
constexpr uint16_t kDateTime = 0x0132;
constexpr uint16_t kJpegInterchangeFormat = 0x0201;
constexpr uint16_t kJpegInterchangeFormatLength = 0x0202;
constexpr uint16_t kExposureTime = 0x829A;
constexpr uint16_t kFNumber = 0x829D;
constexpr uint16_t kExifOffset = 0x8769;
constexpr uint16_t kIsoSpeedRatings = 0x8827;
constexpr uint16_t kExifVersion = 0x9000;
constexpr uint16_t kDateTimeOriginal = 0x9003;
constexpr uint16_t kDateTimeDigitized = 0x9004;
constexpr uint16_t kShutterSpeedValue = 0x9201;
constexpr uint16_t kApertureValue = 0x9202;
constexpr uint16_t kFlash = 0x9209;
constexpr uint16_t kFocalLength = 0x920A;
constexpr uint16_t kMakerNote = 0x927C;
constexpr uint16_t kExifImageWidth = 0xA002;
constexpr uint16_t kExifImageLength = 0xA003;
constexpr uint16_t kCanonCameraSettings1 = 0x0001;
constexpr uint16_t kCanonCameraSettings2 = 0x0004;
constexpr uint16_t kCanonImageType = 0x0006;
constexpr uint16_t kCanonFirmwareVersion = 0x0007;
}  // namespace tag

/// TIFF field type numbers.
namespace type {
constexpr uint16_t kByte = 1;
constexpr uint16_t kAscii = 2;
constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;
constexpr uint16_t kRational = 5;
constexpr uint16_t kSignedByte = 6;
constexpr uint16_t kUndefined = 7;
constexpr uint16_t kSignedShort = 8;
constexpr uint16_t kSignedLong = 9;
constexpr uint16_t kSignedRational = 10;
constexpr uint16_t kFloat = 11;
constexpr uint16_t kDouble = 12;
}  // namespace type

/// Bytes per component of a type; 0 outside 1 to 12.
uint32_t TypeSize(uint32_t type_number);

class TiffBuilder {
 public:
  /// Handle of a directory.
  using Dir = size_t;
  /// Handle of a free-standing block of bytes (a thumbnail, filler).
  using Blob = size_t;

  explicit TiffBuilder(ByteOrder order = ByteOrder::kLittle) : order_(order) {}

  ByteOrder order() const { return order_; }

  /// A new empty directory. Directories and blobs are laid out in creation
  /// order; the first directory created is IFD0 unless SetFirstOffset says else.
  Dir AddDirectory();
  /// Bytes laid out after the directories created before it, word-aligned.
  Blob AddBlob(Bytes bytes);

  /// Text with its NUL; count = length + 1.
  TiffBuilder& Ascii(Dir dir, uint16_t tag, std::string_view text);
  /// Exactly these bytes under an explicit count (no NUL added).
  TiffBuilder& AsciiCounted(Dir dir, uint16_t tag, std::string_view bytes, uint32_t count);
  TiffBuilder& Byte(Dir dir, uint16_t tag, const std::vector<uint8_t>& values);
  TiffBuilder& Undefined(Dir dir, uint16_t tag, const Bytes& values);
  TiffBuilder& Short(Dir dir, uint16_t tag, const std::vector<uint16_t>& values);
  TiffBuilder& SignedShort(Dir dir, uint16_t tag, const std::vector<int16_t>& values);
  TiffBuilder& Long(Dir dir, uint16_t tag, const std::vector<uint32_t>& values);
  TiffBuilder& SignedLong(Dir dir, uint16_t tag, const std::vector<int32_t>& values);
  TiffBuilder& RationalValue(Dir dir, uint16_t tag, const std::vector<Rational>& values);
  TiffBuilder& SignedRational(Dir dir, uint16_t tag, const std::vector<Rational>& values);
  /// FLOAT and DOUBLE components given as their raw bit patterns.
  TiffBuilder& FloatBits(Dir dir, uint16_t tag, const std::vector<uint32_t>& bits);
  TiffBuilder& DoubleBits(Dir dir, uint16_t tag, const std::vector<uint64_t>& bits);

  /// Any type, count and value bytes (file order); the value is stored inline
  /// when TypeSize(type) × count ≤ 4, else out of line. Bytes and count need not
  /// agree, so a count can claim more than is stored.
  TiffBuilder& Entry(Dir dir, uint16_t tag, uint16_t type_number, uint32_t count, Bytes value);
  /// An entry whose 4-byte value field is written verbatim (bad offsets).
  TiffBuilder& EntryWithField(Dir dir, uint16_t tag, uint16_t type_number, uint32_t count,
                              uint32_t field);
  /// A LONG entry holding the offset of child (ExifOffset by default).
  TiffBuilder& SubDirectory(Dir dir, Dir child, uint16_t tag = tag::kExifOffset);
  /// An UNDEFINED entry whose value is the directory note (a maker note); its
  /// count is the byte size of the note's block.
  TiffBuilder& MakerNote(Dir dir, Dir note, uint16_t tag = tag::kMakerNote);
  /// A LONG entry holding the offset of a blob (JPEGInterchangeFormat).
  TiffBuilder& BlobOffset(Dir dir, uint16_t tag, Blob blob);
  /// A Canon camera-settings array: word 0 is the array's byte size, then the
  /// elements 1 .. n; count = n + 1.
  TiffBuilder& CameraSettings(Dir dir, uint16_t tag, const std::vector<uint16_t>& elements);

  /// Next-directory link from dir to next.
  TiffBuilder& Chain(Dir dir, Dir next);
  /// Next-directory link written verbatim.
  TiffBuilder& ChainRaw(Dir dir, uint32_t offset);
  /// IFD0 offset in the header written verbatim.
  TiffBuilder& SetFirstOffset(uint32_t offset);

  /// The TIFF data: header, then directories and blobs in creation order, each
  /// directory followed by its out-of-line values.
  Bytes Build();

  /// Offset of a directory in the data of the last Build.
  uint32_t DirectoryOffset(Dir dir) const;
  /// Offset of the value of entry index (in insertion order) of dir, last Build.
  uint32_t ValueOffset(Dir dir, size_t index) const;
  /// Offset of a blob, last Build.
  uint32_t BlobOffsetOf(Blob blob) const;

 private:
  enum class Target { kNone, kDirectory, kBlob };
  struct EntrySpec {
    uint16_t tag;
    uint16_t type_number;
    uint32_t count;
    Bytes value;
    std::optional<uint32_t> field;
    Target target = Target::kNone;
    size_t target_index = 0;
    bool count_is_target_size = false;
    uint32_t value_offset = 0;  // filled by Build
  };
  struct DirectorySpec {
    std::vector<EntrySpec> entries;
    std::optional<Dir> next;
    std::optional<uint32_t> next_raw;
    uint32_t offset = 0;      // filled by Build
    uint32_t block_size = 0;  // directory plus its out-of-line values
  };
  struct Part {
    bool is_directory;
    size_t index;
  };

  void Put16(Bytes& out, uint32_t value) const;
  void Put32(Bytes& out, uint32_t value) const;
  Bytes Encode16(const std::vector<uint16_t>& values) const;
  Bytes Encode32(const std::vector<uint32_t>& values) const;
  TiffBuilder& Add(Dir dir, EntrySpec entry);
  static bool IsInline(const EntrySpec& entry);

  ByteOrder order_;
  std::vector<DirectorySpec> directories_;
  std::vector<Bytes> blobs_;
  std::vector<uint32_t> blob_offsets_;
  std::vector<Part> parts_;
  std::optional<uint32_t> first_offset_;
};

}  // namespace snapcrate::exif_writer

#endif  // SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_TIFF_BUILDER_H_
