// Expands a typical picture page (every section of a picture page scheme with
// a full set of picture, chapter and navigation variables) many times and
// prints pages per second. The page is the Standard scheme's picture page from
// the source tree's etc/, or a built-in one like it when that is missing.
//
//   template_bench [pages]     default 100000
//   template_bench --print     writes one expanded page to standard output

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/program_state.h"
#include "app/schemes/scheme_reader.h"
#include "app/template/builtin_variables.h"
#include "app/ui_port.h"
#include "app/template/node_pool.h"
#include "app/template/page_sections.h"
#include "app/template/var_set.h"

namespace {

using namespace snapcrate;

const char* const kSections[][2] = {
    {"PageStart", "<!DOCTYPE html>\r\n<html lang=\"en\">"},
    {"HeadSection",
     "<head>\r\n<meta charset=\"utf-8\">\r\n"
     "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\r\n"
     "<title>$(CUR_TITLE_PRINT_SHORT) - $(CHAPTER_TITLE)</title>\r\n"
     "<link rel=\"stylesheet\" href=\"$(FILES[css])\">\r\n"
     "$$IFDEF$(CUR_PREVPAGE_LINK)$$THEN<link rel=\"prev\" href=\"$(CUR_PREVPAGE_LINK)\">$$ENDIF\r\n"
     "$$IFDEF$(CUR_NEXTPAGE_LINK)$$THEN<link rel=\"next\" href=\"$(CUR_NEXTPAGE_LINK)\">$$ENDIF\r\n"
     "</head>"},
    {"BodyStart", "<body class=\"picture\">"},
    {"HeaderSection",
     "<header>\r\n<nav>\r\n"
     "$$IFDEF$(CUR_PREVPAGE_LINK)$$THEN<a href=\"$(CUR_PREVPAGE_LINK)\" title=\"$(CUR_PREVTITLE)\">&larr;</a>$$ENDIF\r\n"
     "<a href=\"$(CUR_BACKINDEXPAGE_LINK)\">$(CUR_BACKINDEXTITLE)</a>\r\n"
     "$$IFDEF$(CUR_NEXTPAGE_LINK)$$THEN<a href=\"$(CUR_NEXTPAGE_LINK)\" title=\"$(CUR_NEXTTITLE)\">&rarr;</a>$$ENDIF\r\n"
     "</nav>\r\n<h1>$(PIC_TITLE)</h1>\r\n</header>"},
    {"MainSection",
     "<main>\r\n<figure>\r\n"
     "$$IFDEF$(PIC_ISORIGIMAGE)$$THEN<img src=\"$(PIC_ORIGFILENAME_LINK)\" alt=\"$(PIC_TITLE)\">$$ENDIF\r\n"
     "$$IFNDEF$(PIC_ISORIGIMAGE)$$THEN<img src=\"$(PIC_FULL_LINK)\" width=\"$(PIC_SCALEDWIDTH)\" "
     "height=\"$(PIC_SCALEDHEIGHT)\" alt=\"$(PIC_TITLE)\">$$ENDIF\r\n"
     "$$IFDEF$(PIC_DESC)$$THEN<figcaption>$$MULTILINE($(PIC_DESC))</figcaption>$$ENDIF\r\n"
     "</figure>\r\n<dl class=\"facts\">\r\n"
     "$$IFDEF$(PIC_DATE)$$THEN<dt>Date</dt><dd>$(PIC_DATE)</dd>$$ENDIF\r\n"
     "$$IFDEF$(PIC_EXIF_MODEL)$$THEN<dt>Camera</dt><dd>$(PIC_EXIF_MAKE) $(PIC_EXIF_MODEL)</dd>$$ENDIF\r\n"
     "$$IFDEF$(PIC_EXIF_EXPOSURE)$$THEN<dt>Exposure</dt><dd>$(PIC_EXIF_EXPOSURE) s, f/$(PIC_EXIF_FNUMBER), "
     "ISO $(PIC_EXIF_ISO), $(PIC_EXIF_FOCALLENGTH)</dd>$$ENDIF\r\n"
     "$$IFDEF$(PIC_QUALITY)$$THEN<dt>Rating</dt><dd>$(PIC_QUALITY) / $(PIC_ORIGINALITY)</dd>$$ENDIF\r\n"
     "<dt>Size</dt><dd>$(PIC_SCALEDWIDTH) &times; $(PIC_SCALEDHEIGHT), $(PIC_SCALEDSIZEKBYTES) KB</dd>\r\n"
     "</dl>\r\n"
     "$$IFDEF$(PIC_ADDLINK)$$THEN<p><a href=\"$(PIC_ADDLINK)\">$(PIC_ADDLINK_TARGETTYPE)</a></p>$$ENDIF\r\n"
     "</main>"},
    {"FooterSection",
     "<footer>$(PIC_INDEXNO) / $(CHAPTER_IMAGECOUNT) &middot; $(COPYRIGHT) &middot; "
     "$(GENDATE) $(VERSION)</footer>"},
    {"BodyEnd", "<script src=\"$(FILES[js])\"></script>\r\n</body>"},
    {"PageEnd", "</html>"},
};

void SetPictureValues(VarSet& page) {
  const std::pair<int, const char*> values[] = {
      {builtin::PIC_TITLE, "Sunset over the \"old\" harbour"},
      {builtin::PIC_DESC, "We walked down to the pier.<br>The light was perfect."},
      {builtin::CUR_TITLE_PRINT_SHORT, "Sunset over the \"old\" harbour"},
      {builtin::CHAPTER_TITLE, "Summer holidays 2007"},
      {builtin::CUR_PREVPAGE_LINK, "IMG_0041.jpg_pic.htm"},
      {builtin::CUR_PREVTITLE, "Beach (41/120)"},
      {builtin::CUR_NEXTPAGE_LINK, "IMG_0043.jpg_pic.htm"},
      {builtin::CUR_NEXTTITLE, "Boats (43/120)"},
      {builtin::CUR_BACKINDEXPAGE_LINK, "index_2.htm"},
      {builtin::CUR_BACKINDEXTITLE, "Index"},
      {builtin::PIC_FULL_LINK, "1024x768\\IMG_0042.jpg"},
      {builtin::PIC_ORIGFILENAME_LINK, "..\\..\\2007\\08\\IMG_0042.jpg"},
      {builtin::PIC_SCALEDWIDTH, "1024"},
      {builtin::PIC_SCALEDHEIGHT, "768"},
      {builtin::PIC_SCALEDSIZEKBYTES, "212"},
      {builtin::PIC_DATE, "12.08.2007&nbsp;&nbsp;19:42:10"},
      {builtin::PIC_EXIF_MAKE, "Canon"},
      {builtin::PIC_EXIF_MODEL, "Canon PowerShot A95"},
      {builtin::PIC_EXIF_EXPOSURE, "1/250"},
      {builtin::PIC_EXIF_FNUMBER, "4.0"},
      {builtin::PIC_EXIF_ISO, "100"},
      {builtin::PIC_EXIF_FOCALLENGTH, "7.8 mm"},
      {builtin::PIC_QUALITY, "2"},
      {builtin::PIC_ORIGINALITY, "3"},
      {builtin::PIC_INDEXNO, "42"},
      {builtin::PIC_FILENAME, "IMG_0042.jpg"},
      {builtin::PIC_THUMBNAIL_LINK, "160x160\\IMG_0042.jpg"},
      {builtin::CHAPTER_IMAGECOUNT, "120"},
  };
  for (const auto& [slot, value] : values) SetBuiltinVar(page, slot, value);
}

}  // namespace

int main(int argc, char** argv) {
  const bool print = argc > 1 && std::string(argv[1]) == "--print";
  const long pages = print ? 1 : argc > 1 ? std::atol(argv[1]) : 100000;
  InitNames();
  Program().home_dir = SNAPCRATE_SOURCE_DIR;
  Program().copyright = "&copy; 2007 Jane Doe";
  const PageSections* installed = nullptr;
  try {
    LoadSchemes();
    if (const int standard = FindSchemeByName("Standard"); standard > 0)
      for (const PageScheme& page : Schemes()[standard - 1].page_schemes)
        if (page.kind == kPagePicture && !installed) installed = &page.sections;
  } catch (const FatalEndError&) {
    installed = nullptr;
  }
  const int css = AddFileName("css");
  const int js = AddFileName("js");
  SetGlobalValues();

  PageSections built_in;
  if (!installed) {
    for (const auto& [name, text] : kSections)
      for (int i = 1; i <= kSectionSlots; ++i)
        if (Names().section[i] == name) built_in.text[i] = text;
    CompilePageSections(built_in);
  }
  const PageSections& sections = installed ? *installed : built_in;

  VarSet page;
  SetPictureValues(page);
  SetFileVar(page, css, "../_common_/standard.css");
  SetFileVar(page, js, "../_common_/standard.js");

  size_t bytes = 0;
  const auto start = std::chrono::steady_clock::now();
  for (long p = 0; p < pages; ++p) {
    std::string out;
    for (int i = 1; i <= kSectionSlots; ++i) out += ExpandSection(page, sections, i);
    bytes += out.size();
    if (print) std::fwrite(out.data(), 1, out.size(), stdout);
  }
  if (print) return 0;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%s: %ld picture pages (%zu bytes each) in %.3f s: %.0f pages/s\n",
              installed ? "Standard scheme picture page" : "built-in picture page", pages, bytes / static_cast<size_t>(pages > 0 ? pages : 1), seconds,
              pages / seconds);
  return 0;
}
