#pragma once
// One listed picture with what its description file and the image library tell
// about it.

#include <cstdint>
#include <string>
#include <string_view>

#include "app/pictures/picture_probe.h"

namespace snapcrate {

struct PictureRecord {
  bool valid = false;  // the picture's size is known
  bool take_date_from_filename = false;
  std::string file_name;  // relative to the chapter directory: "a.jpg" or "_extra/a.jpg"
  std::string extension;  // with its dot, letter case as in the name
  std::string title;
  std::string description;
  std::string keys;
  std::string add_link;
  int16_t rotation = 0;     // degrees, 0 to 359
  // The EXIF orientation (2 to 8) the album's files are turned upright by; 1
  // when none applies: a Rotation entry decides, or the picture stands upright.
  int16_t orientation = 1;
  int16_t quality = 0;      // 0 when not rated
  int16_t originality = 0;  // 0 when not rated
  // 32 bits: panoramas are wider than 32767 pixels.
  int32_t width = 0;  // as stored, before any turn
  int32_t height = 0;
};

/// True when the album's files of the picture swap its stored width and height.
bool IsTurnedSideways(const PictureRecord& picture);

/// The picture's size as the album shows the original: upright when its EXIF
/// orientation is followed.
void UprightSize(const PictureRecord& picture, int32_t& width, int32_t& height);

/// The orientation the album follows for a picture: the EXIF one when
/// `auto_orient` is on and the description's Rotation entry is empty
/// (any entry, "0" too, decides alone), else 1.
int16_t FollowedOrientation(bool auto_orient, const std::string& rotation_entry, int32_t exif_orientation);

/// Fills `record` for the picture `relative_name` of `chapter_dir` from its
/// description file and its size; with `auto_orient` the picture follows its
/// EXIF orientation where its description gives no rotation. Returns
/// record.valid; a size that cannot be read is logged.
bool ReadPictureRecord(const std::string& chapter_dir, const std::string& relative_name,
                       PictureRecord& record, const PictureProbe& probe = {}, bool auto_orient = true);

/// The description a picture without title and description gets from its file
/// name: number prefix, date stamp ("20040512_134501"), a "_" or blank and
/// "IMG_" are dropped; what is left of a camera's file number gives none.
std::string DeriveDescription(std::string_view file_name);

}  // namespace snapcrate
