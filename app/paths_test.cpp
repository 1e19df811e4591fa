#include "app/paths.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::ReadFile;
using testing::RecordingUiPort;
using testing::TempDir;
using testing::WriteFile;

void SetMtime(const std::string& path, time_t seconds) {
  struct utimbuf times = {seconds, seconds};
  utime(path.c_str(), &times);
}

TEST(PathTest, JoinSplitAndStrip) {
  EXPECT_EQ(JoinPath("/a", "b.jpg"), "/a/b.jpg");
  EXPECT_EQ(JoinPath("/a/", "b.jpg"), "/a/b.jpg");
  EXPECT_EQ(JoinPath("c:\\a\\", "b.jpg"), "c:\\a\\b.jpg");
  EXPECT_EQ(JoinPath("", "b"), "b");
  EXPECT_EQ(JoinPath("/a", ""), "/a");
  EXPECT_EQ(StripTrailingBackslash("/a//"), "/a/");
  EXPECT_EQ(StripTrailingBackslash("/"), "");
  std::string dir, name;
  SplitPath("/photos/2004/img.jpg", dir, name);
  EXPECT_EQ(dir, "/photos/2004");
  EXPECT_EQ(name, "img.jpg");
  SplitPath("img.jpg", dir, name);
  EXPECT_EQ(dir, "");
  EXPECT_EQ(name, "img.jpg");
}

TEST(PathTest, SplitExtFindsTheLastDotOfTheName) {
  const struct {
    const char* path;
    const char* base;
    const char* extension;
  } cases[] = {
      {"photo.JPG", "photo", ".JPG"},   {"archive.tar.gz", "archive.tar", ".gz"},
      {"dir.d/file", "dir.d/file", ""}, {"name.", "name.", ""},
      {".hidden", ".hidden", ""},       {"a", "a", ""},
      {"/x/.b.c", "/x/.b", ".c"},
  };
  for (const auto& c : cases) {
    std::string extension;
    EXPECT_EQ(SplitExt(c.path, extension), c.base) << c.path;
    EXPECT_EQ(extension, c.extension) << c.path;
  }
}

TEST(FileOperationTest, FindFileAndIsDirectoryAndIsNewer) {
  RecordingUiPort ui;
  TempDir dir;
  WriteFile(dir / "a.jpg", "a");
  WriteFile(dir / "b.jpg", "bb");
  SetMtime(dir / "a.jpg", 2000);
  SetMtime(dir / "b.jpg", 1000);
  FindRecord record;
  ASSERT_TRUE(FindFile(dir / "b.jpg", record));
  EXPECT_EQ(record.size, 2u);
  EXPECT_EQ(record.name, "b.jpg");
  EXPECT_FALSE(record.is_directory);
  ASSERT_TRUE(FindFile(dir / "a.*", record));
  EXPECT_EQ(record.name, "a.jpg");
  EXPECT_FALSE(FindFile(dir / "*.png", record));
  // A name holding a wildcard character is found as itself, not as a pattern.
  WriteFile(dir / "b*.jpg", "star");
  ASSERT_TRUE(FindFile(dir / "b*.jpg", record));
  EXPECT_EQ(record.name, "b*.jpg");
  EXPECT_EQ(record.size, 4u);
  EXPECT_TRUE(IsDirectory(dir.path()));
  EXPECT_FALSE(IsDirectory(dir / "a.jpg"));
  EXPECT_TRUE(IsNewer(dir / "a.jpg", dir / "b.jpg"));
  EXPECT_FALSE(IsNewer(dir / "b.jpg", dir / "a.jpg"));
  SetMtime(dir / "b.jpg", 2000);
  EXPECT_FALSE(IsNewer(dir / "a.jpg", dir / "b.jpg"));  // equal is not newer
  EXPECT_FALSE(IsNewer(dir / "a.jpg", dir / "missing.jpg"));
}

TEST(FileOperationTest, CopyKeepsBytesTimeAndPermissions) {
  RecordingUiPort ui;
  TempDir dir;
  std::string bytes(300000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  WriteFile(dir / "src.jpg", bytes);
  SetMtime(dir / "src.jpg", 1'100'000'000);
  chmod((dir / "src.jpg").c_str(), 0444);
  ASSERT_EQ(CopyFile(dir / "src.jpg", dir / "dst.jpg"), 0);
  EXPECT_EQ(ReadFile(dir / "dst.jpg"), bytes);
  FindRecord record;
  ASSERT_TRUE(FindFile(dir / "dst.jpg", record));
  EXPECT_EQ(record.last_write_time, int64_t{1'100'000'000} * 1'000'000'000);
  EXPECT_TRUE(record.read_only);
  // The import asks for the copy's write-back after making it read-only.
  EXPECT_TRUE(StartWriteBack(dir / "dst.jpg"));
  EXPECT_FALSE(StartWriteBack(dir / "none.jpg"));
  EXPECT_EQ(ReadFile(dir / "dst.jpg"), bytes);
  EXPECT_TRUE(ui.log_lines.empty());
}

TEST(FileOperationTest, FailedCopyAndRenameAreLoggedAndLeaveNoFile) {
  RecordingUiPort ui;
  TempDir dir;
  EXPECT_EQ(CopyFile(dir / "none", dir / "dst"), -1);
  WriteFile(dir / "a", "a");
  EXPECT_EQ(CopyFile(dir / "a", dir / "no/such/dir/b"), -1);
  WriteFile(dir / "b", "b");
  EXPECT_EQ(RenameFile(dir / "a", dir / "b"), -1);  // never replaces a file
  EXPECT_EQ(ReadFile(dir / "b"), "b");
  EXPECT_EQ(ui.log_lines, (std::vector<std::string>{
                              "Can't copy " + dir / "none" + " to " + dir / "dst",
                              "Can't copy " + dir / "a" + " to " + dir / "no/such/dir/b",
                              "Can't rename " + dir / "a" + " to " + dir / "b"}));
  EXPECT_EQ(RenameFile(dir / "a", dir / "c"), 0);
  EXPECT_EQ(ReadFile(dir / "c"), "a");

  // A pipe nobody writes to is refused at once: in a child that a timer ends.
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  EXPECT_EXIT(
      {
        alarm(20);
        std::exit(CopyFile(dir / "pipe", dir / "d") == -1 && !std::filesystem::exists(dir / "d") ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// The names in `directory`, hidden ones included.
std::vector<std::string> Names(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FileOperationTest, CopyKilledMidwayLeavesOnlyARemovableTempFile) {
  RecordingUiPort ui;
  TempDir dir;
  WriteFile(dir / "src.jpg", std::string(300000, 'x'));
  WriteFile(dir / "old.jpg", "old");
  // The file-size limit kills the copying process in the middle of the copy.
  const auto limited_copies = [&] {
    const struct rlimit limit = {100000, 100000};
    setrlimit(RLIMIT_FSIZE, &limit);
    CopyFile(dir / "src.jpg", dir / "old.jpg");
    CopyFile(dir / "src.jpg", dir / "new.jpg");
    std::exit(0);
  };
  EXPECT_EXIT(limited_copies(), ::testing::KilledBySignal(SIGXFSZ), "");
  std::vector<std::string> names = Names(dir.path());
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[1], "old.jpg");
  EXPECT_EQ(ReadFile(dir / "old.jpg"), "old");
  EXPECT_TRUE(IsTempFileName(names[0])) << names[0];

  // A copy in progress elsewhere holds its lock and is left alone.
  const std::string busy = dir / ".snapcrate-busy01.part";
  WriteFile(busy, "busy");
  const int busy_fd = open(busy.c_str(), O_RDONLY);
  ASSERT_EQ(flock(busy_fd, LOCK_EX), 0);
  EXPECT_EQ(RemoveLeftoverTempFiles(dir.path()), 1);
  close(busy_fd);
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{".snapcrate-busy01.part", "old.jpg", "src.jpg"}));
  EXPECT_EQ(ui.log_lines, (std::vector<std::string>{"Removed the unfinished file " + dir / names[0]}));
  for (const char* name : {".snapcrate-.part", "snapcrate-abcdef.part", ".snapcrate-abcdef.jpg", "a.part", "a.jpg.1-2.tmp",
                           ".a.jpg.1-.tmp", ".a.jpg.-2.tmp", ".a.jpg.1-2.tmpx", ".a.jpg1-2.tmp", ".1-2.tmp"})
    EXPECT_FALSE(IsTempFileName(name)) << name;
}

TEST(FileOperationTest, CopyReplacesAndFitsTheLongestName) {
  TempDir dir;
  WriteFile(dir / "src.jpg", "new");
  const std::string longest = dir / (std::string(251, 'n') + ".jpg");
  WriteFile(longest, "old");
  ASSERT_EQ(CopyFile(dir / "src.jpg", longest), 0);
  EXPECT_EQ(ReadFile(longest), "new");
  EXPECT_EQ(Names(dir.path()).size(), 2u);
}

TEST(FileOperationTest, MakeDirAndDeleteReturnErrorNumbers) {
  TempDir dir;
  EXPECT_EQ(MakeDir(dir / "x"), 0);
  EXPECT_EQ(MakeDir(dir / "x"), EEXIST);
  EXPECT_EQ(DeleteFile(dir / "nothing"), ENOENT);
}

TEST(FileOperationTest, TempNamesAndProgramDir) {
  const std::string temp_dir = GetTempDir();
  EXPECT_EQ(temp_dir.back(), '/');
  const std::string a = GetTempFileName(), b = GetTempFileName();
  EXPECT_NE(a, b);
  EXPECT_EQ(a.rfind(temp_dir + "sc", 0), 0u);
  EXPECT_TRUE(IsDirectory(GetProgramDir()));
  DeleteFile(a);
  DeleteFile(b);
}

}  // namespace
}  // namespace snapcrate
