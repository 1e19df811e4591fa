// The walk over the TIFF structure of the EXIF data: the IFD chain, the EXIF
// sub-directory and the Canon maker note with its camera-settings arrays. Each
// entry's text goes to the dump sink and the entry to an optional hook.
#ifndef SNAPCRATE_TAGCORE_TIFF_WALKER_H_
#define SNAPCRATE_TAGCORE_TIFF_WALKER_H_

#include <cstdint>

#include "tagcore/dump_sink.h"
#include "tagcore/exif_segment.h"

namespace snapcrate::tagcore {

/// One directory entry as handed to a hook; its value lies wholly inside the
/// TIFF data.
struct DirectoryEntry {
  uint32_t tag;
  uint32_t type;
  uint32_t count;
  const uint8_t* value;
  /// Whether the value sits in the entry's own 4-byte field.
  bool inline_value;
  /// Position of the value's first byte in the image file.
  uint64_t file_position;
  /// Whether the value's bytes lie in more than one piece of the file.
  bool split_in_file;
};

class EntryHook {
 public:
  virtual ~EntryHook() = default;
  /// Returns 0 to go on; any other code ends the walk with that code.
  virtual int OnEntry(const DirectoryEntry& entry) = 0;
};

/// Walks the TIFF data (length bytes laid out in the file as layout says).
/// Returns 0, or 6 for an unknown byte order or a broken structure, or
/// the first non-zero code of the hook.
int WalkTiff(const uint8_t* data, uint32_t length, const FileLayout& layout, DumpSink& sink,
             EntryHook* hook);

}  // namespace snapcrate::tagcore

#endif  // SNAPCRATE_TAGCORE_TIFF_WALKER_H_
