#include "app/generator/generation_request.h"

#include "app/paths.h"

namespace snapcrate {

ChapterRecord MakeChapterRecord(const GenerationRequest& request, const std::string& relative_path,
                                const std::string& parent_relative_path, const std::string& previous_sibling,
                                const std::string& next_sibling) {
  ChapterRecord chapter;
  chapter.relative_path = relative_path;
  chapter.source_dir = request.source_path + relative_path;
  chapter.output_dir = WithTrailingSlash(request.destination_path + request.root_dir_name) + relative_path;
  chapter.parent_relative_path = parent_relative_path;
  std::string directory;
  SplitPath(StripTrailingBackslash(relative_path), directory, chapter.name);
  chapter.previous_sibling = previous_sibling;
  chapter.next_sibling = next_sibling;
  return chapter;
}

}  // namespace snapcrate
