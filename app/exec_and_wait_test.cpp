#include "app/exec_and_wait.h"

#include <gtest/gtest.h>

#include "app/file_lib.h"
#include "app/program_state.h"
#include "app/settings.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::ReadFile;
using testing::RecordingUiPort;
using testing::TempDir;
using testing::WriteFile;

TEST(SplitCommandLineTest, FollowsQuotingRules) {
  const struct {
    const char* line;
    std::vector<std::string> args;
  } cases[] = {
      {"a b  c", {"a", "b", "c"}},
      {"\"/my dir/viewer\" \"/p/a b.jpg\" /bf", {"/my dir/viewer", "/p/a b.jpg", "/bf"}},
      {"a\\\"b", {"a\"b"}},
      {"\"a\\\\\" b", {"a\\", "b"}},
      {"a\\b", {"a\\b"}},
      {"x\"y z\"w", {"xy zw"}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

TEST(RunProgramTest, PassesHostileNamesAsOneArgumentWithoutAShell) {
  RecordingUiPort ui;
  TempDir dir;
  const std::string hostile = dir / "x; touch pwned $(touch pwned2) `touch pwned3`.jpg";
  WriteFile(dir / "script.sh", "#!/bin/sh\nprintf '%s|' \"$@\" > \"$0.out\"\n");
  chmod((dir / "script.sh").c_str(), 0755);
  const int pid = RunProgram("\"" + dir / "script.sh" + "\" \"" + hostile + "\" second", WindowStyle::kHidden);
  ASSERT_GT(pid, 0);
  EXPECT_EQ(WaitForProcess(pid), 0);
  EXPECT_EQ(ReadFile(dir / "script.sh.out"), hostile + "|second|");
  EXPECT_FALSE(FileExists(dir / "pwned"));
  EXPECT_FALSE(FileExists("pwned2"));
}

TEST(RunProgramTest, ReportsAProgramThatCannotStart) {
  RecordingUiPort ui;
  EXPECT_EQ(RunProgram("/no/such/program arg", WindowStyle::kHidden), -1);
  EXPECT_EQ(ui.log_lines, (std::vector<std::string>{"Command failed: /no/such/program arg"}));
  EXPECT_EQ(RunProgram("   ", WindowStyle::kHidden), -1);
}

TEST(RunProgramTest, WaitReturnsTheExitCodeAndProcessesEvents) {
  RecordingUiPort ui;
  const int pid = RunProgram("/bin/sh -c \"sleep 0.3; exit 3\"", WindowStyle::kHidden);
  ASSERT_GT(pid, 0);
  EXPECT_EQ(WaitForProcess(pid), 3);
  EXPECT_GT(ui.events_processed, 0);
}

class HomeTest : public ::testing::Test {
 protected:
  void SetUp() override { Program().home_dir = home_.path(); }
  RecordingUiPort ui_;
  TempDir home_;
};

TEST_F(HomeTest, FirstStartUnpacksOnceAndLeavesAnEmptyArchive) {
  // A stand-in unpacker records its arguments.
  WriteFile(home_ / "unzip", "#!/bin/sh\nprintf '%s|' \"$@\" > \"$(dirname \"$0\")/unzip.args\"\n");
  chmod((home_ / "unzip").c_str(), 0755);
  WriteFile(home_ / "__inst.zip", "PK fake");
  EXPECT_TRUE(FirstStartUnpack());
  EXPECT_EQ(ReadFile(home_ / "unzip.args"),
            "-o|" + home_ / "__inst.zip" + "|-d|" + home_.path().substr(0, home_.path().size() - 1) + "|");
  EXPECT_TRUE(FileExists(home_ / "__inst.zip"));
  EXPECT_EQ(ReadFile(home_ / "__inst.zip"), "");
  EXPECT_FALSE(FirstStartUnpack());  // the empty archive marks it done
}

TEST_F(HomeTest, PackBatPreventsTheUnpack) {
  WriteFile(home_ / "__inst.zip", "PK fake");
  WriteFile(home_ / "pack.bat", "");
  EXPECT_FALSE(FirstStartUnpack());
  EXPECT_EQ(ReadFile(home_ / "__inst.zip"), "PK fake");
}

TEST_F(HomeTest, ViewerTemplateGetsThePathForEveryPlaceholder) {
  WriteFile(home_ / "viewer", "#!/bin/sh\nprintf '%s|' \"$@\" > \"$(dirname \"$0\")/viewer.args\"\n");
  chmod((home_ / "viewer").c_str(), 0755);
  auto run_viewer = [&](const std::string& command, const std::string& image) {
    ClearLines(Program().settings);
    WriteSettings({{"ExtViewer", command}});
    std::remove((home_ / "viewer.args").c_str());
    OpenInViewer(image);
    for (int i = 0; i < 100 && ReadFile(home_ / "viewer.args").empty(); ++i) usleep(20000);
    return ReadFile(home_ / "viewer.args");
  };
  const std::string viewer = "\"" + home_ / "viewer" + "\"";
  EXPECT_EQ(run_viewer(viewer + " \"$1\" \"$1\"", "/p/a b.jpg"), "/p/a b.jpg|/p/a b.jpg|");
  EXPECT_EQ(run_viewer(viewer + " $1", "/p/a b.jpg"), "/p/a|b.jpg|");
  EXPECT_EQ(run_viewer(viewer + " -x", "/p/a.jpg"), "-x|");
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(HomeTest, UnconfiguredViewerShowsAMessageAndStartsNothing) {
  ClearLines(Program().settings);
  OpenInViewer("/p/a.jpg");
  WriteSettings({{"ExtViewer", "$$$"}});
  OpenInViewer("/p/a.jpg");
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{"External Image Viewer not configured!",
                                                    "External Image Viewer not configured!"}));
}

}  // namespace
}  // namespace snapcrate
