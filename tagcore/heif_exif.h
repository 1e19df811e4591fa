// The EXIF item of a HEIF file (ISO base media file format): the item of type
// "Exif" listed in the meta box's item information and located by its item
// locations, behind the 4-byte offset that leads to its TIFF header.
#ifndef SNAPCRATE_TAGCORE_HEIF_EXIF_H_
#define SNAPCRATE_TAGCORE_HEIF_EXIF_H_

#include "tagcore/exif_segment.h"
#include "tagcore/input_file.h"

namespace snapcrate::tagcore {

/// Reads the TIFF data of the first EXIF item of file. Returns 0, or 2 (no meta
/// box or no EXIF item, or the item is empty), 3 (no memory), 4 (the item runs
/// past the end of the file) or 6 (a box, count, offset or extent that does not
/// fit where it stands).
int ReadHeifExif(InputFile& file, ExifSegment* segment);

}  // namespace snapcrate::tagcore

#endif  // SNAPCRATE_TAGCORE_HEIF_EXIF_H_
