#include "app/schemes/etc_entries.h"

#include <dirent.h>

#include <string_view>

namespace snapcrate {

std::vector<std::string> ListEtcEntries(const std::string& dir, const std::string& prefix,
                                        const std::string& suffix) {
  std::vector<std::string> names;
  DIR* stream = opendir(dir.c_str());
  if (!stream) return names;
  while (const dirent* entry = readdir(stream)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (name.size() < prefix.size() + suffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(suffix))
      continue;
    names.emplace_back(name);
    if (names.size() >= kMaxListedEntries) break;
  }
  closedir(stream);
  return names;
}

}  // namespace snapcrate
