// TIFF field types and the byte width of one component of each.
#ifndef SNAPCRATE_TAGCORE_FIELD_TYPES_H_
#define SNAPCRATE_TAGCORE_FIELD_TYPES_H_

#include <cstdint>

namespace snapcrate::tagcore {

enum FieldType : uint32_t {
  kByte = 1,
  kAscii = 2,
  kShort = 3,
  kLong = 4,
  kRational = 5,
  kSignedByte = 6,
  kUndefined = 7,
  kSignedShort = 8,
  kSignedLong = 9,
  kSignedRational = 10,
  kFloat = 11,
  kDouble = 12,
};

/// True for the types 1 to 12, the only ones the walk accepts.
constexpr bool IsKnownFieldType(uint32_t type) { return type >= kByte && type <= kDouble; }

/// Bytes per component; 0 for a type outside 1 to 12.
constexpr uint32_t ComponentSize(uint32_t type) {
  constexpr uint8_t kSizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
  return IsKnownFieldType(type) ? kSizes[type] : 0;
}

}  // namespace snapcrate::tagcore

#endif  // SNAPCRATE_TAGCORE_FIELD_TYPES_H_
