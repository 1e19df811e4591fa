#pragma once
// Which files the import and the date adjustment date by their own contents,
// told by their extension in lower case (".jpg").

#include <string_view>

namespace snapcrate {

/// Pictures that carry an EXIF block the EXIF library reads: JPEG and HEIF.
inline bool IsExifPicture(std::string_view lower_extension) {
  return lower_extension == ".jpg" || lower_extension == ".heic" || lower_extension == ".heif";
}

/// Movies whose header records when they were made.
inline bool IsMovie(std::string_view lower_extension) {
  return lower_extension == ".mp4" || lower_extension == ".mov" || lower_extension == ".m4v" ||
         lower_extension == ".3gp";
}

}  // namespace snapcrate
