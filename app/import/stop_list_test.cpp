#include "app/import/stop_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/program_state.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::RecordingUiPort;
using testing::TempDir;
using testing::WriteFile;
using Strings = std::vector<std::string>;

class StopListTest : public ::testing::Test {
 protected:
  StopListTest() {
    saved_home_ = Program().home_dir;
    Program().home_dir = home_.path();
  }
  ~StopListTest() override {
    Program().home_dir = saved_home_;
    ClearStopList();
  }
  void Read(std::string_view contents) {
    WriteFile(home_ / "etc/stoplist.txt", contents);
    ReadStopList();
  }

  RecordingUiPort ui_;
  TempDir home_;
  std::string saved_home_;
};

TEST_F(StopListTest, ReadsFieldsLikeTheDelimitedInput) {
  const struct {
    const char* contents;
    Strings entries;
  } cases[] = {
      {"Thumbs\r\n/private/\r\n", {"Thumbs", "/private/"}},
      {"a, b ,c\n", {"a", "b", "c"}},
      {"\"x, y\"\r\n  \" padded \"  \r\n", {"x, y", " padded "}},
      {"last line without end", {"last line without end"}},
      {"mac\rline\rends", {"mac", "line", "ends"}},
      {"one\r\n\r\ntwo", {"one", "", "two"}},
      {"trailing comma,\n", {"trailing comma", ""}},
      {"\"closed\"junk,next", {"closed", "next"}},
      {"\"open quote\nnext", {"open quote", "next"}},
      {"", {}},
  };
  for (const auto& c : cases) {
    Read(c.contents);
    EXPECT_EQ(StopListEntries(), c.entries) << c.contents;
    EXPECT_EQ(ui_.log_lines.back(), "Stoplist read!");
  }
}

TEST_F(StopListTest, MissingFileIsAnEmptyListWithoutMessage) {
  Read("old");
  ui_.log_lines.clear();
  std::remove((home_ / "etc/stoplist.txt").c_str());
  ReadStopList();
  EXPECT_TRUE(StopListEntries().empty());
  EXPECT_TRUE(ui_.log_lines.empty());
  EXPECT_FALSE(IsInStopList("/photos/old/"));
}

TEST_F(StopListTest, KeepsTheFirstHundredEntriesAndWarnsOnce) {
  std::string contents;
  for (int i = 1; i <= 101; ++i) contents += "entry" + std::to_string(i) + "|\r\n";
  Read(contents);
  ASSERT_EQ(StopListEntries().size(), 100u);
  EXPECT_EQ(StopListEntries().back(), "entry100|");
  EXPECT_EQ(ui_.log_lines, (Strings{"Warning: Reached maxlines limit for stoplist!", "Stoplist read!"}));
  EXPECT_FALSE(IsInStopList("/a/entry101|/"));

  // Exactly a hundred fit without the warning.
  ui_.log_lines.clear();
  contents.clear();
  for (int i = 1; i <= 100; ++i) contents += "e" + std::to_string(i) + "\r\n";
  Read(contents);
  EXPECT_EQ(StopListEntries().size(), 100u);
  EXPECT_EQ(ui_.log_lines, (Strings{"Stoplist read!"}));
}

TEST_F(StopListTest, MatchesSubstringsCaseSensitivelyAndLogsTheMatch) {
  Read("Thumbs\r\n/private/\r\n\"a,b\"\r\n");
  ui_.log_lines.clear();
  EXPECT_FALSE(IsInStopList("/card/thumbs.db"));
  EXPECT_TRUE(IsInStopList("/photos/private/2005/"));
  EXPECT_TRUE(IsInStopList("/photos/a,b/x.jpg"));
  EXPECT_FALSE(IsInStopList("/photos/private"));  // the file, not the directory
  EXPECT_EQ(ui_.log_lines,
            (Strings{"Stoplist: In \"/photos/private/2005/\" match found for \"/private/\"",
                     "Stoplist: In \"/photos/a,b/x.jpg\" match found for \"a,b\""}));
}

TEST_F(StopListTest, UnquotedCommaSplitsAnEntryInTwo) {
  Read("a,b\r\n");
  EXPECT_EQ(StopListEntries(), (Strings{"a", "b"}));
  EXPECT_TRUE(IsInStopList("/x/b/"));
}

TEST_F(StopListTest, EmptyEntryStopsEverything) {
  Read("Thumbs\r\n\r\n");
  ui_.log_lines.clear();
  EXPECT_TRUE(IsInStopList("/photos/2005/"));
  EXPECT_EQ(ui_.log_lines, (Strings{"Stoplist: In \"/photos/2005/\" match found for \"\""}));
}

TEST_F(StopListTest, UnreadableFileIsLoggedAndGivesAnEmptyList) {
  Read("old\r\n");
  chmod((home_ / "etc/stoplist.txt").c_str(), 0);
  ui_.log_lines.clear();
  // In a child, which may give up root's right to read any file for good.
  EXPECT_EXIT(
      {
        if (!testing::DropReadAnyDirectory()) std::exit(2);
        ReadStopList();
        std::exit(StopListEntries().empty() &&
                          ui_.log_lines == Strings{"error while reading " + (home_ / "etc/stoplist.txt")}
                      ? 0
                      : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace snapcrate
