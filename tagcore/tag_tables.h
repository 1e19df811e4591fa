// The four tag-name tables of the dump: the EXIF/TIFF table, the Canon maker
// note and its two camera-settings arrays.
#ifndef SNAPCRATE_TAGCORE_TAG_TABLES_H_
#define SNAPCRATE_TAGCORE_TAG_TABLES_H_

#include <cstdint>

namespace snapcrate::tagcore {

struct TagName {
  uint16_t tag;
  const char* name;
};

/// A prefix and a list of names ended by a pair with tag 0.
struct TagTable {
  const char* prefix;
  const TagName* names;
};

extern const TagTable kExifTable;
extern const TagTable kCanonTable;
extern const TagTable kCanonSettings1Table;
extern const TagTable kCanonSettings2Table;

/// Name of the first pair whose tag equals tag, or "Unknown".
const char* LookUpTagName(const TagTable& table, uint32_t tag);

}  // namespace snapcrate::tagcore

#endif  // SNAPCRATE_TAGCORE_TAG_TABLES_H_
