#include "tests/support/exif_writer/tiff_builder.h"

#include <stdexcept>

namespace snapcrate::exif_writer {

namespace {
constexpr uint32_t kHeaderSize = 8;
constexpr uint32_t kEntrySize = 12;
}  // namespace

uint32_t TypeSize(uint32_t type_number) {
  constexpr uint8_t kSizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
  return type_number >= 1 && type_number <= 12 ? kSizes[type_number] : 0;
}

void TiffBuilder::Put16(Bytes& out, uint32_t value) const {
  if (order_ == ByteOrder::kBig) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
  } else {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
  }
}

void TiffBuilder::Put32(Bytes& out, uint32_t value) const {
  if (order_ == ByteOrder::kBig) {
    Put16(out, value >> 16);
    Put16(out, value & 0xFFFF);
  } else {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
  }
}

Bytes TiffBuilder::Encode16(const std::vector<uint16_t>& values) const {
  Bytes out;
  for (uint16_t value : values) Put16(out, value);
  return out;
}

Bytes TiffBuilder::Encode32(const std::vector<uint32_t>& values) const {
  Bytes out;
  for (uint32_t value : values) Put32(out, value);
  return out;
}

TiffBuilder::Dir TiffBuilder::AddDirectory() {
  directories_.emplace_back();
  parts_.push_back({true, directories_.size() - 1});
  return directories_.size() - 1;
}

TiffBuilder::Blob TiffBuilder::AddBlob(Bytes bytes) {
  blobs_.push_back(std::move(bytes));
  blob_offsets_.push_back(0);
  parts_.push_back({false, blobs_.size() - 1});
  return blobs_.size() - 1;
}

TiffBuilder& TiffBuilder::Add(Dir dir, EntrySpec entry) {
  directories_.at(dir).entries.push_back(std::move(entry));
  return *this;
}

TiffBuilder& TiffBuilder::Ascii(Dir dir, uint16_t tag, std::string_view text) {
  Bytes value(text.begin(), text.end());
  value.push_back(0);
  const auto count = static_cast<uint32_t>(value.size());
  return Add(dir, {tag, type::kAscii, count, std::move(value)});
}

TiffBuilder& TiffBuilder::AsciiCounted(Dir dir, uint16_t tag, std::string_view bytes,
                                       uint32_t count) {
  return Add(dir, {tag, type::kAscii, count, Bytes(bytes.begin(), bytes.end())});
}

TiffBuilder& TiffBuilder::Byte(Dir dir, uint16_t tag, const std::vector<uint8_t>& values) {
  return Add(dir, {tag, type::kByte, static_cast<uint32_t>(values.size()), values});
}

TiffBuilder& TiffBuilder::Undefined(Dir dir, uint16_t tag, const Bytes& values) {
  return Add(dir, {tag, type::kUndefined, static_cast<uint32_t>(values.size()), values});
}

TiffBuilder& TiffBuilder::Short(Dir dir, uint16_t tag, const std::vector<uint16_t>& values) {
  return Add(dir, {tag, type::kShort, static_cast<uint32_t>(values.size()), Encode16(values)});
}

TiffBuilder& TiffBuilder::SignedShort(Dir dir, uint16_t tag, const std::vector<int16_t>& values) {
  std::vector<uint16_t> patterns(values.begin(), values.end());
  return Add(dir,
             {tag, type::kSignedShort, static_cast<uint32_t>(values.size()), Encode16(patterns)});
}

TiffBuilder& TiffBuilder::Long(Dir dir, uint16_t tag, const std::vector<uint32_t>& values) {
  return Add(dir, {tag, type::kLong, static_cast<uint32_t>(values.size()), Encode32(values)});
}

TiffBuilder& TiffBuilder::SignedLong(Dir dir, uint16_t tag, const std::vector<int32_t>& values) {
  std::vector<uint32_t> patterns(values.begin(), values.end());
  return Add(dir,
             {tag, type::kSignedLong, static_cast<uint32_t>(values.size()), Encode32(patterns)});
}

TiffBuilder& TiffBuilder::RationalValue(Dir dir, uint16_t tag,
                                        const std::vector<Rational>& values) {
  std::vector<uint32_t> words;
  for (const Rational& r : values) {
    words.push_back(static_cast<uint32_t>(r.numerator));
    words.push_back(static_cast<uint32_t>(r.denominator));
  }
  return Add(dir, {tag, type::kRational, static_cast<uint32_t>(values.size()), Encode32(words)});
}

TiffBuilder& TiffBuilder::SignedRational(Dir dir, uint16_t tag,
                                         const std::vector<Rational>& values) {
  RationalValue(dir, tag, values);
  directories_.at(dir).entries.back().type_number = type::kSignedRational;
  return *this;
}

TiffBuilder& TiffBuilder::FloatBits(Dir dir, uint16_t tag, const std::vector<uint32_t>& bits) {
  return Add(dir, {tag, type::kFloat, static_cast<uint32_t>(bits.size()), Encode32(bits)});
}

TiffBuilder& TiffBuilder::DoubleBits(Dir dir, uint16_t tag, const std::vector<uint64_t>& bits) {
  std::vector<uint32_t> words;
  for (uint64_t value : bits) {
    const auto high = static_cast<uint32_t>(value >> 32), low = static_cast<uint32_t>(value);
    if (order_ == ByteOrder::kBig) {
      words.push_back(high);
      words.push_back(low);
    } else {
      words.push_back(low);
      words.push_back(high);
    }
  }
  return Add(dir, {tag, type::kDouble, static_cast<uint32_t>(bits.size()), Encode32(words)});
}

TiffBuilder& TiffBuilder::Entry(Dir dir, uint16_t tag, uint16_t type_number, uint32_t count,
                                Bytes value) {
  return Add(dir, {tag, type_number, count, std::move(value)});
}

TiffBuilder& TiffBuilder::EntryWithField(Dir dir, uint16_t tag, uint16_t type_number,
                                         uint32_t count, uint32_t field) {
  EntrySpec entry{tag, type_number, count, {}};
  entry.field = field;
  return Add(dir, std::move(entry));
}

TiffBuilder& TiffBuilder::SubDirectory(Dir dir, Dir child, uint16_t tag) {
  EntrySpec entry{tag, type::kLong, 1, {}};
  entry.target = Target::kDirectory;
  entry.target_index = child;
  return Add(dir, std::move(entry));
}

TiffBuilder& TiffBuilder::MakerNote(Dir dir, Dir note, uint16_t tag) {
  EntrySpec entry{tag, type::kUndefined, 0, {}};
  entry.target = Target::kDirectory;
  entry.target_index = note;
  entry.count_is_target_size = true;
  return Add(dir, std::move(entry));
}

TiffBuilder& TiffBuilder::BlobOffset(Dir dir, uint16_t tag, Blob blob) {
  EntrySpec entry{tag, type::kLong, 1, {}};
  entry.target = Target::kBlob;
  entry.target_index = blob;
  return Add(dir, std::move(entry));
}

TiffBuilder& TiffBuilder::CameraSettings(Dir dir, uint16_t tag,
                                         const std::vector<uint16_t>& elements) {
  std::vector<uint16_t> words;
  words.push_back(static_cast<uint16_t>(2 * (elements.size() + 1)));
  words.insert(words.end(), elements.begin(), elements.end());
  return Short(dir, tag, words);
}

TiffBuilder& TiffBuilder::Chain(Dir dir, Dir next) {
  directories_.at(dir).next = next;
  directories_.at(dir).next_raw.reset();
  return *this;
}

TiffBuilder& TiffBuilder::ChainRaw(Dir dir, uint32_t offset) {
  directories_.at(dir).next_raw = offset;
  directories_.at(dir).next.reset();
  return *this;
}

TiffBuilder& TiffBuilder::SetFirstOffset(uint32_t offset) {
  first_offset_ = offset;
  return *this;
}

bool TiffBuilder::IsInline(const EntrySpec& entry) {
  return uint64_t{TypeSize(entry.type_number)} * entry.count <= 4;
}

Bytes TiffBuilder::Build() {
  // Pass 1: where every directory, value and blob goes.
  uint32_t cursor = kHeaderSize;
  auto align = [&cursor] { cursor += cursor & 1; };
  for (const Part& part : parts_) {
    if (!part.is_directory) {
      blob_offsets_[part.index] = cursor;
      cursor += static_cast<uint32_t>(blobs_[part.index].size());
      align();
      continue;
    }
    DirectorySpec& dir = directories_[part.index];
    dir.offset = cursor;
    cursor += 2 + kEntrySize * static_cast<uint32_t>(dir.entries.size()) + 4;
    for (size_t i = 0; i < dir.entries.size(); ++i) {
      EntrySpec& entry = dir.entries[i];
      const uint32_t field_position = dir.offset + 2 + kEntrySize * static_cast<uint32_t>(i) + 8;
      if (entry.target != Target::kNone) {
        entry.value_offset = field_position;
      } else if (IsInline(entry)) {
        entry.value_offset = field_position;
      } else if (entry.field) {
        entry.value_offset = *entry.field;
      } else {
        entry.value_offset = cursor;
        cursor += static_cast<uint32_t>(entry.value.size());
        align();
      }
    }
    dir.block_size = cursor - dir.offset;
  }
  // Pass 2: the bytes.
  Bytes out;
  out.reserve(cursor);
  out.push_back(order_ == ByteOrder::kBig ? 'M' : 'I');
  out.push_back(order_ == ByteOrder::kBig ? 'M' : 'I');
  Put16(out, 42);
  Put32(out, first_offset_ ? *first_offset_ : directories_.empty() ? 0 : directories_[0].offset);
  for (const Part& part : parts_) {
    if (!part.is_directory) {
      out.insert(out.end(), blobs_[part.index].begin(), blobs_[part.index].end());
      if (out.size() & 1) out.push_back(0);
      continue;
    }
    const DirectorySpec& dir = directories_[part.index];
    Put16(out, static_cast<uint32_t>(dir.entries.size()));
    for (const EntrySpec& entry : dir.entries) {
      Put16(out, entry.tag);
      Put16(out, entry.type_number);
      uint32_t count = entry.count;
      if (entry.count_is_target_size) count = directories_.at(entry.target_index).block_size;
      Put32(out, count);
      if (entry.target == Target::kDirectory) {
        Put32(out, directories_.at(entry.target_index).offset);
      } else if (entry.target == Target::kBlob) {
        Put32(out, blob_offsets_.at(entry.target_index));
      } else if (entry.field) {
        Put32(out, *entry.field);
      } else if (IsInline(entry)) {
        for (size_t i = 0; i < 4; ++i) out.push_back(i < entry.value.size() ? entry.value[i] : 0);
      } else {
        Put32(out, entry.value_offset);
      }
    }
    uint32_t next = 0;
    if (dir.next) next = directories_.at(*dir.next).offset;
    if (dir.next_raw) next = *dir.next_raw;
    Put32(out, next);
    for (const EntrySpec& entry : dir.entries) {
      if (entry.target != Target::kNone || entry.field || IsInline(entry)) continue;
      out.insert(out.end(), entry.value.begin(), entry.value.end());
      if (out.size() & 1) out.push_back(0);
    }
  }
  if (out.size() != cursor) throw std::logic_error("TiffBuilder layout mismatch");
  return out;
}

uint32_t TiffBuilder::DirectoryOffset(Dir dir) const { return directories_.at(dir).offset; }

uint32_t TiffBuilder::ValueOffset(Dir dir, size_t index) const {
  return directories_.at(dir).entries.at(index).value_offset;
}

uint32_t TiffBuilder::BlobOffsetOf(Blob blob) const { return blob_offsets_.at(blob); }

}  // namespace snapcrate::exif_writer
