#include "app/generator/picture_list.h"

#include <algorithm>

#include "app/descriptions/description_store.h"
#include "app/generator/chapter_info.h"
#include "app/import/stop_list.h"
#include "app/log.h"
#include "app/pictures/dir_listing.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "app/text.h"

namespace snapcrate {
namespace {

constexpr int32_t kNoPicture = -1;

bool IsDescriptionFile(std::string_view name) {
  return EqualsNoCase(name, Program().dir_dsc_name) || EqualsNoCase(name, kOldDirDescriptionName);
}

/// The generator's own output directory and the older program's are never
/// subchapters, even when an album was generated into its source tree.
bool IsGeneratorDir(std::string_view name) {
  return EqualsNoCase(name, Program().gen_html_root_dir) || EqualsNoCase(name, "_quillbox_");
}

/// Adds the pictures of subchapter directory `name`; false when aborted.
bool ListSubchapterPictures(const std::string& directory, const std::string& name,
                            std::vector<std::string>& names, const PictureProbe& probe) {
  const std::string sub_directory = directory + name + "/";
  // Like any directory, a subchapter the stop list names is left out.
  if (IsInStopList(sub_directory)) return true;
  std::vector<DirEntry> files;
  ListDirEntries(sub_directory, kFileEntries, files, kMaxDirEntries);
  for (size_t i = 0; i < files.size(); ++i) {
    if (ProgressUpdateThrottled(static_cast<int32_t>(i + 1), sub_directory)) return false;
    if (EqualsNoCase(files[i].name, kStopMarker)) break;
    if (static_cast<int>(names.size()) >= kMaxDirEntries) break;
    const std::string relative = name + "/" + files[i].name;
    if (!IsDescriptionFile(files[i].name) && probe.image_type(relative) != kNoPicture) names.push_back(relative);
  }
  return true;
}

/// A subchapter all of whose pictures were left out would head an empty row
/// and share its position with the next one: it is dropped.
void DropEmptyLastSubchapter(ChapterPictureList& list) {
  if (!list.subchapters.empty() &&
      list.subchapters.back().first_position > static_cast<int>(list.pictures.size()))
    list.subchapters.pop_back();
}

}  // namespace

int ListPictures(const std::string& directory, std::vector<std::string>& names, const PictureProbe& probe) {
  names.clear();
  std::vector<DirEntry> entries;
  if (ListDirEntries(directory, kFileEntries | kDirectoryEntries, entries, kMaxDirEntries) == 0) return 0;
  if (IsInStopList(directory)) return kListStopped;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (ProgressUpdateThrottled(static_cast<int32_t>(i + 1), directory)) return kListAborted;
    const std::string& name = entries[i].name;
    if (EqualsNoCase(name, kStopMarker)) break;
    if (IsDescriptionFile(name)) continue;
    if (!entries[i].is_directory) {
      if (static_cast<int>(names.size()) < kMaxDirEntries && probe.image_type(name) != kNoPicture)
        names.push_back("./" + name);
    } else if (name.starts_with('_') && !IsGeneratorDir(name)) {
      if (!ListSubchapterPictures(directory, name, names, probe)) return kListAborted;
    }
  }
  return static_cast<int>(names.size());
}

bool BuildPictureList(const GenerationRequest& request, const ChapterRecord& chapter,
                      std::vector<std::string> names, ChapterPictureList& list, SortedOutList* sorted_out,
                      const PictureProbe& probe) {
  list = ChapterPictureList{};
  // Byte order puts the chapter's own "./" names first, then each subchapter's
  // pictures together, subchapters in name order.
  std::sort(names.begin(), names.end());
  std::string current_subchapter;
  for (size_t i = 0; i < names.size(); ++i) {
    if (ProgressUpdateThrottled(static_cast<int32_t>(i + 1), chapter.source_dir + names[i])) {
      DropEmptyLastSubchapter(list);
      return true;
    }
    std::string relative = names[i];
    if (relative.starts_with("./")) relative.erase(0, 2);
    const size_t slash = relative.find('/');
    const std::string subchapter = slash == std::string::npos ? "" : relative.substr(0, slash);
    const std::string file_name = slash == std::string::npos ? relative : relative.substr(slash + 1);
    if (subchapter != current_subchapter) {
      current_subchapter = subchapter;
      if (!subchapter.empty()) {
        DropEmptyLastSubchapter(list);
        if (static_cast<int>(list.subchapters.size()) >= kMaxSubchapters) {
          LogMessage("Error: " + chapter.source_dir + subchapter + ": too many (>" +
                     std::to_string(kMaxSubchapters) + " )subchapters!");
          break;
        }
        const ChapterInfo info = ReadChapterInfo(chapter.source_dir + subchapter + "/", std::string(kUndefinedRelativePath));
        std::string title = info.title;
        if (!info.description.empty()) title += "\r\n" + info.description;
        list.subchapters.push_back({subchapter, title, static_cast<int>(list.pictures.size()) + 1});
      }
    }
    if (IsDescriptionFile(file_name)) continue;

    PictureRecord record;
    if (!ReadPictureRecord(chapter.source_dir, relative, record, probe, request.auto_orient)) ++list.unreadable;
    if (record.valid && record.quality < request.min_quality && record.originality < request.min_originality &&
        static_cast<int>(list.pictures.size()) < kMaxDirEntries) {
      list.pictures.push_back(std::move(record));
    } else if (sorted_out && sorted_out->IsOpen()) {
      const std::string directory = subchapter.empty() ? chapter.source_dir : chapter.source_dir + subchapter + "/";
      sorted_out->Add(directory, file_name, record.quality, record.originality);
    }
  }
  DropEmptyLastSubchapter(list);
  return false;
}

}  // namespace snapcrate
