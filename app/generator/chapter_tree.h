#pragma once
// Walking the source tree: which directories become chapters, in which order,
// children before their parents.

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/generator/generation_request.h"
#include "app/pictures/picture_probe.h"

namespace snapcrate {

/// Runs the pages of one chapter whose child chapters (relative paths without
/// trailing "/", sorted) are given; true when the user aborted.
using ChapterRunner = std::function<bool(const ChapterRecord& chapter, const std::vector<std::string>& children)>;

class ChapterTreeWalk {
 public:
  ChapterTreeWalk(const GenerationRequest& request, ChapterRunner run_chapter, PictureProbe probe = {});

  /// Generates the chapters below `relative_path` (empty or ending in "/"),
  /// then the chapter itself; true when aborted.
  bool ProcessChapterTree(const std::string& relative_path, const std::string& parent_relative_path,
                          const std::string& previous_sibling, const std::string& next_sibling);

  /// Adds the chapters found below `relative_path` to `chapters` (relative
  /// paths without trailing "/"); with `process` it also generates them.
  /// True when aborted.
  bool CollectChapterDirs(const std::string& relative_path, bool process, std::vector<std::string>& chapters);

 private:
  const GenerationRequest& request_;
  ChapterRunner run_chapter_;
  PictureProbe probe_;
  // Directories (device and inode) on the current walk, so a link back to an
  // ancestor cannot make the walk endless.
  std::set<std::pair<unsigned long, unsigned long>> walking_;
};

}  // namespace snapcrate
