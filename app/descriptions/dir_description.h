#pragma once
// The description file of a directory (a chapter of the album): its title, its
// description and its index picture, in the directory itself under the
// DirDscName setting.

#include <string>

#include "app/line_store.h"

namespace snapcrate {

struct DirDescription {
  std::string title;        // line breaks as CR LF
  std::string description;  // line breaks as CR LF
  std::string image;        // index picture relative to the directory, "/" separated; or empty
};

/// directory + the DirDscName setting: the file every read and write addresses.
std::string DirDescriptionPath(const std::string& directory);

/// Reads the directory's description file into `store` (kept for the next
/// write); when it is missing or empty, the older "_quillbox_.dsc" instead.
/// Relative paths written by the Windows version ("..\x.jpg") come back with "/".
DirDescription ReadDirDescription(const std::string& directory, LineStore& store);

/// Writes title and description, with the index picture the store holds,
/// through the store the matching read filled; when all three are empty the
/// file is deleted instead.
void WriteDirDescription(const std::string& directory, LineStore& store, const std::string& title,
                         const std::string& description);

/// Writes the index picture at once; the empty text clears it.
void SetDirIndexImage(const std::string& directory, LineStore& store, const std::string& relative_path);

/// `file_path` relative to `directory`: the directory is shortened a component
/// at a time, each step putting "../" in front, until it is a prefix of the file's
/// path. A file in the directory itself gives its bare name.
std::string RelativeImagePath(const std::string& directory, const std::string& file_path);

}  // namespace snapcrate
