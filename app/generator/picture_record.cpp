#include "app/generator/picture_record.h"

#include <algorithm>
#include <utility>

#include "app/descriptions/description_store.h"
#include "app/descriptions/image_description.h"
#include "app/generator/chapter_info.h"
#include "app/log.h"
#include "app/numeric.h"
#include "app/paths.h"
#include "app/text.h"

namespace snapcrate {
namespace {

constexpr int32_t kDetectFormat = -2;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }

/// "20040512_134501...": digits at positions 1 to 8 and 10 to 15.
bool StartsWithDateStamp(std::string_view text) {
  if (text.size() < 15) return false;
  for (size_t i = 0; i < 15; ++i)
    if (i != 8 && !IsDigit(text[i])) return false;
  return true;
}

/// What is left of a camera's own file name: digits, perhaps behind a short
/// maker prefix in one letter case ("0042", "DSC01234", "DSCN_0042", "p1010042").
/// Such a remainder says nothing about the picture.
bool IsCameraNumber(std::string_view text) {
  size_t letters = 0;
  while (letters < text.size() && (IsUpper(text[letters]) || IsLower(text[letters]))) ++letters;
  if (letters > 4) return false;
  const std::string_view prefix = text.substr(0, letters);
  if (!std::all_of(prefix.begin(), prefix.end(), IsUpper) && !std::all_of(prefix.begin(), prefix.end(), IsLower))
    return false;
  size_t pos = letters;
  if (letters > 0 && pos < text.size() && (text[pos] == '_' || text[pos] == '-')) ++pos;
  const std::string_view digits = text.substr(pos);
  return !digits.empty() && std::all_of(digits.begin(), digits.end(), IsDigit);
}

}  // namespace

std::string DeriveDescription(std::string_view file_name) {
  std::string directory, name, extension;
  SplitPath(file_name, directory, name);
  std::string text = StripNumberPrefix(SplitExt(name, extension));
  if (StartsWithDateStamp(text)) text.erase(0, 15);
  if (!text.empty() && (text.front() == '_' || text.front() == ' ')) text.erase(0, 1);
  if (text.starts_with("IMG_")) text.erase(0, 4);
  if (IsCameraNumber(text)) text.clear();
  return text;
}

bool IsTurnedSideways(const PictureRecord& picture) {
  return picture.rotation % 180 == 90 || picture.orientation >= 5;
}

void UprightSize(const PictureRecord& picture, int32_t& width, int32_t& height) {
  if (picture.orientation >= 5) std::swap(width, height);
}

int16_t FollowedOrientation(bool auto_orient, const std::string& rotation_entry, int32_t exif_orientation) {
  if (!auto_orient || !rotation_entry.empty() || exif_orientation < 2 || exif_orientation > 8) return 1;
  return static_cast<int16_t>(exif_orientation);
}

bool ReadPictureRecord(const std::string& chapter_dir, const std::string& relative_name,
                       PictureRecord& record, const PictureProbe& probe, bool auto_orient) {
  record = PictureRecord{};
  record.file_name = relative_name;
  SplitExt(relative_name, record.extension);
  const std::string path = chapter_dir + relative_name;

  LineStore store(kDescriptionStoreCapacity);
  const ImageDescription description = ReadImageDescription(path, store);
  record.title = description.title;
  record.description = description.description;
  record.keys = description.keys;
  record.add_link = description.add_link;
  if (record.title.empty() && record.description.empty())
    record.description = EscapeHtmlText(DeriveDescription(relative_name));  // a name is text, not HTML

  // Any angle ends up in 0..359, so "-90" is 270 and "450" is 90.
  const int rotation = LeadingInt16(description.rotation) % 360;
  record.rotation = static_cast<int16_t>(rotation < 0 ? rotation + 360 : rotation);
  record.quality = LeadingInt16(description.quality);
  record.originality = LeadingInt16(description.originality);
  record.take_date_from_filename = description.take_date_from_filename == "1";

  int32_t width = 0, height = 0, orientation = 1;
  if (probe.image_info(kDetectFormat, path, width, height, orientation) != 1) {
    LogMessage("PixCore_GetFileImageSize: Can't read " + path);
    return false;
  }
  if (width > 0 && height > 0) {
    record.width = width;
    record.height = height;
    record.orientation = FollowedOrientation(auto_orient, description.rotation, orientation);
    record.valid = true;
  }
  return record.valid;
}

}  // namespace snapcrate
