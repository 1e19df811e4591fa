#include "tests/support/exif_writer/heif_builder.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace snapcrate::exif_writer {

namespace {

constexpr uint32_t kImageItem = 1;
constexpr uint32_t kExifItem = 2;

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

void Put(Bytes& out, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutText(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

Bytes MakeBox(std::string_view type, const Bytes& payload) {
  Bytes box;
  Put(box, 8 + payload.size(), 4);
  PutText(box, type);
  Append(box, payload);
  return box;
}

Bytes MakeFullBox(std::string_view type, uint8_t version, const Bytes& payload) {
  Bytes body{version, 0, 0, 0};
  Append(body, payload);
  return MakeBox(type, body);
}

Bytes ItemInfoEntry(uint32_t id, std::string_view type) {
  Bytes payload;
  Put(payload, id, 2);
  Put(payload, 0, 2);  // protection index
  PutText(payload, type);
  payload.push_back(0);  // empty item name
  return MakeFullBox("infe", 2, payload);
}

struct Extent {
  uint64_t offset;
  uint64_t length;
};

struct Location {
  uint32_t id;
  uint8_t construction_method;
  std::vector<Extent> extents;
};

Bytes ItemLocations(uint8_t version, const std::vector<Location>& items) {
  Bytes payload{0x44, 0x00};  // offsets and lengths of 4 bytes, no base offset or index
  const int id_size = version < 2 ? 2 : 4;
  Put(payload, items.size(), id_size);
  for (const Location& item : items) {
    Put(payload, item.id, id_size);
    if (version >= 1) Put(payload, item.construction_method, 2);
    Put(payload, 0, 2);  // data reference: this file
    Put(payload, item.extents.size(), 2);
    for (const Extent& extent : item.extents) {
      Put(payload, extent.offset, 4);
      Put(payload, extent.length, 4);
    }
  }
  return MakeFullBox("iloc", version, payload);
}

Bytes FileType() {
  Bytes payload;
  PutText(payload, "heic");
  Put(payload, 0, 4);
  PutText(payload, "mif1heic");
  return MakeBox("ftyp", payload);
}

Bytes Handler() {
  Bytes payload(4, 0);
  PutText(payload, "pict");
  payload.resize(payload.size() + 12, 0);
  payload.push_back(0);
  return MakeFullBox("hdlr", 0, payload);
}

// Stands in for the coded picture.
const Bytes kImageData(32, 0xA5);

Bytes Build(const Bytes* exif, const HeifLayout& layout) {
  if (layout.iloc_version > 2) throw std::invalid_argument("MakeHeif: iloc version above 2");
  if (layout.exif_in_item_data && layout.iloc_version == 0)
    throw std::invalid_argument("MakeHeif: item data needs iloc version 1 or 2");
  const size_t split = exif ? std::min(layout.exif_split, exif->size()) : 0;
  const bool in_item_data = exif && layout.exif_in_item_data;

  // Media data: the image, then the EXIF item's second extent, then its first.
  Bytes media = kImageData;
  size_t first_extent = 0, second_extent = 0;
  if (exif && !in_item_data) {
    second_extent = media.size();
    media.insert(media.end(), exif->begin() + static_cast<long>(split), exif->end());
    first_extent = media.size();
    media.insert(media.end(), exif->begin(), exif->begin() + static_cast<long>(split));
  }

  const Bytes file_type = FileType();
  auto make_meta = [&](uint64_t media_start) {
    Bytes item_info;
    Put(item_info, exif ? 2 : 1, 2);
    Append(item_info, ItemInfoEntry(kImageItem, "hvc1"));
    if (exif) Append(item_info, ItemInfoEntry(kExifItem, "Exif"));
    std::vector<Location> items{{kImageItem, 0, {{media_start, kImageData.size()}}}};
    if (in_item_data) {
      items.push_back({kExifItem, 1, {{0, exif->size()}}});
    } else if (exif && split > 0) {
      items.push_back({kExifItem,
                       0,
                       {{media_start + first_extent, split},
                        {media_start + second_extent, exif->size() - split}}});
    } else if (exif) {
      items.push_back({kExifItem, 0, {{media_start + second_extent, exif->size()}}});
    }
    Bytes primary;
    Put(primary, kImageItem, 2);
    Bytes children = Handler();
    Append(children, MakeFullBox("pitm", 0, primary));
    Append(children, MakeFullBox("iinf", 0, item_info));
    Append(children, ItemLocations(layout.iloc_version, items));
    if (in_item_data) Append(children, MakeBox("idat", *exif));
    return MakeFullBox("meta", 0, children);
  };
  const size_t meta_size = make_meta(0).size();
  Bytes file = file_type;
  Append(file, make_meta(file_type.size() + meta_size + 8));
  Append(file, MakeBox("mdat", media));
  return file;
}

}  // namespace

Bytes MakeHeif(const Bytes& tiff, const HeifLayout& layout) {
  Bytes exif;
  Put(exif, 6, 4);  // from here to the TIFF header
  PutText(exif, std::string_view("Exif\0\0", 6));
  Append(exif, tiff);
  return Build(&exif, layout);
}

Bytes MakeHeifWithoutExif() { return Build(nullptr, HeifLayout{}); }

size_t FindBox(const Bytes& file, std::string_view fourcc, size_t start) {
  const auto found = std::search(file.begin() + static_cast<long>(start + 4), file.end(),
                                 fourcc.begin(), fourcc.end());
  if (found == file.end()) throw std::out_of_range("FindBox: no box " + std::string(fourcc));
  return static_cast<size_t>(found - file.begin()) - 4;
}

}  // namespace snapcrate::exif_writer
