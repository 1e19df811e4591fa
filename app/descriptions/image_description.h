#pragma once
// The description file of one picture: the picture's name with ".dsc" for its
// extension, beside the picture.

#include <string>
#include <string_view>

#include "app/line_store.h"

namespace snapcrate {

/// The eight values of a picture description, as stored. Title, Description and
/// Keys keep "<br>" for their line breaks (pages show them as HTML; the editor
/// turns them into line breaks).
struct ImageDescription {
  std::string title;
  std::string description;
  std::string keys;
  std::string quality;      // "1" ... "6", or empty
  std::string originality;  // "1" ... "6", or empty
  std::string rotation;     // "+90", "-90", "180", "0", or empty
  std::string take_date_from_filename;  // "1" or empty
  std::string add_link;

  bool IsEmpty() const;
};

/// The description file of `picture_path`: the path without extension + ".dsc",
/// so IMG_1.JPG and IMG_1.TIF share one file.
std::string ImageDescriptionPath(std::string_view picture_path);

/// Reads the picture's description file into `store` (kept for the next write);
/// a missing file gives all values empty.
ImageDescription ReadImageDescription(const std::string& picture_path, LineStore& store);

/// Writes the values through `store`, the store the matching read filled; when
/// all eight are empty the file is deleted instead (a missing file is no error).
void WriteImageDescription(const std::string& picture_path, LineStore& store,
                           const ImageDescription& values);

}  // namespace snapcrate
