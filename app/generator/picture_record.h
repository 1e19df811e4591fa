#pragma once
// One listed picture with what its description file and the image library tell
// about it.

#include <cstdint>
#include <string>
#include <string_view>

#include "app/generator/picture_probe.h"

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
  int16_t quality = 0;      // 0 when not rated
  int16_t originality = 0;  // 0 when not rated
  // 32 bits: panoramas are wider than 32767 pixels.
  int32_t width = 0;
  int32_t height = 0;
};

/// Fills `record` for the picture `relative_name` of `chapter_dir` from its
/// description file and its size. Returns record.valid; a size that cannot be
/// read is logged.
bool ReadPictureRecord(const std::string& chapter_dir, const std::string& relative_name,
                       PictureRecord& record, const PictureProbe& probe = {});

/// The description a picture without title and description gets from its file
/// name: number prefix, date stamp ("20040512_134501"), a "_" or blank and
/// "IMG_" are dropped; what is left of a camera's file number gives none.
std::string DeriveDescription(std::string_view file_name);

}  // namespace snapcrate
