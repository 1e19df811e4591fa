#pragma once
// The title, description and index picture of a chapter, with the titles a
// chapter gets when its description file gives none.

#include <string>
#include <string_view>

namespace snapcrate {

/// The relative path subchapters pass: an empty title stays empty.
inline constexpr std::string_view kUndefinedRelativePath = "$UNDEFINED$";

struct ChapterInfo {
  std::string title;
  std::string description;
  std::string index_picture;  // relative to the directory, "/" separated; or empty
};

/// Reads the description file of `directory`. An empty title becomes "Home" for
/// the album root (empty `relative_path`) and the relative path without its
/// trailing "/" and number prefix for any other chapter, as page text ("&",
/// "<", ">" escaped; a typed title may hold HTML and stays as it is).
ChapterInfo ReadChapterInfo(const std::string& directory, const std::string& relative_path);

/// `name` without a leading number of at most two digits and its separator (a
/// blank, else "_"): "01 Rome" gives "Rome", "12_Trip" gives "Trip", "2004 Rome"
/// stays as it is.
std::string StripNumberPrefix(std::string_view name);

}  // namespace snapcrate
