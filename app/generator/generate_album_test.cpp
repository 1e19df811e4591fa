#include "app/generator/generate_album.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>

#include "app/init.h"
#include "app/library_loader.h"
#include "app/program_state.h"
#include "app/schemes/album_config.h"
#include "app/text.h"
#include "tests/support/exif_writer/camera_exif.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::WriteFile;

// A scheme whose pages show the table structure as short markers, one per line.
constexpr const char* kMarkerIndex = R"([Name]
index
[PageStart]
PAGE $$IFDEF$(CHAPTER_CURSUBPAGEINDEX)$$THEN$(CHAPTER_CURSUBPAGEINDEX)/$(CHAPTER_MAXSUBPAGEINDEX)$$ENDIF
[MainSection]
PREV=$$IFDEF$(CUR_PREVPAGE_LINK)$$THEN$(CUR_PREVPAGE_LINK)|$(CUR_PREVTITLE)$$ENDIF
NEXT=$$IFDEF$(CUR_NEXTPAGE_LINK)$$THEN$(CUR_NEXTPAGE_LINK)|$(CUR_NEXTTITLE)$$ENDIF
UP=$$IFDEF$(CUR_BACKINDEXPAGE_LINK)$$THEN$(CUR_BACKINDEXPAGE_LINK)|$(CUR_BACKINDEXTITLE)$$ENDIF
[PicThumbnailTabStart]
[T
[PicThumbnailTabRowStart]
(
[PicThumbnailTabCell]
$(PIC_INDEXNO)
[PicThumbnailTabEmptyCell]
_
[PicThumbnailTabRowEnd]
)
[PicThumbailTabEnd]
T]
[SubChapterStart]
<S $(SUBCHAPTER_KEY)>
[SubChapterEnd]
</S>
[SectionBreak]
--
[LinkTabStart]
[L
[LinkTabRowStart]
(
[LinkTabCell]
$(CHAPTER_TITLE)
[LinkTabRowEnd]
)
[LinkTabEnd]
L]
)";

constexpr const char* kMarkerPicture = R"([Name]
pic
[MainSection]
PIC $(PIC_INDEXNO) FULL=$(PIC_FULL_LINK)
PREV=$$IFDEF$(CUR_PREVPAGE_LINK)$$THEN$(CUR_PREVPAGE_LINK)|$(CUR_PREVTITLE)$$ENDIF
NEXT=$$IFDEF$(CUR_NEXTPAGE_LINK)$$THEN$(CUR_NEXTPAGE_LINK)|$(CUR_NEXTTITLE)$$ENDIF
UP=$(CUR_BACKINDEXPAGE_LINK)
)";

class GenerateAlbumTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLibraryDir(SNAPCRATE_TEST_HOME);
    // The installation's schemes and a marker scheme of the test's own.
    fs::copy(fs::path(SNAPCRATE_SOURCE_DIR) / "etc", home_.path() + "etc", fs::copy_options::recursive);
    fs::remove(home_ / "etc/snapcrate.ini");
    WriteFile(home_ / "etc/scheme_marker/scheme.ini",
              "[Name]\r\nMarker\r\n[ShortName]\r\nMRK\r\n[Description]\r\nTable markers\r\n"
              "[PageSchemes]\r\nindex = index\r\npicture = pic\r\n");
    WriteFile(home_ / "etc/scheme_marker/index.ini", kMarkerIndex);
    WriteFile(home_ / "etc/scheme_marker/pic.ini", kMarkerPicture);
    UseMarkerConfig("3x2");
    Init({.home_override = home_.path()});
    Program().own_index_page_sub_nodes_threshold = 2;
  }
  void TearDown() override { SetLibraryDir(""); }

  void UseMarkerConfig(const std::string& thumbnails) {
    WriteFile(home_ / "etc/config_marker.ini",
              "[Name]\r\nMarker\r\n[Description]\r\nTest\r\n[IndexMainScheme]\r\nMarker\r\n[ScaledAlbumSchemes]\r\n"
              "Marker,64x48,16x16,2," + thumbnails + ",0x0,0,#000000,80\r\n");
  }
  const AlbumConfig& Config(const std::string& name) {
    LoadConfigs();
    for (const AlbumConfig& config : Configs())
      if (config.name == name) return config;
    ADD_FAILURE() << "no configuration " << name;
    return Configs().front();
  }
  void Picture(const std::string& relative, const std::string& date = "2007:05:06 14:30:00", int width = 96,
               int height = 64) {
    exif_writer::CameraExif exif;
    exif.make = "Canon";
    exif.date_time_original = date;
    fs::create_directories(fs::path(src_ / relative).parent_path());
    exif_writer::WriteFileBytes(src_ / relative, exif_writer::MakeCameraJpeg(exif, exif_writer::MakeGrayJpeg(width, height)));
  }
  void Title(const std::string& dir, const std::string& title) {
    WriteFile(src_ / dir + "/_snapcrate_.dsc", "[Title]\r\n" + title + "\r\n");
  }
  // The source tree generated into `destination` with `config`.
  GenerationResult GenerateInto(const std::string& destination, const AlbumConfig& config) {
    GenerationRequest request;
    request.source_path = src_.path();
    request.destination_path = destination;
    request.config = config;
    return GenerateAlbum(request);
  }
  bool Generate(const std::string& config_name) { return GenerateInto(dest_.path(), Config(config_name)).completed; }
  // The page's lines from the first table marker on, joined by blanks.
  std::string Lines(const std::string& page) {
    std::string text = ReplaceAll(ReadFile(dest_ / ("_snapcrate_/" + page)), "\r\n", " ");
    return Trim(text);
  }
  std::string Table(const std::string& page) {
    const std::string lines = Lines(page);
    const size_t start = lines.find("[T");
    const size_t end = lines.rfind("T]");
    return start == std::string::npos ? std::string() : lines.substr(start, end + 2 - start);
  }
  std::string Field(const std::string& page, const std::string& name) {
    std::smatch match;
    const std::string lines = Lines(page);
    return std::regex_search(lines, match, std::regex(name + "=(\\S*)")) ? match[1].str() : "<none>";
  }

  testing::RecordingUiPort ui_;
  testing::TempDir home_;
  testing::TempDir src_;
  testing::TempDir dest_;
};

TEST_F(GenerateAlbumTest, SevenPicturesThreePerRowTwoRowsMakeTwoSubpages) {
  for (int i = 1; i <= 7; ++i) Picture("a/IMG_000" + std::to_string(i) + ".jpg");
  Picture("b/IMG_0001.jpg");
  Title("a", "Alpha");
  Title("b", "Beta");
  ASSERT_TRUE(Generate("Marker"));
  EXPECT_EQ(ui_.log_lines.back(), "Successfull!");
  EXPECT_EQ(Table("a/index.htm"), "[T ( 1 2 3 ) ( 4 5 6 ) T]");
  EXPECT_EQ(Table("a/index_1.htm"), "[T ( 7 _ _ ) T]");
  EXPECT_FALSE(fs::exists(dest_ / "_snapcrate_/a/index_2.htm"));
  EXPECT_EQ(Field("a/index.htm", "NEXT"), "index_1.htm|(2/2)");
  EXPECT_EQ(Field("a/index_1.htm", "PREV"), "index.htm|(1/2)");
  EXPECT_EQ(Field("a/index_1.htm", "NEXT"), "../b/index.htm|Beta");
  EXPECT_EQ(Field("b/index.htm", "PREV"), "../a/index.htm|Alpha");
  EXPECT_EQ(Field("a/index.htm", "UP"), "../index.htm|Home");
  EXPECT_EQ(Field("index.htm", "UP"), "");
  // Picture pages: navigation within the chapter, back to the subpage that holds them.
  EXPECT_EQ(Field("a/IMG_0007.jpg_pic.htm", "UP"), "index_1.htm");
  EXPECT_EQ(Field("a/IMG_0001.jpg_pic.htm", "PREV"), "");
  EXPECT_EQ(Field("a/IMG_0002.jpg_pic.htm", "NEXT"), "IMG_0003.jpg_pic.htm|(3/7)");
  EXPECT_EQ(Field("a/IMG_0001.jpg_pic.htm", "FULL"), "_64x48_/IMG_0001.jpg");
  // The root's child chapters, two to a row.
  EXPECT_NE(Lines("index.htm").find("[L ( Alpha Beta ) L]"), std::string::npos);
}

TEST_F(GenerateAlbumTest, SubchapterAfterAPartialRowAndAfterAFullRow) {
  UseMarkerConfig("3x0");
  for (int i = 1; i <= 4; ++i) Picture("p/IMG_000" + std::to_string(i) + ".jpg");
  for (int i = 1; i <= 3; ++i) Picture("p/_sub/IMG_010" + std::to_string(i) + ".jpg");
  for (int i = 1; i <= 3; ++i) Picture("q/IMG_000" + std::to_string(i) + ".jpg");
  for (int i = 1; i <= 2; ++i) Picture("q/_sub/IMG_010" + std::to_string(i) + ".jpg");
  ASSERT_TRUE(Generate("Marker"));
  EXPECT_EQ(Table("p/index.htm"), "[T ( 1 2 3 ) ( 4 _ _ ) T] <S _sub> [T ( 5 6 7 ) T]");
  EXPECT_EQ(Table("q/index.htm"), "[T ( 1 2 3 ) T] <S _sub> [T ( 4 5 _ ) T]");
  // Pages of subchapter pictures lie flat in the chapter directory, with working links.
  EXPECT_EQ(Field("p/_sub_IMG_0101.jpg_pic.htm", "FULL"), "_64x48_/_sub/IMG_0101.jpg");
  EXPECT_TRUE(fs::exists(dest_ / "_snapcrate_/p/_64x48_/_sub/IMG_0101.jpg"));
  EXPECT_EQ(Field("p/IMG_0004.jpg_pic.htm", "NEXT"), "_sub_IMG_0101.jpg_pic.htm|(5/7)");
}

TEST_F(GenerateAlbumTest, SubpageStartingInsideASubchapterKeepsItsKey) {
  UseMarkerConfig("2x1");
  Picture("p/IMG_0001.jpg");
  for (int i = 1; i <= 4; ++i) Picture("p/_sub/IMG_010" + std::to_string(i) + ".jpg");
  ASSERT_TRUE(Generate("Marker"));
  EXPECT_EQ(Table("p/index.htm"), "[T ( 1 _ ) T]");
  EXPECT_EQ(Table("p/index_1.htm"), "[T ( 2 3 ) T]");
  EXPECT_EQ(Lines("p/index_1.htm").find("<S"), Lines("p/index_1.htm").find("<S _sub>"));
  EXPECT_EQ(Table("p/index_2.htm"), "[T ( 4 5 ) T]");
  EXPECT_EQ(Lines("p/index_2.htm").find("<S"), std::string::npos);
}

// Every relative href, src and srcset entry of every page of an album made
// with the installation's schemes points at a file that exists, and no page
// holds a template marker. Returns the number of srcset entries.
int CheckAlbumLinks(const std::string& album) {
  int pages = 0, srcset_entries = 0;
  for (const auto& entry : fs::recursive_directory_iterator(album)) {
    if (entry.path().extension() != ".htm") continue;
    ++pages;
    const std::string text = ReadFile(entry.path().string());
    EXPECT_EQ(text.find("{UNDEFINED("), std::string::npos) << entry.path();
    EXPECT_EQ(text.find("ERROR"), std::string::npos) << entry.path();
    static const std::regex link("(?:href|src)=\"([^\"#?]*)|srcset=\"(?:[^\"]*, )?([^\" ,]+) 2x");
    for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
      std::string target = (*it)[1].matched ? (*it)[1].str() : (*it)[2].str();
      srcset_entries += (*it)[2].matched;
      if (target.empty() || target.find(':') != std::string::npos) continue;
      std::string decoded;  // links are percent-encoded
      for (size_t i = 0; i < target.size(); ++i) {
        if (target[i] == '%' && i + 2 < target.size()) {
          decoded += static_cast<char>(std::stoi(target.substr(i + 1, 2), nullptr, 16));
          i += 2;
        } else {
          decoded += target[i];
        }
      }
      EXPECT_TRUE(fs::exists(entry.path().parent_path() / decoded)) << entry.path() << " -> " << target;
    }
  }
  EXPECT_GT(pages, 0);
  return srcset_entries;
}

// Every page is valid HTML: tidy reports no errors (warnings are allowed).
void CheckHtml(const std::string& album) {
  if (std::system("tidy -v >/dev/null 2>&1") != 0) {
    std::printf("tidy is not installed: HTML not checked (tools/setup.sh installs it)\n");
    return;
  }
  for (const auto& entry : fs::recursive_directory_iterator(album)) {
    if (entry.path().extension() != ".htm") continue;
    const std::string command = "tidy -e -q '" + ReplaceAll(entry.path().string(), "'", "'\\''") + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) < 2) << "tidy finds errors in " << entry.path();
  }
}

TEST_F(GenerateAlbumTest, EveryLinkOfTheInstalledSchemesResolves) {
  Picture("IMG_0001.jpg");
  Picture("2004 Summer/IMG_0101.jpg", "2004:07:01 10:00:00");
  Picture("2004 Summer/IMG_0102.jpg", "2004:07:02 11:00:00");
  Picture("2004 Summer/_harbour/IMG_0201.jpg");
  Picture("Travel/Rome/IMG_0301.jpg");
  Picture("Travel/Paris/IMG_0401.jpg");
  Picture("Travel/Paris/Ni\xc3\xa7" "e 'one'/IMG_0501.jpg");
  WriteFile(src_ / "2004 Summer/_snapcrate_.dsc", "[Title]\r\nSummer\r\n[Image]\r\nIMG_0102.jpg\r\n");
  WriteFile(src_ / "2004 Summer/IMG_0101.dsc", "[Title]\r\nA \"quoted\" <title>\r\n[AddLink]\r\nIMG_0102.jpg\r\n");
  Picture("2004 Summer/IMG_0103.jpg", "2004:07:03 12:00:00", 640, 480);  // large enough for a 2x thumbnail
  for (const AlbumConfig& config : (LoadConfigs(), Configs())) {
    if (config.name == "Marker") continue;
    SCOPED_TRACE(config.name);
    testing::TempDir dest;
    ASSERT_TRUE(GenerateInto(dest.path(), config).completed);
    EXPECT_GT(CheckAlbumLinks(dest.path()), 0);
    CheckHtml(dest.path());
  }
}

TEST_F(GenerateAlbumTest, SecondRunOverAnUnchangedTreeDecodesNothing) {
  for (int i = 1; i <= 3; ++i) Picture("a/IMG_000" + std::to_string(i) + ".jpg");
  ASSERT_TRUE(Generate("Marker"));
  std::map<std::string, std::pair<std::string, int64_t>> first;
  for (const auto& entry : fs::recursive_directory_iterator(dest_.path())) {
    if (!entry.is_regular_file()) continue;
    struct stat info;
    stat(entry.path().c_str(), &info);
    first[entry.path()] = {ReadFile(entry.path()), int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec};
  }
  ASSERT_TRUE(Generate("Marker"));
  for (const auto& [path, before] : first) {
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0) << path;
    EXPECT_EQ(ReadFile(path), before.first) << path;
    if (fs::path(path).extension() == ".jpg") {  // pictures are not written again
      EXPECT_EQ(int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec, before.second) << path;
    }
  }
}

// Pages are written over the last run's: one that comes out shorter keeps
// nothing of its longer predecessor.
TEST_F(GenerateAlbumTest, PageWrittenOverALongerOneIsCutToItsLength) {
  for (int i = 1; i <= 3; ++i) Picture("a/IMG_000" + std::to_string(i) + ".jpg");
  ASSERT_TRUE(Generate("Marker"));
  const std::string longer = ReadFile(dest_ / "_snapcrate_/a/index.htm");
  fs::remove(src_ / "a/IMG_0003.jpg");
  ASSERT_TRUE(Generate("Marker"));
  const std::string page = ReadFile(dest_ / "_snapcrate_/a/index.htm");
  EXPECT_LT(page.size(), longer.size());
  EXPECT_EQ(Table("a/index.htm"), "[T ( 1 2 ) T]");
  EXPECT_EQ(page.substr(page.size() - 2), "\r\n");
  EXPECT_EQ(page.find("T]"), page.rfind("T]")) << page;
}

TEST_F(GenerateAlbumTest, FailedFilesAreCountedAndLaterPagesStillWritten) {
  const std::string long_name = std::string(248, 'm') + ".jpg";  // its page's name is too long
  Picture("a/IMG_0001.jpg");
  Picture("a/" + long_name);
  Picture("a/z.jpg");
  WriteFile(src_ / "a/IMG_0002.jpg", "no picture at all");
  Picture("a/IMG_0003.jpg");
  const std::string whole = ReadFile(src_ / "a/IMG_0003.jpg");
  WriteFile(src_ / "a/IMG_0003.jpg", whole.substr(0, whole.size() - 40));  // cut off in its pixels
  const GenerationResult result = GenerateInto(dest_.path(), Config("Marker"));
  EXPECT_TRUE(result.completed);
  EXPECT_EQ(result.failed_files, 3);
  const std::string chapter = dest_ / "_snapcrate_/a/";
  EXPECT_TRUE(fs::exists(chapter + "z.jpg_pic.htm"));
  EXPECT_TRUE(fs::exists(chapter + "_16x16_/" + long_name));
  const auto logged = [&](const std::string& line) {
    return std::find(ui_.log_lines.begin(), ui_.log_lines.end(), line) != ui_.log_lines.end();
  };
  EXPECT_TRUE(logged("Can't write page " + chapter + long_name + "_pic.htm: File name too long"));
  EXPECT_TRUE(logged("PixCore_GetFileImageSize: Can't read " + (src_ / "a/IMG_0002.jpg")));
  ASSERT_GE(ui_.log_lines.size(), 2u);
  EXPECT_EQ(ui_.log_lines[ui_.log_lines.size() - 2], "Successfull!");
  EXPECT_EQ(ui_.log_lines.back(), "3 files failed!");
}

// Names of files and folders are text on every page of the installed
// schemes, also inside attributes: markup in a name neither opens an element
// nor ends the attribute it stands in.
TEST_F(GenerateAlbumTest, NamesWithMarkupStayTextInEveryScheme) {
  Picture("<i>\"f\"/<b>x\" & y.jpg");
  Picture("<i>\"f\"/IMG_0002.jpg");
  const std::regex img(R"re(<img[^>]*>)re");
  const std::regex whole(R"re(<img(\s+[a-z-]+="[^"<>]*")*\s*>)re");
  for (const AlbumConfig& config : (LoadConfigs(), Configs())) {
    if (config.name == "Marker") continue;
    SCOPED_TRACE(config.name);
    testing::TempDir dest;
    ASSERT_TRUE(GenerateInto(dest.path(), config).completed);
    bool alternative = false;
    for (const auto& entry : fs::recursive_directory_iterator(dest.path())) {
      if (entry.path().extension() != ".htm") continue;
      SCOPED_TRACE(entry.path().string());
      const std::string page = ReadFile(entry.path());
      EXPECT_EQ(page.find("<b>x"), std::string::npos);
      EXPECT_EQ(page.find("<i>"), std::string::npos);
      for (std::sregex_iterator it(page.begin(), page.end(), img), end; it != end; ++it)
        EXPECT_TRUE(std::regex_match(it->str(), whole)) << it->str();
      alternative = alternative || page.find(R"(alt="&lt;b&gt;x&quot; &amp; y.jpg")") != std::string::npos;
    }
    EXPECT_TRUE(alternative);
  }
}

// The schemes that print the configuration's description get it on every run.
TEST_F(GenerateAlbumTest, PagesShowTheConfigurationsDescription) {
  Picture("IMG_0001.jpg");
  // Its start page, where the choice of sizes is, prints it.
  const AlbumConfig& two_sizes = Config("Two sizes");
  ASSERT_FALSE(two_sizes.description.empty());
  ASSERT_TRUE(Generate("Two sizes"));
  int pages = 0;
  for (const auto& entry : fs::recursive_directory_iterator(dest_.path()))
    if (entry.path().extension() == ".htm") pages += ReadFile(entry.path()).find(two_sizes.description) != std::string::npos;
  EXPECT_GT(pages, 0);
}

TEST_F(GenerateAlbumTest, UnreadableFolderIsReportedOnceAndCounted) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  Picture("a/IMG_0001.jpg");
  Picture("b/IMG_0002.jpg");
  ASSERT_EQ(chmod((src_ / "b").c_str(), 0), 0);
  // In a child, which may give up root's rights for good.
  EXPECT_EXIT(
      {
        if (!testing::DropReadAnyDirectory()) std::exit(2);
        const GenerationResult result = GenerateInto(dest_.path(), Config("Marker"));
        const auto warnings = std::count(ui_.log_lines.begin(), ui_.log_lines.end(),
                                         "Warning: Directory '" + (src_ / "b/") + "' can't be read: Permission denied");
        std::exit(result.completed && result.unreadable_dirs == 1 && warnings == 1 &&
                          ui_.log_lines.back() == "1 folder could not be read!"
                      ? 0
                      : 1);
      },
      ::testing::ExitedWithCode(0), "");
  chmod((src_ / "b").c_str(), 0700);
}

// A killed run leaves copies and scaled pictures under their temporary names;
// the next run removes them, but not one that another run is still writing.
TEST_F(GenerateAlbumTest, NextRunRemovesTheUnfinishedFilesOfAKilledOne) {
  Picture("a/IMG_0001.jpg");
  ASSERT_TRUE(Generate("Marker"));
  const std::string chapter = dest_ / "_snapcrate_/a/";
  ASSERT_TRUE(fs::is_directory(chapter + "_64x48_"));
  const std::vector<std::string> leftovers = {dest_ / ".snapcrate-Ab12Cd.part", dest_ / "_snapcrate_/.snapcrate-x1y2z3.part",
                                              chapter + ".snapcrate-QwErTy.part", chapter + "_64x48_/.IMG_0001.jpg.4242-7.tmp",
                                              chapter + "_16x16_/.IMG_0001.jpg.4242-8.tmp"};
  const std::vector<std::string> kept = {chapter + "_64x48_/.IMG_0001.jpg.tmp", chapter + ".notes.1-2.txt"};
  const std::string busy = chapter + "_64x48_/.IMG_0001.jpg.99-0.tmp";
  for (const std::string& path : leftovers) WriteFile(path, "cut");
  for (const std::string& path : kept) WriteFile(path, "mine");
  WriteFile(busy, "still written");
  const int busy_fd = open(busy.c_str(), O_RDONLY);
  ASSERT_EQ(flock(busy_fd, LOCK_EX), 0);
  ui_.log_lines.clear();
  EXPECT_TRUE(Generate("Marker"));
  close(busy_fd);
  for (const std::string& path : leftovers) {
    EXPECT_FALSE(fs::exists(path)) << path;
    EXPECT_EQ(std::count(ui_.log_lines.begin(), ui_.log_lines.end(), "Removed the unfinished file " + path), 1) << path;
  }
  for (const std::string& path : kept) EXPECT_TRUE(fs::exists(path)) << path;
  EXPECT_EQ(ReadFile(busy), "still written");
}

TEST_F(GenerateAlbumTest, AbortEndsTheRunWithAborted) {
  for (int i = 1; i <= 3; ++i) Picture("a/IMG_000" + std::to_string(i) + ".jpg");
  ui_.abort_at_event = ui_.events_processed + 3;  // the first check after the progress window opened
  EXPECT_FALSE(Generate("Marker"));
  EXPECT_EQ(ui_.log_lines.back(), "Aborted!");
}

}  // namespace
}  // namespace snapcrate
