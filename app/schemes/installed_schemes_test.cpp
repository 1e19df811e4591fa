// The schemes and configurations delivered in etc/: they load without a
// message, compile without a suspected error, and every kind of page they
// make passes tidy without a warning and holds no error or undefined marker,
// both with only the variables a page always has and with every variable set.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>

#include "app/schemes/codes_dump.h"
#include "app/schemes/scheme_reader.h"
#include "app/schemes/schemes_test_support.h"
#include "app/template/var_set.h"

namespace snapcrate {
namespace {

using testing::ReadFile;
using testing::SchemesTest;
using testing::TempDir;
using testing::WriteFile;

const std::string kEtc = std::string(SNAPCRATE_SOURCE_DIR) + "etc/";

class InstalledSchemesTest : public SchemesTest {
 protected:
  InstalledSchemesTest() { Program().home_dir = SNAPCRATE_SOURCE_DIR; }

  int CountEntries(const std::string& prefix, const std::string& suffix) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kEtc)) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with(prefix) && name.ends_with(suffix)) ++count;
    }
    return count;
  }
};

TEST_F(InstalledSchemesTest, LoadWithoutAnyMessage) {
  LoadSchemesAndConfigs();
  EXPECT_TRUE(ui_.messages.empty()) << ui_.messages.front();
  EXPECT_EQ(static_cast<int>(Schemes().size()), CountEntries("scheme_", ""));
  EXPECT_NE(FindSchemeByName("Standard"), 0);
  EXPECT_NE(FindSchemeByName("Dark Gallery"), 0);
  EXPECT_EQ(static_cast<int>(Configs().size()), CountEntries("config_", ".ini"));
  for (const AlbumConfig& config : Configs()) {
    EXPECT_FALSE(config.scaled.empty()) << config.key;
    EXPECT_EQ(config.distinct_schemes, 1) << config.key;
  }
  for (const Scheme& scheme : Schemes()) {
    ASSERT_EQ(scheme.page_schemes.size(), 3u) << scheme.name;
    for (const PageScheme& page : scheme.page_schemes) {
      for (const std::string& value : page.common_files) {
        if (value.empty()) continue;
        EXPECT_TRUE(std::filesystem::is_regular_file(scheme.dir + "/_common_/" + value))
            << scheme.name << ": " << value;
      }
    }
  }
}

TEST_F(InstalledSchemesTest, CodesDumpFindsNoSyntaxError) {
  Program().debug_level = 1;
  LoadSchemes();
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"\"" + CodesDumpPath() + "\" written!"});
}

// The variables a page of each kind always has, and the ones it may have.
struct PageVariables {
  std::vector<std::pair<int, std::string>> always;
  std::vector<std::pair<int, std::string>> optional;
};

void Set(VarSet& set, const std::vector<std::pair<int, std::string>>& values) {
  for (const auto& [slot, value] : values) SetBuiltinVar(set, slot, value);
}

const std::vector<std::pair<int, std::string>> kPageAlways = {
    {builtin::SCHEME_NAME, "Standard"},
    {builtin::SCHEME_DESC, "A \"nice\" scheme"},
    {builtin::PAGESCHEME_NAME, "index"},
    {builtin::CHAPTER_TITLE, "Holidays \"2007\" & more"},
    {builtin::CUR_TITLE_PRINT_SHORT, "Holidays \"2007\" in the mountains of the south"},
    {builtin::CHAPTER_DIRKEY, "Holidays%202007"},
    {builtin::CUR_ROOT_LINK, "..\\..\\"},
    {builtin::SCALEDSCHEME_FULLPICWIDTH, "1024"},
    {builtin::SCALEDSCHEME_FULLPICHEIGHT, "768"},
    {builtin::SCALEDSCHEME_THUMBNAILWIDTH, "160"},
    {builtin::SCALEDSCHEME_THUMBNAILHEIGHT, "160"},
    {builtin::SCALEDSCHEME_THUMBNAILSPERROW_PERCENT, "20"},
    {builtin::SCALEDSCHEME_LINKSPERROW_PERCENT, "25"},
};
const std::vector<std::pair<int, std::string>> kChapterOptional = {
    {builtin::CHAPTER_MAINTHUMBNAIL2X_LINK, "160x160_2x\\IMG_0001.jpg"},
    {builtin::CHAPTER_DESC, "Two weeks in the Alps.<br>Rain on most days."},
    {builtin::CHAPTER_DATERANGE, "06.05.2007&nbsp;&nbsp;10:00:00&nbsp;&nbsp;-&nbsp;&nbsp;12:00:00"},
    {builtin::CHAPTER_IMAGECOUNT, "42"},
    {builtin::CHAPTER_MAXSUBPAGEINDEX, "3"},
    {builtin::CHAPTER_MAINTHUMBNAIL_LINK, "160x160\\IMG_0001.jpg"},
    {builtin::CHAPTER_MAINFULLPIC_LINK, "1024x768\\IMG_0001.jpg"},
    {builtin::CUR_BACKINDEXPAGE_LINK, "..\\index.htm"},
    {builtin::CUR_BACKINDEXTITLE, "\"Home\" & away"},
    {builtin::CUR_PREVPAGE_LINK, "..\\Spring\\index.htm"},
    {builtin::CUR_PREVTITLE, "The \"old\" town (2/4)"},
    {builtin::CUR_NEXTPAGE_LINK, "index_1.htm"},
    {builtin::CUR_NEXTTITLE, "Cold morning.<br>Nobody \"else\" (4/4)"},
};
const std::vector<std::pair<int, std::string>> kPictureAlways = {
    {builtin::PIC_INDEXNO, "7"},
    {builtin::PIC_FULL_LINK, "1024x768\\IMG 0007.jpg"},
    {builtin::PIC_THUMBNAIL_LINK, "160x160\\IMG 0007.jpg"},
    {builtin::PIC_FILENAME, "IMG 0007.jpg"},
    {builtin::PIC_ORIGFILENAME_LINK, "..\\..\\2007\\IMG 0007.jpg"},
};
const std::vector<std::pair<int, std::string>> kPictureOptional = {
    {builtin::PIC_TITLE, "The \"big\" lake at dawn &amp; dusk"},
    {builtin::PIC_DESC, "Cold morning.<br>Nobody else there."},
    {builtin::PIC_THUMBNAIL2X_LINK, "160x160_2x\\IMG 0007.jpg"},
    {builtin::PIC_THUMBNAILWIDTH, "160"},
    {builtin::PIC_THUMBNAILHEIGHT, "107"},
    {builtin::PIC_SCALEDWIDTH, "1024"},
    {builtin::PIC_SCALEDHEIGHT, "683"},
    {builtin::PIC_SCALEDSIZEKBYTES, "201"},
    {builtin::PIC_SCALEDSIZEBYTES, "205824"},
    {builtin::PIC_ORIGWIDTH, "3072"},
    {builtin::PIC_ORIGHEIGHT, "2048"},
    {builtin::PIC_ISORIGIMAGE, "TRUE"},
    {builtin::PIC_QUALITY, "2"},
    {builtin::PIC_ORIGINALITY, "1"},
    {builtin::PIC_DATE, "06.05.2007&nbsp;&nbsp;10:12:13"},
    {builtin::PIC_ADDLINK, "..\\movies\\MVI 0008.AVI"},
    {builtin::PIC_ADDLINK_TARGETTYPE, "movie"},
    {builtin::PIC_EXIF, "Canon PowerShot A95, 1/250 s"},
    {builtin::PIC_EXIF_MAKE, "Canon"},
    {builtin::PIC_EXIF_MODEL, "Canon PowerShot A95"},
    {builtin::PIC_EXIF_DATE, "06.05.2007&nbsp;&nbsp;10:12:13"},
    {builtin::PIC_EXIF_EXPOSURE, "1/250 s"},
    {builtin::PIC_EXIF_ISO, "100"},
    {builtin::PIC_EXIF_FNUMBER, "f/4.0"},
    {builtin::PIC_EXIF_FLASH, "No"},
    {builtin::PIC_EXIF_FOCALLENGTH, "7.8 mm"},
};

// Writes pages the way the generator does: sections in their order, the
// thumbnail table with a sub-chapter, the link table, the album rows.
class PageWriter {
 public:
  PageWriter(const Scheme& scheme, bool full) : scheme_(scheme), full_(full) {}

  std::string Write(const PageScheme& page) {
    page_ = &page;
    set_ = VarSet{};
    Set(set_, kPageAlways);
    if (full_) Set(set_, kChapterOptional);
    if (full_ || page.kind == kPagePicture) SetBuiltinVar(set_, builtin::CHAPTER_IMAGECOUNT, "42");
    SetBuiltinVar(set_, builtin::CHAPTER_CURSUBPAGEINDEX, "1");
    SetBuiltinVar(set_, builtin::CHAPTER_ISFIRSTSUBPAGE, "1");
    for (size_t slot = 1; slot < page.common_files.size(); ++slot)
      if (!page.common_files[slot].empty())
        SetFileLinkVar(set_, static_cast<int>(slot), "..\\_common_\\" + page.common_files[slot]);
    for (const PageScheme& other : scheme_.page_schemes)
      if (other.kind != kPagePicture) SetPageVar(set_, other.page_var, other.name + "_x.htm");
    out_.clear();
    if (page.kind == kPagePicture) {
      Set(set_, kPictureAlways);
      SetBuiltinVar(set_, builtin::CUR_BACKINDEXPAGE_LINK, "index.htm");
      SetBuiltinVar(set_, builtin::CUR_BACKINDEXTITLE, "Index");
      if (full_) Set(set_, kPictureOptional);
      Sections({1, 2, 3, 4, 5, 7, 8, 9});
    } else if (page.kind == kPageIndex) {
      Sections({1, 2, 3, 4, 5});
      ThumbnailTable();
      Sections({6});
      LinkTable();
      Sections({7, 8, 9});
    } else {
      SetBuiltinVar(set_, builtin::CHAPTER_INDEXMAIN, "TRUE");
      Sections({1, 2, 3, 4, 5, 10});
      for (const char* size : {"800", "1600"}) {
        SetBuiltinVar(set_, builtin::SCALEDSCHEME_FULLPICWIDTH, size);
        Sections({11, 12, 13});
      }
      Sections({14, 7, 8, 9});
    }
    return out_;
  }

 private:
  void Sections(std::initializer_list<int> numbers) {
    for (int i : numbers) out_ += ExpandSection(set_, *page_, i);
  }
  void Picture(int i) {
    Set(set_, kPictureAlways);
    SetBuiltinVar(set_, builtin::PIC_INDEXNO, std::to_string(i));
    if (full_) Set(set_, kPictureOptional);
    for (const PageScheme& other : scheme_.page_schemes)
      if (other.kind == kPagePicture) SetPageVar(set_, other.page_var, "IMG 000" + std::to_string(i) + ".jpg_pic.htm");
  }
  // Five pictures, three to a row, a sub-chapter starting at the fourth.
  void ThumbnailTable() {
    Sections({15, 16});
    for (int i = 1; i <= 3; ++i) {
      Picture(i);
      Sections({17});
    }
    Sections({19, 20});
    SetBuiltinVar(set_, builtin::SUBCHAPTER_KEY, "_party");
    // A sub-chapter without a description file has an empty title.
    SetBuiltinVar(set_, builtin::SUBCHAPTER_TITLE, full_ ? "Party \"night\"\r\nwith friends" : "");
    Sections({21, 15, 16});
    for (int i = 4; i <= 5; ++i) {
      Picture(i);
      Sections({17});
    }
    Sections({18, 19, 20});
    ClearBuiltinVar(set_, builtin::SUBCHAPTER_KEY);
    ClearBuiltinVar(set_, builtin::SUBCHAPTER_TITLE);
  }
  // Three child chapters, two links to a row; the second has no index picture.
  void LinkTable() {
    Sections({10, 11});
    for (int i = 1; i <= 3; ++i) {
      SetBuiltinVar(set_, builtin::CHAPTER_TITLE, "Child " + std::to_string(i));
      for (const PageScheme& other : scheme_.page_schemes)
        if (other.kind == kPageIndex) SetPageVar(set_, other.page_var, "Child " + std::to_string(i) + "\\index.htm");
      if (i == 2 || !full_) {
        ClearBuiltinVar(set_, builtin::CHAPTER_MAINTHUMBNAIL_LINK);
        ClearBuiltinVar(set_, builtin::PIC_FILENAME);
      } else {
        SetBuiltinVar(set_, builtin::CHAPTER_MAINTHUMBNAIL_LINK, "Child\\160x160\\IMG_1.jpg");
        SetBuiltinVar(set_, builtin::PIC_FILENAME, "IMG_1.jpg");
      }
      Sections({12});
      if (i == 2) Sections({13, 11});
    }
    Sections({13, 14});
  }

  const Scheme& scheme_;
  bool full_;
  const PageScheme* page_ = nullptr;
  VarSet set_;
  std::string out_;
};

TEST_F(InstalledSchemesTest, EveryPageIsValidHtmlWithoutMarkers) {
  LoadSchemesAndConfigs();
  ASSERT_TRUE(ui_.messages.empty());
  Program().copyright = "&copy; 2007 Jane Doe<br>All rights reserved";
  SetGlobalValues();
  const bool have_tidy = std::system("tidy -v >/dev/null 2>&1") == 0;
  TempDir pages;
  int written = 0;
  for (const Scheme& scheme : Schemes()) {
    for (const PageScheme& page : scheme.page_schemes) {
      for (const bool full : {false, true}) {
        // User variables that a user may leave empty are empty in the plain run.
        if (full) SetGlobalVar(FindBuiltinIndex("$(STD_SITE_NAME)"), "Family \"album\"");
        else ClearGlobalVar(FindBuiltinIndex("$(STD_SITE_NAME)"));
        if (full) SetGlobalVar(builtin::CONFIG_DESC, "Two sizes");
        else ClearGlobalVar(builtin::CONFIG_DESC);
        const std::string html = PageWriter(scheme, full).Write(page);
        const std::string what = scheme.name + " " + page.name + (full ? " (all variables)" : " (plain)");
        EXPECT_EQ(html.find("{UNDEFINED("), std::string::npos) << what << "\n" << html;
        EXPECT_EQ(html.find("+++"), std::string::npos) << what << "\n" << html;
        EXPECT_TRUE(html.starts_with("<!DOCTYPE html>\r\n")) << what;
        EXPECT_TRUE(html.ends_with("</html>\r\n")) << what;
        const std::string path = pages / (std::to_string(++written) + ".htm");
        WriteFile(path, html);
        if (!have_tidy) continue;
        const std::string report = path + ".tidy";
        const int status = std::system(("tidy -e -q '" + path + "' 2>'" + report + "'").c_str());
        // 0: clean, 1: warnings only, 2: errors. Warnings count too: a quote
        // that ends an attribute early is only a warning. The one exception
        // is img's loading attribute, which this tidy predates.
        const std::string warnings = ReadFile(report);
        std::istringstream lines(warnings);
        std::string line, unexpected;
        while (std::getline(lines, line))
          if (!line.empty() && line.find("proprietary attribute \"loading\"") == std::string::npos) unexpected += line + "\n";
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1 && unexpected.empty()) << what << "\n" << warnings;
      }
    }
  }
  EXPECT_EQ(written, 12);
  if (!have_tidy) GTEST_SKIP() << "tidy is not installed: pages were checked for markers only";
}

}  // namespace
}  // namespace snapcrate
