#pragma once
// Listing a directory's entries in the file system's order, with a limit.

#include <set>
#include <string>
#include <vector>

namespace snapcrate {

/// The most entries read from one directory (and pictures in one chapter).
inline constexpr int kMaxDirEntries = 860;

/// Which entries a listing keeps.
enum DirEntryKinds : unsigned {
  kFileEntries = 1u,       // regular files
  kDirectoryEntries = 2u,  // directories
};

struct DirEntry {
  std::string name;
  bool is_directory = false;
};

/// While one lives, each directory that cannot be read is logged once only
/// (a generation lists most directories more than once). Without one, every
/// failed listing is logged.
class ListingReportScope {
 public:
  ListingReportScope();
  ~ListingReportScope();
  ListingReportScope(const ListingReportScope&) = delete;
  ListingReportScope& operator=(const ListingReportScope&) = delete;
  /// How many directories could not be read while this scope lived.
  int unreadable() const { return static_cast<int>(reported_.size()); }

 private:
  std::set<std::string> reported_;
  std::set<std::string>* outer_;
};

/// Stores up to `max_count` entries of `directory` of the given kinds into
/// `entries` (replaced), in the file system's order, and returns how many. When
/// more follow, a warning is logged. Hidden entries (names starting with ".") and
/// special files are left out; symbolic links count as what they point to. A
/// directory that cannot be read gives no entries (or those read before the
/// error) and a warning; one that does not exist gives none, silently.
int ListDirEntries(const std::string& directory, unsigned kinds, std::vector<DirEntry>& entries,
                   int max_count);

}  // namespace snapcrate
