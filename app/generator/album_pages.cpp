#include "app/generator/album_pages.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <ctime>

#include "app/file_lib.h"
#include "app/generator/album_root.h"
#include "app/generator/chapter_info.h"
#include "app/generator/image_scaling.h"
#include "app/generator/link_helpers.h"
#include "app/generator/picture_workers.h"
#include "app/log.h"
#include "app/numeric.h"
#include "app/paths.h"
#include "app/pictures/image_library.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "app/schemes/size_codes.h"
#include "app/template/builtin_variables.h"
#include "app/text.h"

namespace snapcrate {
namespace {

using namespace builtin;

constexpr int kPageStart = 1, kHeadSection = 2, kBodyStart = 3, kHeaderSection = 4, kMainSection = 5,
              kSectionBreak = 6, kFooterSection = 7, kBodyEnd = 8, kPageEnd = 9, kLinkTabStart = 10,
              kLinkTabRowStart = 11, kLinkTabCell = 12, kLinkTabRowEnd = 13, kLinkTabEnd = 14,
              kThumbTabStart = 15, kThumbTabRowStart = 16, kThumbTabCell = 17, kThumbTabEmptyCell = 18,
              kThumbTabRowEnd = 19, kThumbTabEnd = 20, kSubChapterStart = 21, kSubChapterEnd = 22;

std::string Number(int64_t value) { return std::to_string(value); }

// Halves to the even neighbour, like every rounding the pages show.
int64_t RoundEven(double value) { return static_cast<int64_t>(std::nearbyint(value)); }

void SetOrClear(VarSet& set, int slot, const std::string& value) {
  if (value.empty()) ClearBuiltinVar(set, slot);
  else SetBuiltinVar(set, slot, value);
}

/// True when the page shows the original file (linked or copied unchanged),
/// which a browser turns by its EXIF orientation itself.
bool ShowsOriginal(const PictureRecord& picture, SizeBox box) {
  return IsLinkBox(box) || !IsScalingOfOrigImageNeeded(picture, box);
}

SizeBox FullBox(const ScaledAlbumScheme& entry) { return {entry.width, entry.height}; }
SizeBox ThumbnailBox(const ScaledAlbumScheme& entry) { return {entry.thumbnail_width, entry.thumbnail_height}; }

ScaledOutput OutputOf(const ScaledAlbumScheme& entry) {
  ScaledOutput output;
  output.full = FullBox(entry);
  output.thumbnail = ThumbnailBox(entry);
  output.exact_size = entry.exact_size;
  output.border_width = entry.border_width;
  output.border_height = entry.border_height;
  output.red = entry.red;
  output.green = entry.green;
  output.blue = entry.blue;
  output.quality = entry.quality;
  return output;
}

// "DD.MM.YYYY&nbsp;&nbsp;HH:MM:SS" from the summary's parts.
std::string ExifDate(const ExifInfo& info) {
  return info.Day + "." + info.Month + "." + info.Year + "&nbsp;&nbsp;" + info.Hour + ":" + info.Minute + ":" +
         info.Second;
}

// The value behind "=" of a dumped rational ("28/10=2.8" gives "2.8").
std::string RationalValue(const std::string& text) {
  const size_t equals = text.find('=');
  return equals == std::string::npos ? text : text.substr(equals + 1);
}

bool IsDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The picture's date from a name like "20040512_134501_IMG_0042.jpg".
std::string DateFromFileName(const std::string& file_name) {
  std::string directory, name, extension;
  SplitPath(file_name, directory, name);
  const std::string stem = StripNumberPrefix(SplitExt(name, extension));
  if (stem.size() < 15 || !IsDigits(stem.substr(0, 8)) || !IsDigits(stem.substr(9, 6))) return {};
  return stem.substr(6, 2) + "." + stem.substr(4, 2) + "." + stem.substr(0, 4) + "&nbsp;&nbsp;" + stem.substr(9, 2) +
         ":" + stem.substr(11, 2) + ":" + stem.substr(13, 2);
}

bool EndsWithNoCase(const std::string& text, std::string_view suffix) {
  return text.size() >= suffix.size() && EqualsNoCase(std::string_view(text).substr(text.size() - suffix.size()), suffix);
}

/// The link to the picture's thumbnail at twice the box in `output_dir`, which
/// `link_base` leads to from the page; empty when the picture has none or it
/// is not made yet, so a page never offers a missing file.
std::string Thumbnail2xLink(const std::string& output_dir, const std::string& link_base,
                            const PictureRecord& picture, SizeBox thumbnail) {
  if (!IsThumbnail2xNeeded(picture, thumbnail)) return "";
  const std::string name = GetThumbnail2xDirName(thumbnail) + "/" + GetOutputFileName(picture, thumbnail);
  return FileExists(output_dir + name) ? link_base + name : "";
}

}  // namespace

std::string PicturePageBaseName(const std::string& relative_file_name) {
  return ReplaceAll(relative_file_name, "/", "_");
}

ChapterPages::ChapterPages(const GenerationRequest& request, SortedOutList* sorted_out, int32_t& operations)
    : request_(request), sorted_out_(sorted_out), operations_(operations) {}

// ---------------------------------------------------------------- file names

std::string ChapterPages::IndexFileName(const Album& album, const PageScheme& page, int subpage) const {
  const AlbumConfig& config = request_.config;
  std::string name;
  if (config.scaled.size() == 1) {
    name = "index";
  } else {
    name = page.name;
    if (config.distinct_schemes > 1) name += "_" + album.scheme->short_name;
    name += "_" + Number(album.entry->width) + "x" + Number(album.entry->height);
  }
  if (subpage > 1) name += "_" + Number(subpage - 1);
  return name + Program().gen_html_ext;
}

std::string ChapterPages::PicturePageFileName(const Album& album, const PageScheme& page, size_t picture) const {
  std::string name = PicturePageBaseName(list_.pictures[picture].file_name) + "_" + page.name;
  if (request_.config.distinct_schemes > 1) name += "_" + album.scheme->short_name;
  return name + Program().gen_html_ext;
}

// The path from this chapter's output directory to another chapter's.
std::string ChapterPages::ChapterLink(const std::string& relative_path) const {
  const std::string target = album_root_ + relative_path;
  return GetRelativePath(chapter_.output_dir, WithTrailingSlash(target));
}

// ----------------------------------------------------------------- variables

bool ChapterPages::GenerateConditionHolds(const PageScheme& page) const {
  if (page.gen_if_defined > 0) return IsVarDefined(page_, kKindBuiltin, page.gen_if_defined);
  if (page.gen_if_not_defined > 0) return !IsVarDefined(page_, kKindBuiltin, page.gen_if_not_defined);
  return true;
}

void ChapterPages::SetCommonFileLinks(const PageScheme& page) {
  snapcrate::SetCommonFileLinks(page_, page.common_files, chapter_.output_dir, StripTrailingBackslash(album_root_));
}

void ChapterPages::SetSchemeVariables(const Album& album) {
  SetOrClear(page_, SCHEME_NAME, album.scheme->name);
  SetOrClear(page_, SCHEME_DESC, album.scheme->description);
}

void ChapterPages::SetScaledSchemeVariables(const Album& album) {
  const ScaledAlbumScheme& e = *album.entry;
  SetBuiltinVar(page_, SCALEDSCHEME_FULLPICWIDTH, FormatSizeCode(e.width, false));
  SetBuiltinVar(page_, SCALEDSCHEME_FULLPICHEIGHT, FormatSizeCode(e.height, false));
  SetBuiltinVar(page_, SCALEDSCHEME_THUMBNAILWIDTH, Number(e.thumbnail_width));
  SetBuiltinVar(page_, SCALEDSCHEME_THUMBNAILHEIGHT, Number(e.thumbnail_height));
  if (e.thumbnails_per_row >= 1) SetBuiltinVar(page_, SCALEDSCHEME_THUMBNAILSPERROW_PERCENT, Number(RoundEven(100.0 / e.thumbnails_per_row)));
  else ClearBuiltinVar(page_, SCALEDSCHEME_THUMBNAILSPERROW_PERCENT);
  if (e.links_per_row >= 1) SetBuiltinVar(page_, SCALEDSCHEME_LINKSPERROW_PERCENT, Number(RoundEven(100.0 / e.links_per_row)));
  else ClearBuiltinVar(page_, SCALEDSCHEME_LINKSPERROW_PERCENT);
}

// PAGES of the index-main and index pages of `album`'s scheme, as seen from
// the directory `prefix` leads to (empty: this chapter).
void ChapterPages::SetIndexPageNames(const Album& album, const std::string& prefix) {
  for (const PageScheme& page : album.scheme->page_schemes) {
    if (page.kind == kPageIndexMain) SetPageVar(page_, page.page_var, prefix + "index" + Program().gen_html_ext);
    else if (page.kind == kPageIndex) SetPageVar(page_, page.page_var, prefix + IndexFileName(album, page, 1));
  }
}

void ChapterPages::SetIndexMainPageNames(const Scheme& scheme) {
  for (const PageScheme& page : scheme.page_schemes) {
    if (page.kind == kPageIndexMain) SetPageVar(page_, page.page_var, "index" + Program().gen_html_ext);
  }
}

void ChapterPages::SetPicturePageNames(const Album& album, size_t picture) {
  for (const PageScheme& page : album.scheme->page_schemes) {
    if (page.kind != kPagePicture) continue;
    if (GenerateConditionHolds(page)) SetPageVar(page_, page.page_var, PicturePageFileName(album, page, picture));
    else ClearPageVar(page_, page.page_var);
  }
}

void ChapterPages::SetChapterVariables() {
  SetBuiltinVar(page_, CHAPTER_TITLE, title_);
  SetBuiltinVar(page_, CUR_TITLE_PRINT_SHORT, title_);
  SetOrClear(page_, CHAPTER_DESC, description_);
  SetOrClear(page_, CHAPTER_MAINFULLPICFILENAME, index_picture_);
  const size_t count = list_.pictures.size();
  SetOrClear(page_, CHAPTER_IMAGECOUNT, count > 0 ? Number(static_cast<int64_t>(count)) : std::string());

  const ExifInfo* first = nullptr;
  const ExifInfo* last = nullptr;
  for (const ExifInfo& info : exif_) {
    if (!info.DateValid) continue;
    if (!first) first = &info;
    last = &info;
  }
  if (first) {
    std::string range = ExifDate(*first) + "&nbsp;&nbsp;-&nbsp;&nbsp;";
    if (last->Day != first->Day || last->Month != first->Month || last->Year != first->Year)
      range += last->Day + "." + last->Month + "." + last->Year + "&nbsp;&nbsp;";
    range += last->Hour + ":" + last->Minute + ":" + last->Second;
    SetBuiltinVar(page_, CHAPTER_DATERANGE, range);
  } else {
    ClearBuiltinVar(page_, CHAPTER_DATERANGE);
  }
}

void ChapterPages::SetChapterMainPictureLinks(const Album& album) {
  ClearBuiltinVar(page_, CHAPTER_MAINFULLPIC_LINK);
  ClearBuiltinVar(page_, CHAPTER_MAINTHUMBNAIL_LINK);
  ClearBuiltinVar(page_, CHAPTER_MAINTHUMBNAIL2X_LINK);
  ClearBuiltinVar(page_, CHAPTER_MAINFULLPAGE_LINK);
  if (index_picture_.empty()) return;
  for (size_t i = 0; i < list_.pictures.size(); ++i) {
    const PictureRecord& picture = list_.pictures[i];
    if (picture.file_name != index_picture_) continue;
    const SizeBox full = FullBox(*album.entry), thumbnail = ThumbnailBox(*album.entry);
    SetBuiltinVar(page_, CHAPTER_MAINFULLPIC_LINK,
                  IsLinkBox(full) ? GetRelativePath(chapter_.output_dir, chapter_.source_dir + picture.file_name)
                                  : GetSizeDirName(full) + "/" + GetOutputFileName(picture, full));
    SetBuiltinVar(page_, CHAPTER_MAINTHUMBNAIL_LINK,
                  GetSizeDirName(thumbnail) + "/" + GetOutputFileName(picture, thumbnail));
    SetOrClear(page_, CHAPTER_MAINTHUMBNAIL2X_LINK, Thumbnail2xLink(chapter_.output_dir, "", picture, thumbnail));
    for (const PageScheme& page : album.scheme->page_schemes) {
      if (page.kind != kPagePicture) continue;
      SetBuiltinVar(page_, CHAPTER_MAINFULLPAGE_LINK, PicturePageFileName(album, page, i));
      break;
    }
    return;
  }
}

void ChapterPages::SetChapterArrays(const Album& album) {
  const SizeBox full = FullBox(*album.entry), thumbnail = ThumbnailBox(*album.entry);
  std::string full_names, thumbnail_names, widths, heights;
  for (const PictureRecord& picture : list_.pictures) {
    const std::string separator = full_names.empty() ? "" : ", ";
    const std::string full_link = IsLinkBox(full)
                                      ? GetRelativePath(chapter_.output_dir, chapter_.source_dir + picture.file_name)
                                      : GetSizeDirName(full) + "/" + GetOutputFileName(picture, full);
    full_names += separator + "\"" + full_link + "\"";
    thumbnail_names += separator + "\"" + GetSizeDirName(thumbnail) + "/" + GetOutputFileName(picture, thumbnail) + "\"";
    int32_t width = 0, height = 0;
    const std::string full_path = IsLinkBox(full) ? chapter_.source_dir + picture.file_name
                                                  : chapter_.output_dir + GetSizeDirName(full) + "/" +
                                                        GetOutputFileName(picture, full);
    PixCoreGetFileImageSize(-2, full_path, width, height);
    if (ShowsOriginal(picture, full)) UprightSize(picture, width, height);
    widths += separator + Number(width);
    heights += separator + Number(height);
  }
  if (list_.pictures.size() == 1) {
    widths += ", 0";
    heights += ", 0";
  }
  SetOrClear(page_, CHAPTER_FULLPICTUREFILENAME_ARRAY, full_names);
  SetOrClear(page_, CHAPTER_THUMBNAILFILENAME_ARRAY, thumbnail_names);
  SetOrClear(page_, CHAPTER_PICTUREWIDTH_ARRAY, widths);
  SetOrClear(page_, CHAPTER_PICTUREHEIGHT_ARRAY, heights);
}

void ChapterPages::SetPictureVariables(const Album& album, size_t i) {
  const PictureRecord& picture = list_.pictures[i];
  const ExifInfo& exif = exif_[i];
  const SizeBox full = FullBox(*album.entry), thumbnail = ThumbnailBox(*album.entry);
  const std::string source = chapter_.source_dir + picture.file_name;
  const std::string original_link = GetRelativePath(chapter_.output_dir, source);

  SetOrClear(page_, PIC_TITLE, picture.title);
  SetOrClear(page_, PIC_DESC, picture.description);
  SetBuiltinVar(page_, PIC_INDEXNO, Number(static_cast<int64_t>(i + 1)));
  // A file name is text: shown on pages and used as the text alternative.
  SetBuiltinVar(page_, PIC_FILENAME, EscapeHtmlText(GetOutputFileName(picture, full)));
  const std::string thumbnail_link = GetSizeDirName(thumbnail) + "/" + GetOutputFileName(picture, thumbnail);
  const std::string full_link = IsLinkBox(full) ? original_link : GetSizeDirName(full) + "/" + GetOutputFileName(picture, full);
  SetBuiltinVar(page_, PIC_THUMBNAIL_LINK, thumbnail_link);
  SetBuiltinVar(page_, PIC_FULL_LINK, full_link);
  SetBuiltinVar(page_, PIC_ORIGFILENAME_LINK, original_link);
  SetOrClear(page_, PIC_ISORIGIMAGE, IsLinkBox(full) || !IsScalingOfOrigImageNeeded(picture, full) ? "TRUE" : "");
  int32_t original_width = picture.width, original_height = picture.height;
  UprightSize(picture, original_width, original_height);
  SetOrClear(page_, PIC_ORIGWIDTH, original_width > 0 ? Number(original_width) : "");
  SetOrClear(page_, PIC_ORIGHEIGHT, original_height > 0 ? Number(original_height) : "");

  SetOrClear(page_, PIC_THUMBNAIL2X_LINK, Thumbnail2xLink(chapter_.output_dir, "", picture, thumbnail));

  int32_t width = 0, height = 0;
  if (PixCoreGetFileImageSize(-2, chapter_.output_dir + thumbnail_link, width, height) == 1) {
    if (ShowsOriginal(picture, thumbnail)) UprightSize(picture, width, height);
    SetBuiltinVar(page_, PIC_THUMBNAILWIDTH, Number(width));
    SetBuiltinVar(page_, PIC_THUMBNAILHEIGHT, Number(height));
  } else {
    ClearBuiltinVar(page_, PIC_THUMBNAILWIDTH);
    ClearBuiltinVar(page_, PIC_THUMBNAILHEIGHT);
  }
  const std::string full_path = IsLinkBox(full) ? source : chapter_.output_dir + full_link;
  FindRecord full_file;
  if (PixCoreGetFileImageSize(-2, full_path, width, height) == 1 && FindFile(full_path, full_file)) {
    if (ShowsOriginal(picture, full)) UprightSize(picture, width, height);
    SetBuiltinVar(page_, PIC_SCALEDWIDTH, Number(width));
    SetBuiltinVar(page_, PIC_SCALEDHEIGHT, Number(height));
    SetBuiltinVar(page_, PIC_SCALEDWIDTH66, Number(RoundEven(2.0 * width / 3.0)));
    SetBuiltinVar(page_, PIC_SCALEDHEIGHT66, Number(RoundEven(2.0 * height / 3.0)));
    SetBuiltinVar(page_, PIC_SCALEDSIZEBYTES, Number(static_cast<int64_t>(full_file.size)));
    SetBuiltinVar(page_, PIC_SCALEDSIZEKBYTES, Number(RoundEven((static_cast<double>(full_file.size) + 512) / 1024)));
    const std::time_t created = static_cast<std::time_t>(full_file.creation_time / 1'000'000'000);
    std::tm utc{};
    gmtime_r(&created, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d&nbsp;&nbsp;%02d:%02d:%02d", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    SetBuiltinVar(page_, PIC_SCALEDFILECREATIONDATE, text);
  } else {
    for (int slot : {PIC_SCALEDWIDTH, PIC_SCALEDHEIGHT, PIC_SCALEDWIDTH66, PIC_SCALEDHEIGHT66, PIC_SCALEDSIZEBYTES,
                     PIC_SCALEDSIZEKBYTES, PIC_SCALEDFILECREATIONDATE})
      ClearBuiltinVar(page_, slot);
  }
  SetOrClear(page_, PIC_ROTATION, picture.rotation != 0 ? Number(picture.rotation) : "");
  SetOrClear(page_, PIC_QUALITY, picture.quality > 0 ? Number(picture.quality) : "");
  SetOrClear(page_, PIC_ORIGINALITY, picture.originality > 0 ? Number(picture.originality) : "");

  if (picture.add_link.empty()) {
    ClearBuiltinVar(page_, PIC_ADDLINK);
    ClearBuiltinVar(page_, PIC_ADDLINK_TARGETTYPE);
  } else {
    std::string link = picture.add_link;
    // A link into the source tree is stored relative to the picture; pages live elsewhere.
    if (link.find("://") == std::string::npos && link.front() != '/') {
      std::string picture_dir, name;
      SplitPath(source, picture_dir, name);
      link = GetRelativePath(chapter_.output_dir, WithTrailingSlash(picture_dir) + ReplaceAll(link, "\\", "/"));
    }
    SetBuiltinVar(page_, PIC_ADDLINK, link);
    const bool movie = EndsWithNoCase(link, ".MPG") || EndsWithNoCase(link, ".AVI") || EndsWithNoCase(link, ".MOV");
    SetBuiltinVar(page_, PIC_ADDLINK_TARGETTYPE, movie ? "movie" : "doc");
  }

  if (exif.Valid) {
    SetBuiltinVar(page_, PIC_EXIF, "TRUE");
    SetOrClear(page_, PIC_EXIF_MAKE, exif.Make);
    SetOrClear(page_, PIC_EXIF_MODEL, exif.Model);
    SetOrClear(page_, PIC_EXIF_DATE, exif.DateValid ? ExifDate(exif) : "");
    SetOrClear(page_, PIC_EXIF_WIDTH, exif.Width);
    SetOrClear(page_, PIC_EXIF_HEIGHT, exif.Height);
    SetOrClear(page_, PIC_EXIF_EXPOSURE, exif.Exposure);
    SetOrClear(page_, PIC_EXIF_ISO, exif.ISO);
    SetOrClear(page_, PIC_EXIF_FNUMBER, RationalValue(exif.FNumber));
    SetOrClear(page_, PIC_EXIF_FLASH, exif.Flash);
    SetOrClear(page_, PIC_EXIF_FOCALLENGTH, exif.FocalLength.empty() ? "" : RationalValue(exif.FocalLength) + " mm");
  } else {
    for (int slot : {PIC_EXIF, PIC_EXIF_MAKE, PIC_EXIF_MODEL, PIC_EXIF_DATE, PIC_EXIF_WIDTH, PIC_EXIF_HEIGHT,
                     PIC_EXIF_EXPOSURE, PIC_EXIF_ISO, PIC_EXIF_FNUMBER, PIC_EXIF_FLASH, PIC_EXIF_FOCALLENGTH})
      ClearBuiltinVar(page_, slot);
  }
  if (IsVarDefined(page_, kKindBuiltin, PIC_EXIF_DATE)) SetBuiltinVar(page_, PIC_DATE, ExifDate(exif));
  else SetOrClear(page_, PIC_DATE, picture.take_date_from_filename ? DateFromFileName(picture.file_name) : "");
}

// ------------------------------------------------------------------- writing

std::string ChapterPages::Section(const PageScheme& page, int section) const {
  return ExpandSection(page_, page.sections, section);
}

bool ChapterPages::WritePage(const std::string& file_name, const std::string& text) {
  const std::string path = chapter_.output_dir + file_name;
  // Picture pages are written twice in a run; their failure counts and shows once.
  const auto failed = [&](const std::string& message) {
    if (failed_pages_.insert(path).second) LogMessage(message);
    return false;
  };
  // Never blocks on a pipe placed under a page's name. The page is written
  // over its last version and cut to length after: closing a file that was
  // truncated to nothing makes ext4 start writing it back there and then,
  // about half of what an unchanged album cost.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return failed("Can't write page " + path + ": " + std::strerror(errno));
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return failed("Can't write page " + path + ": not a regular file");
  }
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = write(fd, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) break;
    done += static_cast<size_t>(written);
  }
  const bool cut = done == text.size() && ftruncate(fd, static_cast<off_t>(done)) == 0;
  if (close(fd) != 0 || !cut) return failed("Error while writing " + path);
  return true;
}

void ChapterPages::WriteIndexMainPage() {
  const AlbumConfig& config = request_.config;
  ClearBuiltinVar(page_, CHAPTER_INDEXMAIN);
  const Scheme& scheme = Schemes()[static_cast<size_t>(config.main_scheme - 1)];
  bool has_index_main = false;
  for (const PageScheme& page : scheme.page_schemes) has_index_main = has_index_main || page.kind == kPageIndexMain;
  if (!has_index_main || config.scaled.size() <= 1) return;
  SetBuiltinVar(page_, CHAPTER_INDEXMAIN, "TRUE");
  for (const PageScheme& page : scheme.page_schemes) {
    if (page.kind != kPageIndexMain) continue;
    SetIndexMainPageNames(scheme);
    SetCommonFileLinks(page);
    std::string out;
    for (int s : {kPageStart, kHeadSection, kBodyStart, kHeaderSection, kMainSection, kLinkTabStart}) out += Section(page, s);
    for (const Album& album : albums_) {
      SetSchemeVariables(album);
      SetScaledSchemeVariables(album);
      SetIndexPageNames(album, "");
      for (int s : {kLinkTabRowStart, kLinkTabCell, kLinkTabRowEnd}) out += Section(page, s);
    }
    SetIndexMainPageNames(scheme);
    for (int s : {kLinkTabEnd, kFooterSection, kBodyEnd, kPageEnd}) out += Section(page, s);
    WritePage("index" + Program().gen_html_ext, out);
  }
}

void ChapterPages::AssignSubpages(Album& album) const {
  const size_t n = list_.pictures.size();
  album.subpage.assign(n, 1);
  int page = 1, row = 1, column = 0;
  const int per_row = album.entry->thumbnails_per_row;
  const int rows_per_page = album.entry->rows_per_page;
  size_t next_subchapter = 0;
  for (size_t i = 0; i < n; ++i) {
    const int position = static_cast<int>(i + 1);
    bool starts_subchapter = false;
    while (next_subchapter < list_.subchapters.size() && list_.subchapters[next_subchapter].first_position <= position) {
      starts_subchapter = list_.subchapters[next_subchapter].first_position == position;
      ++next_subchapter;
    }
    if (starts_subchapter && i > 0) {
      column = 1;
      ++row;
    } else if (++column > per_row) {
      column = 1;
      ++row;
    }
    if (rows_per_page > 0 && row > rows_per_page) {
      ++page;
      row = 1;
      column = 1;
    }
    album.subpage[i] = page;
  }
  album.subpages = n > 0 ? album.subpage.back() : 1;
}

bool ChapterPages::ThumbnailTable(const Album& album, const PageScheme& page, size_t first, size_t last,
                                  std::string& out) {
  if (IsSectionEmpty(page, kThumbTabRowStart) || IsSectionEmpty(page, kThumbTabCell) ||
      IsSectionEmpty(page, kThumbTabRowEnd)) {
    ClearBuiltinVar(page_, SUBCHAPTER_KEY);
    ClearBuiltinVar(page_, SUBCHAPTER_TITLE);
    return false;
  }
  const int per_row = album.entry->thumbnails_per_row;
  const auto starts_at = [&](size_t i) -> const Subchapter* {
    for (const Subchapter& sub : list_.subchapters)
      if (sub.first_position == static_cast<int>(i + 1)) return &sub;
    return nullptr;
  };
  const Subchapter* current = nullptr;
  for (const Subchapter& sub : list_.subchapters)
    if (sub.first_position <= static_cast<int>(first + 1)) current = &sub;
  if (current) {
    SetBuiltinVar(page_, SUBCHAPTER_KEY, current->dir_name);
    SetBuiltinVar(page_, SUBCHAPTER_TITLE, current->title);
  }
  bool open = false;
  int column = 0;
  for (size_t i = first; i <= last; ++i) {
    if (ProgressUpdateThrottled(operations_, chapter_.source_dir)) return true;
    if (const Subchapter* sub = starts_at(i)) {
      if (open && column > 0) {
        if (per_row != 0)
          for (; column < per_row; ++column) out += Section(page, kThumbTabEmptyCell);
        out += Section(page, kThumbTabRowEnd);
      }
      if (open) {
        out += Section(page, kThumbTabEnd);
        open = false;
      }
      if (current && current != sub) out += Section(page, kSubChapterEnd);
      current = sub;
      SetBuiltinVar(page_, SUBCHAPTER_KEY, sub->dir_name);
      SetBuiltinVar(page_, SUBCHAPTER_TITLE, sub->title);
      out += Section(page, kSubChapterStart);
      column = 0;
    }
    SetPictureVariables(album, i);
    SetPicturePageNames(album, i);
    if (!open) {
      out += Section(page, kThumbTabStart);
      open = true;
      column = 0;
    }
    if (column == 0) out += Section(page, kThumbTabRowStart);
    out += Section(page, kThumbTabCell);
    ++column;
    if (per_row != 0 && column == per_row) {
      out += Section(page, kThumbTabRowEnd);
      column = 0;
    }
  }
  if (column > 0) {
    if (per_row != 0 && static_cast<int>(list_.pictures.size()) > per_row)
      for (; column < per_row; ++column) out += Section(page, kThumbTabEmptyCell);
    out += Section(page, kThumbTabRowEnd);
  }
  if (open) out += Section(page, kThumbTabEnd);
  ClearBuiltinVar(page_, SUBCHAPTER_KEY);
  ClearBuiltinVar(page_, SUBCHAPTER_TITLE);
  return false;
}

void ChapterPages::LinkTable(const Album& album, const PageScheme& page, std::string& out) {
  out += Section(page, kLinkTabStart);
  if (!IsSectionEmpty(page, kLinkTabRowStart) && !IsSectionEmpty(page, kLinkTabCell) &&
      !IsSectionEmpty(page, kLinkTabRowEnd)) {
    const bool title_defined = IsVarDefined(page_, kKindBuiltin, CHAPTER_TITLE);
    const bool thumbnail_defined = IsVarDefined(page_, kKindBuiltin, CHAPTER_MAINTHUMBNAIL_LINK);
    const std::string saved_title = page_.builtin_values[CHAPTER_TITLE];
    const std::string saved_thumbnail = page_.builtin_values[CHAPTER_MAINTHUMBNAIL_LINK];
    const bool thumbnail2x_defined = IsVarDefined(page_, kKindBuiltin, CHAPTER_MAINTHUMBNAIL2X_LINK);
    const std::string saved_thumbnail2x = page_.builtin_values[CHAPTER_MAINTHUMBNAIL2X_LINK];
    const int per_row = album.entry->links_per_row;
    const SizeBox thumbnail = ThumbnailBox(*album.entry);
    int column = 0;
    for (const std::string& child : children_) {
      if (column == 0) out += Section(page, kLinkTabRowStart);
      const std::string child_source = request_.source_path + child + "/";
      const ChapterInfo info = ReadChapterInfo(child_source, child + "/");
      SetBuiltinVar(page_, CHAPTER_TITLE, info.title);
      const std::string child_link = ChapterLink(child + "/");
      SetIndexPageNames(album, child_link);
      SetBuiltinVar(page_, PIC_THUMBNAILWIDTH, Number(thumbnail.width));
      SetBuiltinVar(page_, PIC_THUMBNAILHEIGHT, Number(thumbnail.height));
      PictureRecord index_picture;
      if (!info.index_picture.empty() && ReadPictureRecord(child_source, info.index_picture, index_picture, {},
                                                                 request_.auto_orient)) {
        SetBuiltinVar(page_, PIC_FILENAME, EscapeHtmlText(info.index_picture));
        SetBuiltinVar(page_, CHAPTER_MAINTHUMBNAIL_LINK,
                      child_link + GetSizeDirName(thumbnail) + "/" + GetOutputFileName(index_picture, thumbnail));
        SetOrClear(page_, CHAPTER_MAINTHUMBNAIL2X_LINK,
                   Thumbnail2xLink(album_root_ + child + "/", child_link, index_picture, thumbnail));
        if (index_picture.quality >= request_.min_quality || index_picture.originality >= request_.min_originality)
          LogMessage("Warning: '" + child_source + info.index_picture + "' may not exist (rating too low!)");
      } else {
        ClearBuiltinVar(page_, PIC_FILENAME);
        ClearBuiltinVar(page_, CHAPTER_MAINTHUMBNAIL_LINK);
        ClearBuiltinVar(page_, CHAPTER_MAINTHUMBNAIL2X_LINK);
      }
      out += Section(page, kLinkTabCell);
      if (per_row != 0 && ++column == per_row) {
        out += Section(page, kLinkTabRowEnd);
        column = 0;
      }
    }
    if (column > 0) out += Section(page, kLinkTabRowEnd);
    if (title_defined) SetBuiltinVar(page_, CHAPTER_TITLE, saved_title);
    else ClearBuiltinVar(page_, CHAPTER_TITLE);
    if (thumbnail_defined) SetBuiltinVar(page_, CHAPTER_MAINTHUMBNAIL_LINK, saved_thumbnail);
    else ClearBuiltinVar(page_, CHAPTER_MAINTHUMBNAIL_LINK);
    if (thumbnail2x_defined) SetBuiltinVar(page_, CHAPTER_MAINTHUMBNAIL2X_LINK, saved_thumbnail2x);
    else ClearBuiltinVar(page_, CHAPTER_MAINTHUMBNAIL2X_LINK);
    SetIndexPageNames(album, "");
  }
  out += Section(page, kLinkTabEnd);
}

bool ChapterPages::WriteIndexPages(Album& album) {
  AssignSubpages(album);
  SetChapterVariables();
  SetScaledSchemeVariables(album);
  SetChapterMainPictureLinks(album);
  SetChapterArrays(album);
  SetIndexPageNames(album, "");

  // Targets beyond this chapter: the parent and the sibling chapters.
  std::string parent_link, parent_title, previous_link, previous_title, next_link, next_title;
  const bool is_root = chapter_.relative_path.empty();
  if (!is_root) {
    parent_link = ChapterLink(chapter_.parent_relative_path);
    parent_title = ReadChapterInfo(request_.source_path + chapter_.parent_relative_path,
                                   chapter_.parent_relative_path).title;
  }
  if (!chapter_.previous_sibling.empty()) {
    previous_link = ChapterLink(chapter_.previous_sibling + "/");
    previous_title = ReadChapterInfo(request_.source_path + chapter_.previous_sibling + "/",
                                     chapter_.previous_sibling + "/").title;
  }
  if (!chapter_.next_sibling.empty()) {
    next_link = ChapterLink(chapter_.next_sibling + "/");
    next_title =
        ReadChapterInfo(request_.source_path + chapter_.next_sibling + "/", chapter_.next_sibling + "/").title;
  }

  for (const PageScheme& page : album.scheme->page_schemes) {
    if (page.kind != kPageIndex) continue;
    const int n = album.subpages;
    if (n > 1) SetBuiltinVar(page_, CHAPTER_MAXSUBPAGEINDEX, Number(n));
    SetIndexPageNames(album, "");
    SetCommonFileLinks(page);
    // Index pages of the parent and of siblings, in this album's naming.
    const std::string own_index = IndexFileName(album, page, 1);
    if (is_root) {
      ClearBuiltinVar(page_, CUR_BACKINDEXPAGE_LINK);
      ClearBuiltinVar(page_, CUR_BACKINDEXTITLE);
    } else {
      SetBuiltinVar(page_, CUR_BACKINDEXPAGE_LINK, parent_link + own_index);
      SetBuiltinVar(page_, CUR_BACKINDEXTITLE, parent_title);
    }
    for (int s = 1; s <= n; ++s) {
      SetBuiltinVar(page_, CHAPTER_CURSUBPAGEINDEX, Number(s));
      if (s == 1) SetBuiltinVar(page_, CHAPTER_ISFIRSTSUBPAGE, "1");
      else ClearBuiltinVar(page_, CHAPTER_ISFIRSTSUBPAGE);
      if (s > 1) {
        SetBuiltinVar(page_, CUR_PREVPAGE_LINK, IndexFileName(album, page, s - 1));
        SetBuiltinVar(page_, CUR_PREVTITLE, "(" + Number(s - 1) + "/" + Number(n) + ")");
      } else if (!previous_link.empty()) {
        SetBuiltinVar(page_, CUR_PREVPAGE_LINK, previous_link + own_index);
        SetBuiltinVar(page_, CUR_PREVTITLE, previous_title);
      } else {
        ClearBuiltinVar(page_, CUR_PREVPAGE_LINK);
        ClearBuiltinVar(page_, CUR_PREVTITLE);
      }
      if (s < n) {
        SetBuiltinVar(page_, CUR_NEXTPAGE_LINK, IndexFileName(album, page, s + 1));
        SetBuiltinVar(page_, CUR_NEXTTITLE, "(" + Number(s + 1) + "/" + Number(n) + ")");
      } else if (!next_link.empty()) {
        SetBuiltinVar(page_, CUR_NEXTPAGE_LINK, next_link + own_index);
        SetBuiltinVar(page_, CUR_NEXTTITLE, next_title);
      } else {
        ClearBuiltinVar(page_, CUR_NEXTPAGE_LINK);
        ClearBuiltinVar(page_, CUR_NEXTTITLE);
      }
      std::string out;
      for (int section : {kPageStart, kHeadSection, kBodyStart, kHeaderSection, kMainSection}) out += Section(page, section);
      if (!list_.pictures.empty()) {
        size_t first = list_.pictures.size(), last = 0;
        for (size_t i = 0; i < list_.pictures.size(); ++i) {
          if (album.subpage[i] != s) continue;
          first = std::min(first, i);
          last = i;
        }
        if (first <= last && ThumbnailTable(album, page, first, last, out)) {
          WritePage(IndexFileName(album, page, s), out);
          return true;
        }
      }
      if (!children_.empty() && !list_.pictures.empty()) out += Section(page, kSectionBreak);
      if (s == 1 && !children_.empty()) LinkTable(album, page, out);
      for (int section : {kFooterSection, kBodyEnd, kPageEnd}) out += Section(page, section);
      // A page that cannot be written is logged; the later ones are still made.
      WritePage(IndexFileName(album, page, s), out);
    }
    ClearBuiltinVar(page_, CHAPTER_CURSUBPAGEINDEX);
    ClearBuiltinVar(page_, CHAPTER_MAXSUBPAGEINDEX);
    ClearBuiltinVar(page_, CHAPTER_ISFIRSTSUBPAGE);
  }
  return false;
}

bool ChapterPages::WritePicturePages(const Album& album, size_t album_number) {
  const size_t n = list_.pictures.size();
  auto navigation_title = [&](size_t i) {
    const PictureRecord& p = list_.pictures[i];
    std::string title = !p.title.empty() ? p.title : p.description;
    if (!title.empty()) title += " ";
    return title + "(" + Number(static_cast<int64_t>(i + 1)) + "/" + Number(static_cast<int64_t>(n)) + ")";
  };
  // Picture pages lead back to the album's first index page.
  const PageScheme* index_page = nullptr;
  for (const PageScheme& p : album.scheme->page_schemes)
    if (!index_page && p.kind == kPageIndex) index_page = &p;
  for (const PageScheme& page : album.scheme->page_schemes) {
    if (page.kind != kPagePicture) continue;
    for (size_t i = 0; i < n; ++i) {
      if (ProgressUpdateThrottled(operations_, chapter_.source_dir + " Page #" +
                                                   Number(static_cast<int64_t>((album_number - 1) * n + i + 1))))
        return true;
      SetIndexPageNames(album, "");
      SetPictureVariables(album, i);
      SetPicturePageNames(album, i);
      SetCommonFileLinks(page);
      SetBuiltinVar(page_, CUR_TITLE_PRINT_SHORT, list_.pictures[i].title);
      if (i > 0) {
        SetBuiltinVar(page_, CUR_PREVPAGE_LINK, PicturePageFileName(album, page, i - 1));
        SetBuiltinVar(page_, CUR_PREVTITLE, navigation_title(i - 1));
      } else {
        ClearBuiltinVar(page_, CUR_PREVPAGE_LINK);
        ClearBuiltinVar(page_, CUR_PREVTITLE);
      }
      if (i + 1 < n) {
        SetBuiltinVar(page_, CUR_NEXTPAGE_LINK, PicturePageFileName(album, page, i + 1));
        SetBuiltinVar(page_, CUR_NEXTTITLE, navigation_title(i + 1));
      } else {
        ClearBuiltinVar(page_, CUR_NEXTPAGE_LINK);
        ClearBuiltinVar(page_, CUR_NEXTTITLE);
      }
      if (index_page) SetBuiltinVar(page_, CUR_BACKINDEXPAGE_LINK, IndexFileName(album, *index_page, album.subpage[i]));
      else ClearBuiltinVar(page_, CUR_BACKINDEXPAGE_LINK);
      SetBuiltinVar(page_, CUR_BACKINDEXTITLE, "Index");
      if (!GenerateConditionHolds(page)) continue;
      std::string out;
      for (int section : {kPageStart, kHeadSection, kBodyStart, kHeaderSection, kMainSection, kFooterSection, kBodyEnd,
                          kPageEnd})
        out += Section(page, section);
      WritePage(PicturePageFileName(album, page, i), out);
    }
  }
  return false;
}

std::unique_ptr<PictureWorkers> ChapterPages::StartPictures() {
  outputs_.clear();
  for (const Album& album : albums_) {
    outputs_.push_back(OutputOf(*album.entry));
    CreateSizeDirs(chapter_.output_dir, outputs_.back(), list_.subchapters);
  }
  // The workers only read the list and the outputs, which stay as they are
  // until the chapter is done.
  const auto resize = [this](size_t i, int32_t& made, ResizeEffects& effects) {
    return ResizeImage(chapter_.source_dir, chapter_.output_dir, list_.pictures[i], outputs_, made, effects);
  };
  return std::make_unique<PictureWorkers>(list_.pictures.size(), PictureWorkerCount(), resize);
}

bool ChapterPages::FinishPictures(PictureWorkers& workers, int32_t& files_made) {
  const auto report = [&](size_t i, int32_t result) {
    ProgressCountAdvance();
    if (result != 1) ++failed_pictures_;
    if (result != 1)
      LogMessage("ResizeImage " + chapter_.source_dir + list_.pictures[i].file_name + " to " + chapter_.output_dir +
                 list_.pictures[i].file_name + ": Error " + Number(result));
  };
  return workers.Finish(report, files_made, operations_);
}

bool ChapterPages::Run(const ChapterRecord& chapter, std::vector<std::string> children) {
  chapter_ = chapter;
  children_ = std::move(children);
  std::sort(children_.begin(), children_.end());
  album_root_ = WithTrailingSlash(request_.destination_path + request_.root_dir_name);
  if (ProgressUpdate(++operations_, chapter_.source_dir)) return true;

  std::vector<std::string> names;
  if (ListPictures(chapter_.source_dir, names) == kListAborted) return true;
  list_ = {};
  const bool list_aborted = BuildPictureList(request_, chapter_, names, list_, sorted_out_);
  failed_pictures_ += list_.unreadable;
  if (list_aborted) return true;
  ProgressCountAdvance(static_cast<int64_t>(names.size() - list_.pictures.size()));  // left out or unreadable
  std::error_code error;
  std::filesystem::create_directories(chapter_.output_dir, error);
  // Copies and pictures cut short by an earlier kill are removed where this run writes.
  RemoveLeftoverTempFiles(chapter_.output_dir);

  albums_.clear();
  for (const ScaledAlbumScheme& entry : request_.config.scaled)
    albums_.push_back({&entry, &Schemes()[static_cast<size_t>(entry.scheme - 1)], {}, 1});
  // The pictures are scaled on other cores while this thread writes the pages
  // that come first; their log lines and progress still follow those pages.
  const std::unique_ptr<PictureWorkers> pictures = StartPictures();

  exif_.assign(list_.pictures.size(), ExifInfo{});
  for (size_t i = 0; i < list_.pictures.size(); ++i)
    GetExifInfo(chapter_.source_dir + list_.pictures[i].file_name, exif_[i]);

  const ChapterInfo info = ReadChapterInfo(chapter_.source_dir, chapter_.relative_path);
  title_ = info.title;
  description_ = info.description;
  index_picture_ = info.index_picture;

  for (Album& album : albums_) AssignSubpages(album);

  SetGlobalValues();
  ClearVarSet(page_);
  SetChapterVariables();
  SetIndexMainPageNames(Schemes()[static_cast<size_t>(request_.config.main_scheme - 1)]);
  SetBuiltinVar(page_, CHAPTER_DIRKEY, EscapeLinkKey(chapter_.name));
  WriteIndexMainPage();

  auto index_pages = [&] {
    for (Album& album : albums_) {
      SetSchemeVariables(album);
      if (WriteIndexPages(album)) return true;
    }
    return false;
  };
  if (index_pages()) return true;

  auto picture_pages = [&] {
    for (size_t k = 0; k < albums_.size(); ++k) {
      SetSchemeVariables(albums_[k]);
      SetScaledSchemeVariables(albums_[k]);
      if (WritePicturePages(albums_[k], k + 1)) return true;
    }
    return false;
  };
  if (picture_pages()) return true;
  int32_t files_made = 0;
  if (FinishPictures(*pictures, files_made)) return true;
  if (files_made > 0) {
    if (picture_pages()) return true;
    if (index_pages()) return true;
  }
  return false;
}

}  // namespace snapcrate
