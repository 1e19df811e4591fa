#include "app/side_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

class SideFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* saved = getenv("TMPDIR");
    saved_ = saved ? saved : "";
    had_tmpdir_ = saved != nullptr;
    setenv("TMPDIR", temp_.path().c_str(), 1);
  }
  void TearDown() override {
    if (had_tmpdir_) setenv("TMPDIR", saved_.c_str(), 1);
    else unsetenv("TMPDIR");
  }

  TempDir temp_;
  const std::string own_ = temp_ / ("snapcrate-" + std::to_string(geteuid()));
  std::string saved_;
  bool had_tmpdir_ = false;
};

TEST_F(SideFilesTest, TheUsersOwnDirectoryIsMadePrivateAndAPlantedNameIsPassedBy) {
  EXPECT_EQ(PrivateTempDir(), own_ + "/");
  struct stat info;
  ASSERT_EQ(lstat(own_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  ASSERT_EQ(chmod(own_.c_str(), 0755), 0);  // ours, only too open: narrowed
  EXPECT_EQ(PrivateTempDir(), own_ + "/");
  ASSERT_EQ(lstat(own_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  ASSERT_EQ(rmdir(own_.c_str()), 0);

  const std::vector<std::pair<const char*, std::function<bool()>>> plants = {
      {"a link to a directory", [&] { return mkdir((temp_ / "elsewhere").c_str(), 0700) == 0 &&
                                             symlink((temp_ / "elsewhere").c_str(), own_.c_str()) == 0; }},
      {"a file", [&] {
         WriteFile(own_, "x");
         return true;
       }},
      {"another user's directory", [&] {
         return geteuid() == 0 && mkdir(own_.c_str(), 0777) == 0 && chown(own_.c_str(), 4242, 4242) == 0;
       }},
  };
  for (const auto& [what, plant] : plants) {
    SCOPED_TRACE(what);
    std::filesystem::remove_all(own_);
    if (!plant()) continue;  // only root can hand a directory to another user
    const std::string dir = PrivateTempDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir, own_ + "/");
    EXPECT_TRUE(dir.starts_with(own_ + "-")) << dir;
    ASSERT_EQ(lstat(dir.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & 077) == 0);
    EXPECT_EQ(PrivateTempDir(), dir);  // the same one for the rest of the process
  }
}

TEST_F(SideFilesTest, SideFileIsEmptiedOnlyWhenItIsAPlainFile) {
  const std::string dir = PrivateTempDir();
  std::string error;
  WriteFile(dir + "old.txt", "old contents");
  std::FILE* file = CreateSideFile(dir + "old.txt", error);
  ASSERT_NE(file, nullptr) << error;
  std::fputs("new", file);
  std::fclose(file);
  EXPECT_EQ(ReadFile(dir + "old.txt"), "new");

  ASSERT_EQ(mkfifo((dir + "pipe.txt").c_str(), 0600), 0);
  ASSERT_EQ(mkdir((dir + "dir.txt").c_str(), 0700), 0);
  WriteFile(temp_ / "victim", "keep");
  ASSERT_EQ(symlink((temp_ / "victim").c_str(), (dir + "link.txt").c_str()), 0);
  for (const char* name : {"pipe.txt", "dir.txt", "link.txt"}) {
    SCOPED_TRACE(name);
    error.clear();
    EXPECT_EQ(CreateSideFile(dir + name, error), nullptr);  // at once, nobody reading the pipe
    EXPECT_FALSE(error.empty());
  }
  EXPECT_EQ(ReadFile(temp_ / "victim"), "keep");
}

}  // namespace
}  // namespace snapcrate
