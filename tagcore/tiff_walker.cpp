#include "tagcore/tiff_walker.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "tagcore/field_types.h"
#include "tagcore/tag_tables.h"
#include "tagcore/tagcore.h"

namespace snapcrate::tagcore {

namespace {

constexpr uint32_t kTagMake = 0x010F;
constexpr uint32_t kTagExifOffset = 0x8769;
constexpr uint32_t kTagMakerNote = 0x927C;
constexpr uint32_t kTagCameraSettings1 = 1;
constexpr uint32_t kTagCameraSettings2 = 4;

constexpr int kKindMainImage = 0;
constexpr int kKindExif = -1;
constexpr int kKindCanonMakerNote = -100;

constexpr size_t kMakeCapacity = 61;
constexpr uint32_t kEntrySize = 12;
// Real files nest three deep (IFD0, EXIF, maker note); the limit only keeps a
// crafted chain of sub-directories from eating the stack.
constexpr int kMaxNesting = 32;

class TiffWalker {
 public:
  TiffWalker(const uint8_t* data, uint32_t length, const FileLayout& layout, DumpSink& sink,
             EntryHook* hook)
      : data_(data),
        length_(length),
        layout_(layout),
        sink_(sink),
        hook_(hook),
        walked_(length, false) {}

  int Walk();

 private:
  bool Fits(uint64_t offset, uint64_t size) const { return offset + size <= length_; }
  uint32_t U16(uint64_t offset) const;
  uint32_t U32(uint64_t offset) const;
  uint64_t U64(uint64_t offset) const;

  int WalkDirectory(const TagTable& table, int kind, uint32_t offset);
  int WalkEntry(const TagTable& table, int kind, uint32_t entry_offset);
  int WalkArray(const TagTable& table, uint32_t offset, int64_t elements);
  void DumpValue(uint32_t type, uint32_t count, uint32_t value_offset);

  const uint8_t* data_;
  uint32_t length_;
  const FileLayout& layout_;
  DumpSink& sink_;
  EntryHook* hook_;
  bool big_endian_ = false;
  std::vector<bool> walked_;
  int nesting_ = 0;
  char make_[kMakeCapacity + 1] = {};
};

uint32_t TiffWalker::U16(uint64_t offset) const {
  const uint8_t* p = data_ + offset;
  return big_endian_ ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0];
}

uint32_t TiffWalker::U32(uint64_t offset) const {
  return big_endian_ ? (U16(offset) << 16) | U16(offset + 2)
                     : (U16(offset + 2) << 16) | U16(offset);
}

uint64_t TiffWalker::U64(uint64_t offset) const {
  const uint64_t first = U32(offset), second = U32(offset + 4);
  return big_endian_ ? (first << 32) | second : (second << 32) | first;
}

int TiffWalker::Walk() {
  if (data_[0] != 'I' && data_[0] != 'M') {
    std::printf("Unknown endian format '%c'!\n", data_[0]);
    return TAGCORE_BAD_TIFF;
  }
  big_endian_ = data_[0] == 'M';
  if (!Fits(4, 4)) return TAGCORE_BAD_TIFF;
  uint32_t offset = U32(4);
  for (int kind = kKindMainImage;; ++kind) {
    if (int code = WalkDirectory(kExifTable, kind, offset)) return code;
    const uint64_t link = offset + 2 + uint64_t{kEntrySize} * U16(offset);
    if (!Fits(link, 4)) return TAGCORE_BAD_TIFF;
    offset = U32(link);
    if (offset == 0) return TAGCORE_OK;
  }
}

int TiffWalker::WalkDirectory(const TagTable& table, int kind, uint32_t offset) {
  if (!Fits(offset, 2) || walked_[offset]) return TAGCORE_BAD_TIFF;
  walked_[offset] = true;
  const uint32_t entries = U16(offset);
  if (!Fits(offset + 2, uint64_t{kEntrySize} * entries)) return TAGCORE_BAD_TIFF;
  for (uint32_t i = 0; i < entries; ++i)
    if (int code = WalkEntry(table, kind, offset + 2 + kEntrySize * i)) return code;
  return TAGCORE_OK;
}

int TiffWalker::WalkEntry(const TagTable& table, int kind, uint32_t entry_offset) {
  const uint32_t tag = U16(entry_offset);
  const uint32_t type = U16(entry_offset + 2);
  const uint32_t count = U32(entry_offset + 4);
  sink_.Piece("Tag 0x%04X[%3d] %s.%s = ", tag, static_cast<int32_t>(count), table.prefix,
              LookUpTagName(table, tag));

  if (!IsKnownFieldType(type) || count >= 0x80000000u) return TAGCORE_BAD_TIFF;
  const uint64_t size = uint64_t{ComponentSize(type)} * count;
  if (size > 0xFFFFFFFFu) return TAGCORE_BAD_TIFF;
  const bool inline_value = size <= 4;
  const uint32_t value_offset = inline_value ? entry_offset + 8 : U32(entry_offset + 8);
  if (!Fits(value_offset, size)) return TAGCORE_BAD_TIFF;

  if (sink_.active()) {
    DumpValue(type, count, value_offset);
    sink_.Piece("\n");
  }

  if (kind == kKindMainImage && tag == kTagMake) {
    const size_t copied = count < kMakeCapacity ? count : kMakeCapacity;
    std::memcpy(make_, data_ + value_offset, copied);
    make_[copied] = '\0';
  } else if (kind == kKindExif && tag == kTagMakerNote && std::strcmp(make_, "Canon") == 0) {
    ++nesting_;
    const int code = nesting_ > kMaxNesting
                         ? TAGCORE_BAD_TIFF
                         : WalkDirectory(kCanonTable, kKindCanonMakerNote, value_offset);
    --nesting_;
    if (code) return code;
  } else if (kind == kKindCanonMakerNote && tag == kTagCameraSettings1) {
    if (int code = WalkArray(kCanonSettings1Table, value_offset, int64_t{count} - 1)) return code;
  } else if (kind == kKindCanonMakerNote && tag == kTagCameraSettings2) {
    if (int code = WalkArray(kCanonSettings2Table, value_offset, int64_t{count} - 1)) return code;
  }

  if (hook_ != nullptr) {
    const DirectoryEntry entry{tag,
                               type,
                               count,
                               data_ + value_offset,
                               inline_value,
                               layout_.Position(value_offset),
                               !layout_.Contiguous(value_offset, size)};
    if (int code = hook_->OnEntry(entry)) return code;
  }

  // Only an integer can point at a directory; a text or rational ExifOffset is
  // a broken entry and is dumped like any other.
  if (tag == kTagExifOffset && count >= 1) {
    uint32_t sub_offset;
    if (type == kShort || type == kSignedShort)
      sub_offset = U16(value_offset);
    else if (type == kLong || type == kSignedLong)
      sub_offset = U32(value_offset);
    else
      return TAGCORE_OK;
    ++nesting_;
    const int code =
        nesting_ > kMaxNesting ? TAGCORE_BAD_TIFF : WalkDirectory(table, kKindExif, sub_offset);
    --nesting_;
    return code;
  }
  return TAGCORE_OK;
}

int TiffWalker::WalkArray(const TagTable& table, uint32_t offset, int64_t elements) {
  if (elements <= 0) return TAGCORE_OK;
  // Word 0 (the array's byte size) is skipped; elements 1 .. m follow.
  if (!Fits(offset, 2 * (static_cast<uint64_t>(elements) + 1))) return TAGCORE_BAD_TIFF;
  for (int64_t i = 1; i <= elements; ++i) {
    const uint32_t element = static_cast<uint32_t>(i);
    sink_.Piece("Tag 0x%04X[%3d] %s.%s = ", element, 1, table.prefix,
                LookUpTagName(table, element));
    sink_.Piece("%u\n", U16(offset + 2 * element));
  }
  return TAGCORE_OK;
}

void TiffWalker::DumpValue(uint32_t type, uint32_t count, uint32_t value_offset) {
  const uint8_t* value = data_ + value_offset;
  switch (type) {
    case kAscii:
      sink_.Piece("'");
      for (uint32_t i = 0; i < count && value[i] != '\0'; ++i)
        if (value[i] >= 0x20) sink_.Piece("%c", value[i]);
      sink_.Piece("'");
      return;
    case kRational:
    case kSignedRational:
      for (uint32_t i = 0; i < count; ++i) {
        const auto numerator = static_cast<int32_t>(U32(value_offset + 8 * uint64_t{i}));
        const auto denominator = static_cast<int32_t>(U32(value_offset + 8 * uint64_t{i} + 4));
        const double quotient =
            denominator == 0 ? 0.0 : static_cast<double>(numerator) / denominator;
        sink_.Piece("%d/%d=%.3g ", numerator, denominator, quotient);
      }
      return;
    default:
      break;
  }
  const uint32_t size = ComponentSize(type);
  for (uint32_t i = 0; i < count; ++i) {
    const uint64_t at = value_offset + uint64_t{size} * i;
    switch (size) {
      case 1:
        sink_.Piece("%u ", unsigned{data_[at]});
        break;
      case 2:
        sink_.Piece("%u ", U16(at));
        break;
      case 4:
        sink_.Piece("%u ", U32(at));
        break;
      default:
        // A DOUBLE: its 8 bytes as one unsigned number, like every other
        // non-rational component is written from its raw bits.
        sink_.Piece("%llu ", static_cast<unsigned long long>(U64(at)));
        break;
    }
  }
}

}  // namespace

int WalkTiff(const uint8_t* data, uint32_t length, const FileLayout& layout, DumpSink& sink,
             EntryHook* hook) {
  if (length == 0) return TAGCORE_BAD_TIFF;
  return TiffWalker(data, length, layout, sink, hook).Walk();
}

}  // namespace snapcrate::tagcore
