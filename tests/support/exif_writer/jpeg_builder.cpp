#include "tests/support/exif_writer/jpeg_builder.h"

#include <cstring>
#include <stdexcept>

namespace snapcrate::exif_writer {

namespace {

constexpr uint8_t kSoi = 0xD8;
constexpr uint8_t kEoi = 0xD9;
constexpr uint8_t kSos = 0xDA;
constexpr uint8_t kApp0 = 0xE0;
constexpr uint8_t kApp1 = 0xE1;
constexpr size_t kMaxPayload = 65533;

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

void Append16(Bytes& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

bool IsExifSegment(const Bytes& jpeg, size_t at, size_t length) {
  return jpeg[at + 1] == kApp1 && length >= 6 && std::memcmp(&jpeg[at + 4], "Exif", 4) == 0;
}

}  // namespace

Bytes MakeGrayJpeg(int width, int height) {
  if (width < 1 || height < 1 || width > 65535 || height > 65535)
    throw std::invalid_argument("MakeGrayJpeg: size out of range");
  Bytes out{0xFF, kSoi};
  // All quantisers 1; every block has DC 0 (mid-grey) and no AC coefficients.
  Bytes quantisation{0x00};
  quantisation.resize(65, 1);
  Append(out, MakeSegment(0xDB, quantisation));
  Bytes frame{8};
  Append16(frame, static_cast<uint32_t>(height));
  Append16(frame, static_cast<uint32_t>(width));
  Append(frame, {1, 1, 0x11, 0});
  Append(out, MakeSegment(0xC0, frame));
  // One-symbol tables: DC category 0 and AC end-of-block, each coded as "0".
  Bytes tables;
  for (uint8_t table_class : {0x00, 0x10}) {
    tables.push_back(table_class);
    Bytes bits(16, 0);
    bits[0] = 1;
    Append(tables, bits);
    tables.push_back(0x00);
  }
  Append(out, MakeSegment(0xC4, tables));
  Append(out, MakeSegment(kSos, {1, 1, 0x00, 0, 63, 0}));
  const size_t blocks =
      static_cast<size_t>((width + 7) / 8) * static_cast<size_t>((height + 7) / 8);
  const size_t bits = 2 * blocks;
  Bytes scan((bits + 7) / 8, 0);
  // Pad the last byte with 1 bits.
  if (bits % 8) scan.back() = static_cast<uint8_t>(0xFF >> (bits % 8));
  Append(out, scan);
  Append(out, {0xFF, kEoi});
  return out;
}

Bytes MakeSegment(uint8_t marker, const Bytes& payload) {
  if (payload.size() > kMaxPayload) throw std::length_error("JPEG segment too long");
  Bytes out{0xFF, marker};
  Append16(out, static_cast<uint32_t>(payload.size() + 2));
  Append(out, payload);
  return out;
}

Bytes MakeExifSegment(const Bytes& tiff) {
  Bytes payload{'E', 'x', 'i', 'f', 0, 0};
  Append(payload, tiff);
  return MakeSegment(kApp1, payload);
}

Bytes InsertExif(const Bytes& jpeg, const Bytes& tiff) {
  if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != kSoi)
    throw std::invalid_argument("InsertExif: not a JPEG stream");
  Bytes out{0xFF, kSoi};
  bool inserted = false;
  size_t at = 2;
  while (at < jpeg.size()) {
    if (jpeg[at] != 0xFF || at + 1 >= jpeg.size())
      throw std::invalid_argument("InsertExif: broken marker");
    const uint8_t marker = jpeg[at + 1];
    const bool standalone = marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
    const bool ends_header = marker == kSos || marker == kEoi;
    size_t length = 0;
    if (!standalone && !ends_header) {
      if (at + 4 > jpeg.size()) throw std::invalid_argument("InsertExif: truncated segment");
      length = (size_t{jpeg[at + 2]} << 8) | jpeg[at + 3];
      if (length < 2 || at + 2 + length > jpeg.size())
        throw std::invalid_argument("InsertExif: truncated segment");
      if (IsExifSegment(jpeg, at, length)) {
        at += 2 + length;
        continue;
      }
    }
    if (!inserted && marker != kApp0) {
      Append(out, MakeExifSegment(tiff));
      inserted = true;
    }
    if (ends_header) {
      out.insert(out.end(), jpeg.begin() + static_cast<long>(at), jpeg.end());
      return out;
    }
    const size_t end = standalone ? at + 2 : at + 2 + length;
    out.insert(out.end(), jpeg.begin() + static_cast<long>(at),
               jpeg.begin() + static_cast<long>(end));
    at = end;
  }
  throw std::invalid_argument("InsertExif: no start of scan");
}

JpegBuilder& JpegBuilder::App0Jfif() {
  return Segment(kApp0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
}

JpegBuilder& JpegBuilder::Exif(const Bytes& tiff) {
  tiff_position_ = 2 + static_cast<uint32_t>(parts_.size()) + kExifSegmentHeaderLength;
  Append(parts_, MakeExifSegment(tiff));
  return *this;
}

JpegBuilder& JpegBuilder::Xmp(std::string_view xml) {
  Bytes payload = Text("http://ns.adobe.com/xap/1.0/");
  payload.push_back(0);
  Append(payload, Text(xml));
  return Segment(kApp1, payload);
}

JpegBuilder& JpegBuilder::Icc(const Bytes& profile) {
  Bytes payload = Text("ICC_PROFILE");
  Append(payload, {0, 1, 1});
  Append(payload, profile);
  return Segment(0xE2, payload);
}

JpegBuilder& JpegBuilder::Adobe() {
  return Segment(0xEE, {'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, 1});
}

JpegBuilder& JpegBuilder::Comment(std::string_view text) { return Segment(0xFE, Text(text)); }

JpegBuilder& JpegBuilder::Segment(uint8_t marker, const Bytes& payload) {
  Append(parts_, MakeSegment(marker, payload));
  return *this;
}

JpegBuilder& JpegBuilder::Raw(const Bytes& bytes) {
  Append(parts_, bytes);
  return *this;
}

JpegBuilder& JpegBuilder::Image(Bytes jpeg) {
  image_ = std::move(jpeg);
  return *this;
}

Bytes JpegBuilder::Build() const {
  Bytes out{0xFF, kSoi};
  Append(out, parts_);
  const Bytes image = image_.empty() ? MakeGrayJpeg() : image_;
  if (image.size() < 2 || image[0] != 0xFF || image[1] != kSoi)
    throw std::invalid_argument("JpegBuilder: image is no JPEG stream");
  out.insert(out.end(), image.begin() + 2, image.end());
  return out;
}

}  // namespace snapcrate::exif_writer
