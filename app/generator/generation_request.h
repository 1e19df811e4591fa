#pragma once
// What one generation run works on: the request the Generate HTML window fills,
// and the record of the chapter in work.

#include <cstdint>
#include <string>

#include "app/schemes/album_config.h"

namespace snapcrate {

/// Minimal rating that lets every rated and unrated picture through.
inline constexpr int16_t kNoMinimalRating = 9999;

struct GenerationRequest {
  std::string source_path;       // ends in "/"
  std::string destination_path;  // ends in "/"
  int16_t min_quality = kNoMinimalRating;
  int16_t min_originality = kNoMinimalRating;
  std::string root_dir_name;  // the GenHTMLRootDir setting, taken at run start
  bool auto_orient = true;    // pictures without a Rotation entry follow their EXIF orientation
  AlbumConfig config;         // a copy of the chosen album configuration
};

/// One directory of the source tree that becomes a chapter of the album.
struct ChapterRecord {
  std::string source_dir;     // source path + relative path
  std::string output_dir;     // destination + root directory name + "/" + relative path
  std::string relative_path;  // ends in "/"; empty for the root chapter
  std::string parent_relative_path;
  std::string name;              // last component of the relative path, without "/"
  std::string previous_sibling;  // relative path without the trailing "/", or empty
  std::string next_sibling;
};

/// The chapter at `relative_path` (empty or ending in "/") of the request's tree.
ChapterRecord MakeChapterRecord(const GenerationRequest& request, const std::string& relative_path,
                                const std::string& parent_relative_path, const std::string& previous_sibling,
                                const std::string& next_sibling);

}  // namespace snapcrate
