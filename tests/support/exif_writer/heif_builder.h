// Wraps TIFF data into HEIF files for tests: the ISO base media boxes a phone
// writes (file type, meta with handler, primary item, item information and
// locations, media data), with the EXIF item stored in one or two extents or in
// the meta box's item data. The image item holds filler, not a coded picture.
#ifndef SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_HEIF_BUILDER_H_
#define SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_HEIF_BUILDER_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tests/support/exif_writer/tiff_builder.h"

namespace snapcrate::exif_writer {

struct HeifLayout {
  uint8_t iloc_version = 1;  // 0, 1 or 2
  /// Construction method 1: the EXIF item lies in the meta box's idat box.
  bool exif_in_item_data = false;
  /// When not 0, the EXIF item is stored as two extents split after this many
  /// bytes of the item, the second extent first in the media data.
  size_t exif_split = 0;
};

/// A HEIF file whose EXIF item holds tiff behind the usual "Exif", NUL, NUL.
Bytes MakeHeif(const Bytes& tiff, const HeifLayout& layout = {});

/// A HEIF file without an EXIF item.
Bytes MakeHeifWithoutExif();

/// Position of the first byte of the first box of type fourcc (its size field),
/// searched from start; throws std::out_of_range when there is none.
size_t FindBox(const Bytes& file, std::string_view fourcc, size_t start = 0);

}  // namespace snapcrate::exif_writer

#endif  // SNAPCRATE_TESTS_SUPPORT_EXIF_WRITER_HEIF_BUILDER_H_
