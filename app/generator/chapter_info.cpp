#include "app/generator/chapter_info.h"

#include <algorithm>

#include "app/descriptions/description_store.h"
#include "app/descriptions/dir_description.h"
#include "app/paths.h"
#include "app/text.h"

namespace snapcrate {

ChapterInfo ReadChapterInfo(const std::string& directory, const std::string& relative_path) {
  LineStore store(kDescriptionStoreCapacity);
  const DirDescription description = ReadDirDescription(directory, store);
  ChapterInfo info{description.title, description.description, description.image};
  if (info.title.empty()) {
    if (relative_path.empty())
      info.title = "Home";
    else if (relative_path != kUndefinedRelativePath)
      info.title = EscapeHtmlText(StripNumberPrefix(StripTrailingBackslash(relative_path)));
  }
  return info;
}

std::string StripNumberPrefix(std::string_view name) {
  // The separator must stand at position 1 to 3 (0 to 2 counted from 0).
  size_t separator = name.find(' ');
  if (separator == std::string_view::npos || separator > 2) {
    separator = name.find('_');
    if (separator == std::string_view::npos || separator > 2) return std::string(name);
  }
  const std::string_view prefix = name.substr(0, separator);
  if (!std::all_of(prefix.begin(), prefix.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::string(name);
  return std::string(name.substr(separator + 1));
}

}  // namespace snapcrate
