#include "app/generator/picture_list.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/file_lib.h"
#include "app/generator/stand_in_probe.h"
#include "app/import/stop_list.h"
#include "app/library_loader.h"
#include "app/paths.h"
#include "app/pictures/dir_listing.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "app/text.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::ReadFile;
using testing::RecordingUiPort;
using testing::StandInProbe;
using testing::TempDir;
using testing::WriteFile;
using Strings = std::vector<std::string>;

// Bound before any test reaches the library: the binding looks it up once.
const bool kLibraryDirSet = (SetLibraryDir(SNAPCRATE_TEST_HOME), true);

std::string Description(std::string_view quality, std::string_view originality) {
  return "[Quality]\r\n" + std::string(quality) + "\r\n[Originality]\r\n" + std::string(originality) + "\r\n";
}

class PictureListTest : public ::testing::Test {
 protected:
  PictureListTest() : saved_(Program()) {
    Program().home_dir = home_.path();
    Program().dir_dsc_name = "_snapcrate_.dsc";
    Program().gen_html_root_dir = "_snapcrate_";
    request_.source_path = src_.path();
    request_.destination_path = "/album/";
    request_.root_dir_name = "_snapcrate_";
  }
  ~PictureListTest() override {
    Program().home_dir = saved_.home_dir;
    Program().dir_dsc_name = saved_.dir_dsc_name;
    Program().gen_html_root_dir = saved_.gen_html_root_dir;
    ClearStopList();
    ClearAbort();
  }

  Strings List(const std::string& directory, int expected_result) {
    Strings names;
    EXPECT_EQ(ListPictures(directory, names, StandInProbe()), expected_result) << directory;
    std::sort(names.begin(), names.end());
    return names;
  }
  bool Build(const std::string& relative_path) {
    chapter_ = MakeChapterRecord(request_, relative_path, "", "", "");
    Strings names;
    ListPictures(chapter_.source_dir, names, StandInProbe());
    return BuildPictureList(request_, chapter_, names, list_, sorted_out_.IsOpen() ? &sorted_out_ : nullptr,
                            StandInProbe());
  }
  Strings Pictures() const {
    Strings names;
    for (const PictureRecord& picture : list_.pictures) names.push_back(picture.file_name);
    return names;
  }
  void UseStopList(std::string_view contents) {
    WriteFile(home_ / "etc/stoplist.txt", contents);
    ReadStopList();
    ui_.log_lines.clear();
  }
  /// Lets the next throttled progress check through, whatever ran before.
  static void WaitForThrottle() { std::this_thread::sleep_for(std::chrono::milliseconds(600)); }

  ProgramState saved_;
  RecordingUiPort ui_;
  TempDir home_;
  TempDir src_;
  GenerationRequest request_;
  ChapterRecord chapter_;
  ChapterPictureList list_;
  SortedOutList sorted_out_;
};

TEST_F(PictureListTest, ListsOwnAndSubchapterPicturesButNothingElse) {
  for (const char* file : {"a.jpg", "b.JPG", "notes.txt", "a.dsc", "_snapcrate_.dsc", "_quillbox_.dsc",
                           "_extra/c.jpg", "_extra/c.dsc", "_extra/deeper/d.jpg", "plain/e.jpg",
                           "_snapcrate_/nav.png", "_Quillbox_/old.jpg", ".hidden.jpg"})
    WriteFile(src_ / file, "");
  EXPECT_EQ(List(src_.path(), 3), (Strings{"./a.jpg", "./b.JPG", "_extra/c.jpg"}));
  EXPECT_EQ(List(src_ / "empty-or-missing/", 0), Strings{});
  EXPECT_TRUE(ui_.log_lines.empty());
}

/// What ListPictures must give for `directory`: its entries in listing order up
/// to a stop marker, and likewise the files of its "_" subdirectories.
Strings PicturesBeforeTheMarker(const std::string& directory) {
  Strings expected;
  std::vector<DirEntry> entries;
  ListDirEntries(directory, kFileEntries | kDirectoryEntries, entries, 860);
  for (const DirEntry& entry : entries) {
    if (EqualsNoCase(entry.name, kStopMarker)) break;
    if (!entry.is_directory) {
      expected.push_back("./" + entry.name);
      continue;
    }
    std::vector<DirEntry> files;
    ListDirEntries(directory + entry.name + "/", kFileEntries, files, 860);
    for (const DirEntry& file : files) {
      if (EqualsNoCase(file.name, kStopMarker)) break;
      expected.push_back(entry.name + "/" + file.name);
    }
  }
  std::sort(expected.begin(), expected.end());
  return expected;
}

TEST_F(PictureListTest, StopMarkerInAnyLetterCaseEndsTheListingOfItsDirectory) {
  for (int i = 0; i < 20; ++i) WriteFile(src_ / ("p" + std::to_string(i) + ".jpg"), "");
  for (int i = 0; i < 20; ++i) WriteFile(src_ / ("_sub/s" + std::to_string(i) + ".jpg"), "");
  // The file system decides the order; take a spelling of the marker that does
  // not come first or last in it, so that pictures on both sides of it exist.
  const Strings spellings = {"STOP_SNAPCRATE", "stop_snapcrate", "Stop_Snapcrate", "stop_SNAPCRATE",
                             "STOP_snapcrate", "sTOP_SNAPCRATE", "StOp_SnApCrAtE", "stop_snapcratE"};
  for (const std::string& directory : {src_.path(), src_ / "_sub/"}) {
    bool checked = false;
    for (const std::string& marker : spellings) {
      WriteFile(directory + marker, "");
      std::vector<DirEntry> entries;
      ListDirEntries(directory, kFileEntries | kDirectoryEntries, entries, 860);
      const auto at = std::find_if(entries.begin(), entries.end(), [&](const DirEntry& e) { return e.name == marker; });
      if (at - entries.begin() > 1 && entries.end() - at > 2) {
        const Strings expected = PicturesBeforeTheMarker(src_.path());
        ASSERT_LT(expected.size(), 40u);
        EXPECT_EQ(List(src_.path(), static_cast<int>(expected.size())), expected) << marker << " in " << directory;
        checked = true;
      }
      std::remove((directory + marker).c_str());
      if (checked) break;
    }
    EXPECT_TRUE(checked) << "no spelling of the marker fell in the middle of " << directory;
  }
}

TEST_F(PictureListTest, DirectoryInTheStopListIsSkippedWithItsSubchapters) {
  for (const char* file : {"private/a.jpg", "open/b.jpg", "open/_private/c.jpg", "open/_extra/d.jpg"})
    WriteFile(src_ / file, "");
  UseStopList("private/\r\n");
  Strings names;
  EXPECT_EQ(ListPictures(src_ / "private/", names, StandInProbe()), kListStopped);
  EXPECT_EQ(ui_.log_lines, (Strings{"Stoplist: In \"" + src_.path() + "private/\" match found for \"private/\""}));
  EXPECT_EQ(List(src_ / "open/", 2), (Strings{"./b.jpg", "_extra/d.jpg"}));
}

TEST_F(PictureListTest, AbortEndsListingAndBuilding) {
  WriteFile(src_ / "a.jpg", "");
  RequestAbort();
  WaitForThrottle();
  Strings names;
  EXPECT_EQ(ListPictures(src_.path(), names, StandInProbe()), kListAborted);
  WaitForThrottle();
  chapter_ = MakeChapterRecord(request_, "", "", "", "");
  EXPECT_TRUE(BuildPictureList(request_, chapter_, {"./a.jpg"}, list_, nullptr, StandInProbe()));
  EXPECT_TRUE(list_.pictures.empty());
}

TEST_F(PictureListTest, SubchapterPicturesFollowTheChaptersOwnWithTheirTitles) {
  for (const char* file : {"b.jpg", "_more/d.jpg", "a.jpg", "_extra/c2.jpg", "_extra/c1.jpg"})
    WriteFile(src_ / file, "");
  WriteFile(src_ / "_extra/_snapcrate_.dsc", "[Title]\r\nExtra\r\n[Description]\r\nMore<br>pictures\r\n");
  WriteFile(src_ / "_more/_snapcrate_.dsc", "[Title]\r\nMore\r\n");
  EXPECT_FALSE(Build(""));
  EXPECT_EQ(Pictures(), (Strings{"a.jpg", "b.jpg", "_extra/c1.jpg", "_extra/c2.jpg", "_more/d.jpg"}));
  ASSERT_EQ(list_.subchapters.size(), 2u);
  EXPECT_EQ(list_.subchapters[0].dir_name, "_extra");
  EXPECT_EQ(list_.subchapters[0].title, "Extra\r\nMore\r\npictures");
  EXPECT_EQ(list_.subchapters[0].first_position, 3);
  EXPECT_EQ(list_.subchapters[1].dir_name, "_more");
  EXPECT_EQ(list_.subchapters[1].title, "More");
  EXPECT_EQ(list_.subchapters[1].first_position, 5);
}

TEST_F(PictureListTest, TwentyFirstSubchapterIsLeftOutWithAnError) {
  WriteFile(src_ / "trip/own.jpg", "");
  for (int i = 1; i <= 22; ++i) {
    const std::string name = (i < 10 ? "_s0" : "_s") + std::to_string(i);
    WriteFile(src_ / ("trip/" + name + "/x.jpg"), "");
  }
  EXPECT_FALSE(Build("trip/"));
  EXPECT_EQ(list_.subchapters.size(), 20u);
  EXPECT_EQ(list_.subchapters.back().dir_name, "_s20");
  EXPECT_EQ(list_.subchapters.back().first_position, 21);
  EXPECT_EQ(list_.pictures.size(), 21u);
  EXPECT_EQ(ui_.log_lines, (Strings{"Error: " + src_.path() + "trip/_s21: too many (>20 )subchapters!"}));
}

TEST_F(PictureListTest, RatingsFilterAgainstTheMinimalRatingsAndSortedOutPicturesAreListed) {
  TempDir temp;
  const char* saved_tmpdir = getenv("TMPDIR");
  const std::string saved = saved_tmpdir ? saved_tmpdir : "";
  setenv("TMPDIR", temp.path().c_str(), 1);

  WriteFile(src_ / "q6.jpg", "");
  WriteFile(src_ / "q6.dsc", Description("6", ""));
  WriteFile(src_ / "q5.jpg", "");
  WriteFile(src_ / "q5.dsc", Description("5", "6"));
  WriteFile(src_ / "unrated.jpg", "");
  WriteFile(src_ / "unreadable.jpg", "");
  WriteFile(src_ / "_sub/o6.jpg", "");
  WriteFile(src_ / "_sub/o6.dsc", Description("1", "6"));

  request_.min_quality = 6;
  request_.min_originality = kNoMinimalRating;
  ASSERT_TRUE(sorted_out_.Open());
  EXPECT_EQ(SortedOutList::Path(), temp / ("snapcrate-" + std::to_string(geteuid()) + "/snapcrate_sorted_out.txt"));
  EXPECT_FALSE(Build(""));
  EXPECT_EQ(Pictures(), (Strings{"q5.jpg", "unrated.jpg", "_sub/o6.jpg"}));

  request_.min_quality = kNoMinimalRating;
  request_.min_originality = 6;
  EXPECT_FALSE(Build(""));
  EXPECT_EQ(Pictures(), (Strings{"q6.jpg", "unrated.jpg"}));
  // A subchapter none of whose pictures is left has no entry.
  EXPECT_TRUE(list_.subchapters.empty());

  request_.min_originality = kNoMinimalRating;
  EXPECT_FALSE(Build(""));
  EXPECT_EQ(Pictures(), (Strings{"q5.jpg", "q6.jpg", "unrated.jpg", "_sub/o6.jpg"}));
  sorted_out_.Close();

  const std::string dir = src_.path();
  EXPECT_EQ(ReadFile(SortedOutList::Path()),
            "SORTED_OUT " + dir + " q6.jpg 6 0\r\n" + "SORTED_OUT " + dir + " unreadable.jpg 0 0\r\n" +
                "SORTED_OUT " + dir + " q5.jpg 5 6\r\n" + "SORTED_OUT " + dir + " unreadable.jpg 0 0\r\n" +
                "SORTED_OUT " + dir + "_sub/ o6.jpg 1 6\r\n" + "SORTED_OUT " + dir + " unreadable.jpg 0 0\r\n");
  if (saved_tmpdir) setenv("TMPDIR", saved.c_str(), 1);
  else unsetenv("TMPDIR");
}

TEST_F(PictureListTest, SortedOutListRefusesALinkOrAPipePlantedUnderItsName) {
  TempDir temp;
  const char* saved_tmpdir = getenv("TMPDIR");
  const std::string saved = saved_tmpdir ? saved_tmpdir : "";
  setenv("TMPDIR", temp.path().c_str(), 1);
  const std::string path = SortedOutList::Path();
  WriteFile(temp / "victim", "keep");
  ASSERT_EQ(symlink((temp / "victim").c_str(), path.c_str()), 0);
  EXPECT_FALSE(sorted_out_.Open());
  EXPECT_FALSE(sorted_out_.IsOpen());
  EXPECT_EQ(ReadFile(temp / "victim"), "keep");
  ASSERT_EQ(ui_.log_lines.size(), 1u);
  EXPECT_TRUE(ui_.log_lines[0].starts_with("Can't open \"" + path + "\"\r\n"));

  // A pipe nobody reads would hold the run for good: in a child that a timer ends.
  ASSERT_EQ(unlink(path.c_str()), 0);
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  EXPECT_EXIT(
      {
        alarm(20);
        RecordingUiPort ui;
        SortedOutList list;
        const bool refused = !list.Open() && ui.log_lines ==
                                                 Strings{"Can't open \"" + path + "\"\r\nnot a regular file"};
        std::exit(refused ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  if (saved_tmpdir) setenv("TMPDIR", saved.c_str(), 1);
  else unsetenv("TMPDIR");
}

TEST(ChapterRecordTest, PathsOfRootAndNestedChapters) {
  GenerationRequest request{.source_path = "/photos/", .destination_path = "/www/", .root_dir_name = "_snapcrate_"};
  const ChapterRecord root = MakeChapterRecord(request, "", "", "", "");
  EXPECT_EQ(root.source_dir, "/photos/");
  EXPECT_EQ(root.output_dir, "/www/_snapcrate_/");
  EXPECT_EQ(root.name, "");
  const ChapterRecord nested = MakeChapterRecord(request, "2005/01 Rome/", "2005/", "2005/00 Milan", "");
  EXPECT_EQ(nested.source_dir, "/photos/2005/01 Rome/");
  EXPECT_EQ(nested.output_dir, "/www/_snapcrate_/2005/01 Rome/");
  EXPECT_EQ(nested.name, "01 Rome");
  EXPECT_EQ(nested.parent_relative_path, "2005/");
  EXPECT_EQ(nested.previous_sibling, "2005/00 Milan");
}

// Real camera pictures, listed and sized through libpixcore.so.
TEST(PictureListLibraryTest, ListsAndSizesRealCameraPictures) {
  ASSERT_TRUE(kLibraryDirSet);
  const std::string samples = SNAPCRATE_SOURCE_DIR "../shared/testdata/exif-samples/";
  if (!FileExists(std::string(SNAPCRATE_TEST_HOME) + "libpixcore.so"))
    GTEST_SKIP() << "libpixcore.so is not built in " << SNAPCRATE_TEST_HOME;
  if (!IsDirectory(samples)) GTEST_SKIP() << "sample pictures not found at " << samples;
  const ProgramState saved = Program();
  Program().dir_dsc_name = "_snapcrate_.dsc";

  std::vector<std::string> names;
  const int count = ListPictures(samples, names);
  ASSERT_GT(count, 0);
  GenerationRequest request{.source_path = samples, .destination_path = "/nowhere/", .root_dir_name = "_snapcrate_"};
  ChapterPictureList list;
  EXPECT_FALSE(BuildPictureList(request, MakeChapterRecord(request, "", "", "", ""), names, list, nullptr));
  EXPECT_EQ(static_cast<int>(list.pictures.size()), count);
  for (const PictureRecord& picture : list.pictures) {
    EXPECT_GT(picture.width, 0) << picture.file_name;
    EXPECT_GT(picture.height, 0) << picture.file_name;
  }
  EXPECT_TRUE(std::is_sorted(list.pictures.begin(), list.pictures.end(),
                             [](const PictureRecord& a, const PictureRecord& b) { return a.file_name < b.file_name; }));
  Program().dir_dsc_name = saved.dir_dsc_name;
}

}  // namespace
}  // namespace snapcrate
