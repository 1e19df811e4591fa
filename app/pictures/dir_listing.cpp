#include "app/pictures/dir_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <set>

#include "app/log.h"
#include "app/paths.h"

namespace snapcrate {
namespace {

/// The kind of entry, following symbolic links; 0 for anything else (sockets,
/// pipes, devices, dangling links), which no listing wants: reading a pipe named
/// like a picture would block the run.
unsigned EntryKind(const std::string& directory, const struct dirent& entry) {
  switch (entry.d_type) {
    case DT_REG:
      return kFileEntries;
    case DT_DIR:
      return kDirectoryEntries;
    case DT_LNK:
    case DT_UNKNOWN:
      break;
    default:
      return 0;
  }
  struct stat info;
  if (stat(JoinPath(directory, entry.d_name).c_str(), &info) != 0) return 0;
  if (S_ISREG(info.st_mode)) return kFileEntries;
  if (S_ISDIR(info.st_mode)) return kDirectoryEntries;
  return 0;
}

std::set<std::string>* g_reported = nullptr;  // set while a ListingReportScope lives

void ReportUnreadable(const std::string& directory, int error) {
  if (g_reported && !g_reported->insert(directory).second) return;
  LogMessage("Warning: Directory '" + directory + "' can't be read: " + std::strerror(error));
}

}  // namespace

ListingReportScope::ListingReportScope() : outer_(g_reported) { g_reported = &reported_; }

ListingReportScope::~ListingReportScope() { g_reported = outer_; }

int ListDirEntries(const std::string& directory, unsigned kinds, std::vector<DirEntry>& entries,
                   int max_count) {
  entries.clear();
  DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
  if (!dir) {
    // A directory that is not there is no news; one that cannot be read hides pictures.
    if (errno != ENOENT && errno != ENOTDIR) ReportUnreadable(directory, errno);
    return 0;
  }
  for (;;) {
    errno = 0;
    struct dirent* entry = readdir(dir);
    if (!entry) {
      if (errno != 0) ReportUnreadable(directory, errno);
      break;
    }
    // "." and ".." and hidden entries alike.
    if (entry->d_name[0] == '.') continue;
    const unsigned kind = EntryKind(directory, *entry);
    if ((kind & kinds) == 0) continue;
    if (static_cast<int>(entries.size()) >= max_count) {
      LogMessage("Warning: Directory '" + directory + "' too large - only the first " +
                 std::to_string(max_count) + " files will be read!");
      break;
    }
    entries.push_back({entry->d_name, kind == kDirectoryEntries});
  }
  closedir(dir);
  return static_cast<int>(entries.size());
}

}  // namespace snapcrate
