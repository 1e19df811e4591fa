#include "app/pictures/dir_listing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::DropReadAnyDirectory;
using testing::RecordingUiPort;
using testing::TempDir;
using testing::WriteFile;
using Strings = std::vector<std::string>;

Strings SortedNames(const std::vector<DirEntry>& entries) {
  Strings names;
  for (const DirEntry& entry : entries) names.push_back(entry.name + (entry.is_directory ? "/" : ""));
  std::sort(names.begin(), names.end());
  return names;
}

class DirListingTest : public ::testing::Test {
 protected:
  RecordingUiPort ui_;
  TempDir dir_;
  std::vector<DirEntry> entries_;
};

TEST_F(DirListingTest, ListsTheKindsAskedForAndLeavesOutHiddenAndSpecialEntries) {
  WriteFile(dir_ / "a.jpg", "");
  WriteFile(dir_ / "sub/b.jpg", "");
  WriteFile(dir_ / ".hidden.jpg", "");
  WriteFile(dir_ / ".thumbs/c.jpg", "");
  ASSERT_EQ(mkfifo((dir_ / "pipe.jpg").c_str(), 0600), 0);
  ASSERT_EQ(symlink("sub", (dir_ / "link").c_str()), 0);
  ASSERT_EQ(symlink("a.jpg", (dir_ / "alias.jpg").c_str()), 0);
  ASSERT_EQ(symlink("missing", (dir_ / "dangling.jpg").c_str()), 0);

  EXPECT_EQ(ListDirEntries(dir_.path(), kFileEntries | kDirectoryEntries, entries_, 860), 4);
  EXPECT_EQ(SortedNames(entries_), (Strings{"a.jpg", "alias.jpg", "link/", "sub/"}));
  EXPECT_EQ(ListDirEntries(dir_.path(), kFileEntries, entries_, 860), 2);
  EXPECT_EQ(SortedNames(entries_), (Strings{"a.jpg", "alias.jpg"}));
  EXPECT_EQ(ListDirEntries(dir_ / "sub", kFileEntries, entries_, 860), 1);
  EXPECT_TRUE(ui_.log_lines.empty());
}

TEST_F(DirListingTest, MissingDirectoryGivesNoEntries) {
  entries_.push_back({"stale", false});
  EXPECT_EQ(ListDirEntries(dir_ / "missing/", kFileEntries | kDirectoryEntries, entries_, 860), 0);
  EXPECT_TRUE(entries_.empty());
  EXPECT_TRUE(ui_.log_lines.empty());
}

TEST_F(DirListingTest, StopsAtTheLimitWithOneWarning) {
  for (int i = 0; i < 861; ++i) WriteFile(dir_ / ("f" + std::to_string(i)), "");
  EXPECT_EQ(ListDirEntries(dir_.path(), kFileEntries, entries_, 860), 860);
  EXPECT_EQ(ui_.log_lines, (Strings{"Warning: Directory '" + dir_.path() +
                                    "' too large - only the first 860 files will be read!"}));

  // Exactly the maximum is no warning; entries of other kinds do not count.
  ui_.log_lines.clear();
  std::remove((dir_ / "f0").c_str());
  WriteFile(dir_ / "d/x", "");
  EXPECT_EQ(ListDirEntries(dir_.path(), kFileEntries, entries_, 860), 860);
  EXPECT_TRUE(ui_.log_lines.empty());
}

TEST_F(DirListingTest, UnreadableDirectoryIsLoggedOncePerScope) {
  WriteFile(dir_ / "locked/a.jpg", "");
  ASSERT_EQ(chmod((dir_ / "locked").c_str(), 0), 0);
  // In a child, which may give up root's rights for good.
  EXPECT_EXIT(
      {
        if (!DropReadAnyDirectory()) std::exit(2);
        RecordingUiPort ui;
        std::vector<DirEntry> entries;
        const std::string locked = dir_ / "locked/";
        const Strings warning{"Warning: Directory '" + locked + "' can't be read: Permission denied"};
        const bool logged = ListDirEntries(locked, kFileEntries, entries, 860) == 0 && ui.log_lines == warning;
        ui.log_lines.clear();
        bool once = true;
        {
          ListingReportScope scope;
          for (int i = 0; i < 2; ++i) ListDirEntries(locked, kFileEntries, entries, 860);
          once = ui.log_lines == warning;
        }
        std::exit(logged && once ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  chmod((dir_ / "locked").c_str(), 0700);
}

}  // namespace
}  // namespace snapcrate
