#include "app/file_lib.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::ReadFile;
using testing::RecordingUiPort;
using testing::TempDir;
using testing::WriteFile;

std::string ReadKey(const LineStore& store, const std::string& key, const std::string& fallback = "<default>") {
  std::string value;
  IniFileArrayReadMultipleKeys(store, {{key, fallback, &value}});
  return value;
}

TEST(ReadLinesTest, MissingFileGivesMinusOneAndEmptyStore) {
  RecordingUiPort ui;
  TempDir dir;
  LineStore store(10);
  store[0] = "leftover";
  EXPECT_EQ(ReadLines(dir / "missing.ini", store), -1);
  EXPECT_EQ(store[0], "###");
  EXPECT_EQ(ReadKey(store, "GenHTMLExt"), "<default>");
}

TEST(ReadLinesTest, AcceptsEveryLineEndAndKeepsLinesAsRead) {
  RecordingUiPort ui;
  TempDir dir;
  WriteFile(dir / "a.ini", "  one \r\ntwo\nthree\rfour\r\n\r\nlast");
  LineStore store(20);
  ASSERT_EQ(ReadLines(dir / "a.ini", store), 6);
  EXPECT_EQ(store.Lines(), (std::vector<std::string>{"  one ", "two", "three", "four", "", "last"}));
}

TEST(ReadLinesTest, EndMarkerLineHidesTheRestAndRewriteDropsIt) {
  RecordingUiPort ui;
  TempDir dir;
  WriteFile(dir / "a.ini", "[A]\r\n1\r\n###\r\n[B]\r\n2\r\n");
  LineStore store(20);
  EXPECT_EQ(ReadLines(dir / "a.ini", store), 5);
  EXPECT_EQ(store.Count(), 2u);
  EXPECT_EQ(ReadKey(store, "B"), "<default>");
  IniFileArrayWriteMultipleKeys(dir / "a.ini", store, {{"A", "9"}});
  EXPECT_EQ(ReadFile(dir / "a.ini"), "[A]\r\n9\r\n");
}

TEST(ReadLinesTest, StoreKeepsCapacityMinusOneLines) {
  struct Case {
    int lines;
    int expected;
    bool logs_error;
  };
  for (const Case c : {Case{4, 4, false}, Case{5, 4, true}, Case{9, 4, true}}) {
    RecordingUiPort ui;
    TempDir dir;
    std::string text;
    for (int i = 0; i < c.lines; ++i) text += "line" + std::to_string(i) + "\r\n";
    WriteFile(dir / "a.txt", text);
    LineStore store(5);
    EXPECT_EQ(ReadLines(dir / "a.txt", store), c.expected) << c.lines;
    EXPECT_EQ(store[3], "line3");
    EXPECT_EQ(store[4], "###");
    const std::vector<std::string> expected_log =
        c.logs_error ? std::vector<std::string>{"Error while reading \"" + dir / "a.txt" + "\"!"}
                     : std::vector<std::string>{};
    EXPECT_EQ(ui.log_lines, expected_log) << c.lines;
  }
}

TEST(SectionedFormatTest, ReadsValuesByTheFormatRules) {
  RecordingUiPort ui;
  LineStore store(30);
  store.Assign({"loose line", "[GenHTMLExt]", ".html", "[Copyright]", "[Multi]", "", "first", "",
                "second", "", "[Twice]", "old", "[Twice]", "new", "[x]", "not a header: too short?",
                "[ Spaced ]", "value"});
  EXPECT_EQ(ReadKey(store, "GenHTMLExt"), ".html");
  EXPECT_EQ(ReadKey(store, "Copyright"), "");  // present but empty: not the default
  EXPECT_EQ(ReadKey(store, "Multi"), "first\r\n\r\nsecond\r\n");
  EXPECT_EQ(ReadKey(store, "Twice"), "new");
  EXPECT_EQ(ReadKey(store, "Spaced"), "<default>");
  EXPECT_EQ(ReadKey(store, " Spaced "), "value");
  EXPECT_EQ(ReadKey(store, "Missing"), "<default>");
}

TEST(SectionedFormatTest, WriteReplacesOnlyTheFirstValueLine) {
  RecordingUiPort ui;
  TempDir dir;
  LineStore store(30);
  store.Assign({"[Copyright]", "line one", "line two", "[Other]", "x"});
  IniFileArrayWriteMultipleKeys(dir / "s.ini", store, {{"Copyright", "new"}});
  EXPECT_EQ(ReadKey(store, "Copyright"), "new\r\nline two");
  EXPECT_EQ(ReadFile(dir / "s.ini"), "[Copyright]\r\nnew\r\nline two\r\n[Other]\r\nx\r\n");
}

TEST(SectionedFormatTest, HeaderAsLastLineGetsASecondCopy) {
  RecordingUiPort ui;
  TempDir dir;
  LineStore store(30);
  store.Assign({"[A]", "1", "[B]"});
  IniFileArrayWriteMultipleKeys(dir / "s.ini", store, {{"B", "2"}});
  EXPECT_EQ(store.Lines(), (std::vector<std::string>{"[A]", "1", "[B]", "[B]", "2"}));
  EXPECT_EQ(ReadKey(store, "B"), "2");
}

TEST(SectionedFormatTest, HeaderWithTrailingBlankIsNotTheSection) {
  RecordingUiPort ui;
  TempDir dir;
  LineStore store(30);
  store.Assign({"[ImportMediaFilesDestPath] ", "/old/"});
  IniFileArrayWriteMultipleKeys(dir / "s.ini", store, {{"ImportMediaFilesDestPath", "/new/"}});
  EXPECT_EQ(store.Lines(), (std::vector<std::string>{"[ImportMediaFilesDestPath] ", "/old/",
                                                     "[ImportMediaFilesDestPath]", "/new/"}));
}

TEST(SectionedFormatTest, MultiLineValueRoundTripsThroughTheFile) {
  RecordingUiPort ui;
  TempDir dir;
  LineStore store(30);
  IniFileArrayWriteMultipleKeys(dir / "s.ini", store, {{"Text", "a\r\nb"}, {"N", "5"}});
  LineStore reread(30);
  ASSERT_EQ(ReadLines(dir / "s.ini", reread), 5);
  EXPECT_EQ(ReadKey(reread, "Text"), "a\r\nb");
  EXPECT_EQ(ReadKey(reread, "N"), "5");
}

TEST(SectionedFormatTest, KeepsOldFileWhenRewriteFails) {
  // A file size limit makes the write fail halfway, as a full disk would, even for root.
  RecordingUiPort ui;
  TempDir dir;
  WriteFile(dir / "s.ini", "[A]\r\n1\r\n");
  LineStore store(30);
  ReadLines(dir / "s.ini", store);
  struct rlimit old_limit;
  getrlimit(RLIMIT_FSIZE, &old_limit);
  struct rlimit small_limit = old_limit;
  small_limit.rlim_cur = 16;
  signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small_limit);
  IniFileArrayWriteMultipleKeys(dir / "s.ini", store, {{"A", "2"}, {"Long", std::string(100, 'x')}});
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(ReadFile(dir / "s.ini"), "[A]\r\n1\r\n");
  EXPECT_EQ(ReadKey(store, "A"), "2");
  ASSERT_EQ(ui.log_lines.size(), 1u);
  EXPECT_EQ(ui.log_lines[0].rfind("Can't write \"" + dir / "s.ini" + "\": ", 0), 0u);
  EXPECT_EQ(std::filesystem::directory_iterator(dir.path())->path().filename(), "s.ini");  // no temp left

  // A name of 255 bytes, a description's beside the longest picture name, has a temporary name that fits.
  const std::string longest = dir / (std::string(251, 'd') + ".dsc");
  EXPECT_TRUE(WriteLines(longest, store));
  EXPECT_EQ(ReadFile(longest).substr(0, 8), "[A]\r\n2\r\n");
}

TEST(SectionedFormatTest, FullStoreRefusesANewKeyWithALogLine) {
  RecordingUiPort ui;
  TempDir dir;
  LineStore store(4);
  store.Assign({"[A]", "1"});
  IniFileArrayWriteMultipleKeys(dir / "s.ini", store, {{"B", "2"}});
  EXPECT_EQ(store.Lines(), (std::vector<std::string>{"[A]", "1"}));
  EXPECT_EQ(ui.log_lines.size(), 1u);
}

TEST(FindSectionLineTest, FindsExactHeaderOrEnds) {
  RecordingUiPort ui;
  LineStore store(10);
  store.Assign({"x", "[a]", "[A]"});
  EXPECT_EQ(FindSectionLine(store, "A", false), 2);
  EXPECT_EQ(FindSectionLine(store, "B", false), -1);
  try {
    FindSectionLine(store, "B", true);
    FAIL() << "a missing required section must end the program";
  } catch (const FatalEndError& e) {
    EXPECT_EQ(e.message, "Line [B] not found!");
  }
}

TEST(OpenTextFileTest, ReportsFailureAndWarnsAboutDoubleSeparators) {
  RecordingUiPort ui;
  TempDir dir;
  EXPECT_EQ(OpenForInput(dir / "none.txt"), nullptr);
  ASSERT_EQ(ui.log_lines.size(), 1u);
  EXPECT_EQ(ui.log_lines[0],
            "Can't open \"" + dir / "none.txt" + "\"\r\nNo such file or directory - Error No. 2");
  EXPECT_FALSE(FileExists(dir.path()));  // a directory is not a file
  WriteFile(dir / "f.txt", "x");
  EXPECT_TRUE(FileExists(dir.path() + "/f.txt"));
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"Warning: Bad filename '" + dir.path() + "/f.txt'"}));
}

TEST(OpenTextFileTest, APipeUnderATextFilesNameIsRefusedAtOnce) {
  TempDir dir;
  ASSERT_EQ(mkfifo((dir / "x.dsc").c_str(), 0600), 0);
  // Nobody writes to or reads from the pipe: in a child that a timer ends.
  EXPECT_EXIT(
      {
        alarm(20);
        RecordingUiPort ui;
        LineStore store(10);
        const bool refused = ReadLines(dir / "x.dsc", store) == -1 && OpenForOutput(dir / "x.dsc") == nullptr &&
                             OpenForAppend(dir / "x.dsc") == nullptr && ui.log_lines.size() == 3;
        std::exit(refused ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(OpenTextFileTest, AppendAddsToTheEnd) {
  RecordingUiPort ui;
  TempDir dir;
  { auto f = OpenForOutput(dir / "log.txt"); f->WriteLine("one"); }
  { auto f = OpenForAppend(dir / "log.txt"); f->WriteLine("two"); }
  EXPECT_EQ(ReadFile(dir / "log.txt"), "one\r\ntwo\r\n");
}

}  // namespace
}  // namespace snapcrate
