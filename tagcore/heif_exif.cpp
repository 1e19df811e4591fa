#include "tagcore/heif_exif.h"

#include <cstring>
#include <new>
#include <vector>

#include "tagcore/tagcore.h"

namespace snapcrate::tagcore {

namespace {

// Real meta boxes hold a few kilobytes and EXIF items some tens; the limits
// keep a crafted size from claiming the memory of a whole picture.
constexpr uint64_t kMaxMetaBox = 16u << 20;
constexpr uint64_t kMaxExifItem = 16u << 20;

constexpr uint32_t FourCc(const char (&text)[5]) {
  return (uint32_t{uint8_t(text[0])} << 24) | (uint32_t{uint8_t(text[1])} << 16) |
         (uint32_t{uint8_t(text[2])} << 8) | uint32_t{uint8_t(text[3])};
}

uint64_t BigEndian(const uint8_t* bytes, int size) {
  uint64_t value = 0;
  for (int i = 0; i < size; ++i) value = (value << 8) | bytes[i];
  return value;
}

// Reads big-endian numbers from bytes in memory; a read past the end yields 0
// and marks the cursor failed, so a parse checks once at its end.
class Cursor {
 public:
  Cursor(const uint8_t* data, uint64_t size) : data_(data), size_(size) {}

  bool failed() const { return failed_; }
  uint64_t position() const { return position_; }
  uint64_t remaining() const { return size_ - position_; }

  uint64_t Number(int bytes) {
    if (!Skip(bytes)) return 0;
    return BigEndian(data_ + position_ - bytes, bytes);
  }
  bool Skip(uint64_t bytes) {
    if (failed_ || bytes > remaining()) {
      failed_ = true;
      return false;
    }
    position_ += bytes;
    return true;
  }

 private:
  const uint8_t* data_;
  uint64_t size_;
  uint64_t position_ = 0;
  bool failed_ = false;
};

struct Box {
  uint32_t type = 0;
  uint64_t payload = 0;  // offset of the payload in the enclosing bytes
  uint64_t payload_size = 0;
};

// Reads the box that starts at the cursor and moves the cursor behind it.
// False when its header or its size does not fit in the remaining bytes.
bool NextBox(Cursor& cursor, Box* box) {
  const uint64_t start = cursor.position();
  const uint64_t available = cursor.remaining();
  uint64_t size = cursor.Number(4);
  box->type = static_cast<uint32_t>(cursor.Number(4));
  if (size == 1)
    size = cursor.Number(8);
  else if (size == 0)
    size = available;  // up to the end of the enclosing box
  if (cursor.failed()) return false;
  const uint64_t header = cursor.position() - start;
  if (size < header || size > available) return false;
  box->payload = cursor.position();
  box->payload_size = size - header;
  return cursor.Skip(box->payload_size);
}

// The top-level meta box of the file. 0, 2 (none) or 6.
int FindMetaBox(InputFile& file, uint64_t file_size, uint64_t* position, uint64_t* size) {
  uint64_t at = 0;
  while (file_size - at >= 8) {
    uint8_t header[16];
    if (!file.Seek(at) || !file.Read(header, 8)) return TAGCORE_BAD_TIFF;
    uint64_t box_size = BigEndian(header, 4);
    uint64_t header_size = 8;
    if (box_size == 1) {
      if (file_size - at < 16 || !file.Read(header + 8, 8)) return TAGCORE_BAD_TIFF;
      box_size = BigEndian(header + 8, 8);
      header_size = 16;
    } else if (box_size == 0) {
      box_size = file_size - at;
    }
    if (box_size < header_size || box_size > file_size - at) return TAGCORE_BAD_TIFF;
    if (BigEndian(header + 4, 4) == FourCc("meta")) {
      *position = at + header_size;
      *size = box_size - header_size;
      return TAGCORE_OK;
    }
    at += box_size;
  }
  return TAGCORE_NO_EXIF;
}

// The item ID of the first item of type "Exif" in the item information box.
// 0, 2 (none) or 6.
int FindExifItem(const uint8_t* data, uint64_t size, uint32_t* item_id) {
  Cursor cursor(data, size);
  const uint64_t version = cursor.Number(1);
  cursor.Skip(3);
  uint64_t entries = cursor.Number(version == 0 ? 2 : 4);
  if (cursor.failed()) return TAGCORE_BAD_TIFF;
  Box box;
  for (; entries > 0 && cursor.remaining() > 0; --entries) {
    if (!NextBox(cursor, &box)) return TAGCORE_BAD_TIFF;
    if (box.type != FourCc("infe")) continue;
    Cursor entry(data + box.payload, box.payload_size);
    const uint64_t entry_version = entry.Number(1);
    entry.Skip(3);
    // Versions 0 and 1 carry no item type.
    if (entry_version < 2) continue;
    const uint64_t id = entry.Number(entry_version == 2 ? 2 : 4);
    entry.Skip(2);  // protection index
    const uint64_t type = entry.Number(4);
    if (entry.failed()) return TAGCORE_BAD_TIFF;
    if (type == FourCc("Exif")) {
      *item_id = static_cast<uint32_t>(id);
      return TAGCORE_OK;
    }
  }
  return TAGCORE_NO_EXIF;
}

struct Extent {
  uint64_t offset;
  uint64_t length;  // 0: up to the end of the source
};

struct ItemLocation {
  uint64_t construction_method = 0;
  std::vector<Extent> extents;
};

bool IsFieldSize(uint64_t size) { return size == 0 || size == 4 || size == 8; }

// Where the item lies, from the item location box. 0 or 6.
int LocateItem(const uint8_t* data, uint64_t size, uint32_t item_id, ItemLocation* location) {
  Cursor cursor(data, size);
  const uint64_t version = cursor.Number(1);
  cursor.Skip(3);
  const uint64_t sizes = cursor.Number(1), more_sizes = cursor.Number(1);
  const int offset_size = int(sizes >> 4), length_size = int(sizes & 15);
  const int base_offset_size = int(more_sizes >> 4);
  const int index_size = version >= 1 ? int(more_sizes & 15) : 0;
  if (version > 2 || !IsFieldSize(offset_size) || !IsFieldSize(length_size) ||
      !IsFieldSize(base_offset_size) || !IsFieldSize(index_size))
    return TAGCORE_BAD_TIFF;
  const int id_size = version < 2 ? 2 : 4;
  uint64_t items = cursor.Number(id_size);
  const uint64_t extent_size = index_size + offset_size + length_size;
  while (items-- > 0 && !cursor.failed()) {
    const uint64_t id = cursor.Number(id_size);
    const uint64_t method = version >= 1 ? cursor.Number(2) & 15 : 0;
    cursor.Skip(2);  // data reference index: this file
    const uint64_t base = cursor.Number(base_offset_size);
    const uint64_t extents = cursor.Number(2);
    if (id != item_id) {
      cursor.Skip(extents * extent_size);
      continue;
    }
    location->construction_method = method;
    for (uint64_t i = 0; i < extents; ++i) {
      cursor.Skip(index_size);
      const uint64_t offset = cursor.Number(offset_size);
      const uint64_t length = cursor.Number(length_size);
      if (base + offset < base) return TAGCORE_BAD_TIFF;
      location->extents.push_back(Extent{base + offset, length});
    }
    return cursor.failed() ? TAGCORE_BAD_TIFF : TAGCORE_OK;
  }
  // An item listed as present must have a location.
  return TAGCORE_BAD_TIFF;
}

}  // namespace

int ReadHeifExif(InputFile& file, ExifSegment* segment) {
  const uint64_t file_size = file.Size();
  uint64_t meta_position = 0, meta_size = 0;
  if (int code = FindMetaBox(file, file_size, &meta_position, &meta_size)) return code;
  if (meta_size > kMaxMetaBox) return TAGCORE_BAD_TIFF;
  std::unique_ptr<uint8_t[]> meta(new (std::nothrow) uint8_t[meta_size ? meta_size : 1]);
  if (!meta) return TAGCORE_OUT_OF_MEMORY;
  if (!file.Seek(meta_position) || !file.Read(meta.get(), meta_size)) return TAGCORE_TRUNCATED;

  // meta is a full box: version and flags come first.
  Cursor children(meta.get(), meta_size);
  if (!children.Skip(4)) return TAGCORE_BAD_TIFF;
  Box box, item_info, item_locations, item_data;
  while (children.remaining() > 0) {
    if (!NextBox(children, &box)) return TAGCORE_BAD_TIFF;
    if (box.type == FourCc("iinf") && item_info.type == 0) item_info = box;
    if (box.type == FourCc("iloc") && item_locations.type == 0) item_locations = box;
    if (box.type == FourCc("idat") && item_data.type == 0) item_data = box;
  }
  if (item_info.type == 0) return TAGCORE_NO_EXIF;

  uint32_t item_id = 0;
  if (int code = FindExifItem(meta.get() + item_info.payload, item_info.payload_size, &item_id))
    return code;
  if (item_locations.type == 0) return TAGCORE_BAD_TIFF;
  ItemLocation location;
  if (int code = LocateItem(meta.get() + item_locations.payload, item_locations.payload_size,
                            item_id, &location))
    return code;

  // Construction method 0 takes the extents from the file, 1 from the meta
  // box's item data; references to other items do not hold EXIF data.
  const bool in_file = location.construction_method == 0;
  if (!in_file && (location.construction_method != 1 || item_data.type == 0))
    return TAGCORE_BAD_TIFF;
  const uint64_t source_size = in_file ? file_size : item_data.payload_size;
  const uint64_t source_position = in_file ? 0 : meta_position + item_data.payload;

  uint64_t total = 0;
  for (Extent& extent : location.extents) {
    if (extent.offset > source_size) return in_file ? TAGCORE_TRUNCATED : TAGCORE_BAD_TIFF;
    if (extent.length == 0) extent.length = source_size - extent.offset;
    if (extent.length > source_size - extent.offset)
      return in_file ? TAGCORE_TRUNCATED : TAGCORE_BAD_TIFF;
    total += extent.length;
    if (total > kMaxExifItem) return TAGCORE_BAD_TIFF;
  }
  // The item opens with the 4-byte offset from its end to the TIFF header.
  if (total < 4) return total == 0 ? TAGCORE_NO_EXIF : TAGCORE_BAD_TIFF;

  std::unique_ptr<uint8_t[]> item(new (std::nothrow) uint8_t[total]);
  if (!item) return TAGCORE_OUT_OF_MEMORY;
  std::vector<FileRun> runs;
  uint64_t filled = 0;
  for (const Extent& extent : location.extents) {
    if (extent.length == 0) continue;
    if (in_file) {
      if (!file.Seek(extent.offset) || !file.Read(item.get() + filled, extent.length))
        return TAGCORE_TRUNCATED;
    } else {
      std::memcpy(item.get() + filled, meta.get() + item_data.payload + extent.offset,
                  extent.length);
    }
    runs.push_back(FileRun{static_cast<uint32_t>(filled), source_position + extent.offset});
    filled += extent.length;
  }

  uint64_t tiff_start = 4 + BigEndian(item.get(), 4);
  // Some writers leave the offset at 0 and keep the "Exif" header of a JPEG
  // segment in front of the TIFF header.
  if (tiff_start == 4 && total >= 10 && std::memcmp(item.get() + 4, "Exif\0\0", 6) == 0)
    tiff_start = 10;
  if (tiff_start > total) return TAGCORE_BAD_TIFF;
  if (tiff_start == total) return TAGCORE_NO_EXIF;

  const uint64_t length = total - tiff_start;
  std::memmove(item.get(), item.get() + tiff_start, length);
  std::vector<FileRun> tiff_runs;
  for (size_t i = 0; i < runs.size(); ++i) {
    const uint64_t end = i + 1 < runs.size() ? runs[i + 1].tiff_offset : total;
    if (end <= tiff_start) continue;
    if (runs[i].tiff_offset <= tiff_start)
      tiff_runs.push_back(FileRun{0, runs[i].file_position + (tiff_start - runs[i].tiff_offset)});
    else
      tiff_runs.push_back(
          FileRun{static_cast<uint32_t>(runs[i].tiff_offset - tiff_start), runs[i].file_position});
  }
  segment->tiff = std::move(item);
  segment->length = static_cast<uint32_t>(length);
  segment->layout = FileLayout(std::move(tiff_runs));
  return TAGCORE_OK;
}

}  // namespace snapcrate::tagcore
