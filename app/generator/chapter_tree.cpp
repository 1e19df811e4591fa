#include "app/generator/chapter_tree.h"

#include <sys/stat.h>

#include <algorithm>

#include "app/generator/picture_list.h"
#include "app/log.h"
#include "app/pictures/dir_listing.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "app/text.h"

namespace snapcrate {
namespace {

constexpr std::string_view kQuillboxDir = "_quillbox_";

bool ByteLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
}

}  // namespace

ChapterTreeWalk::ChapterTreeWalk(const GenerationRequest& request, ChapterRunner run_chapter, PictureProbe probe)
    : request_(request), run_chapter_(std::move(run_chapter)), probe_(std::move(probe)) {}

bool ChapterTreeWalk::ProcessChapterTree(const std::string& relative_path, const std::string& parent_relative_path,
                                         const std::string& previous_sibling, const std::string& next_sibling) {
  std::vector<std::string> children;
  if (CollectChapterDirs(relative_path, true, children)) return true;
  std::vector<std::string> names;
  const int count = ListPictures(request_.source_path + relative_path, names, probe_);
  if (count == kListAborted) return true;
  if (count == kListStopped) return false;
  return run_chapter_(
      MakeChapterRecord(request_, relative_path, parent_relative_path, previous_sibling, next_sibling), children);
}

bool ChapterTreeWalk::CollectChapterDirs(const std::string& relative_path, bool process,
                                         std::vector<std::string>& chapters) {
  const std::string directory = request_.source_path + relative_path;
  if (ProgressUpdateThrottled(1, directory)) return true;

  struct stat info;
  std::pair<unsigned long, unsigned long> id{0, 0};
  if (stat(directory.empty() ? "." : directory.c_str(), &info) == 0) id = {info.st_dev, info.st_ino};
  if (!walking_.insert(id).second) {
    LogMessage("Warning: " + directory + " leads back to a directory already being read - skipped!");
    return false;
  }
  struct Leave {
    std::set<std::pair<unsigned long, unsigned long>>& set;
    std::pair<unsigned long, unsigned long> id;
    ~Leave() { set.erase(id); }
  } leave{walking_, id};

  std::vector<DirEntry> entries;
  ListDirEntries(directory, kFileEntries | kDirectoryEntries, entries, kMaxDirEntries);
  struct Candidate {
    std::string name;
    int pictures;
  };
  std::vector<Candidate> candidates;
  for (const DirEntry& entry : entries) {
    if (!entry.is_directory) continue;
    std::vector<std::string> names;
    candidates.push_back({entry.name, ListPictures(directory + entry.name + "/", names, probe_)});
  }

  const int threshold = Program().own_index_page_sub_nodes_threshold;
  bool overflow = false;
  std::vector<std::string> found;
  std::vector<std::string>& list = process ? found : chapters;
  for (const Candidate& candidate : candidates) {
    if (candidate.pictures < 0) continue;
    const std::string child = relative_path + candidate.name;
    if (candidate.pictures == 0) {
      const std::string lower = AsciiLower(candidate.name);
      if (lower == Program().gen_html_root_dir || lower == kQuillboxDir) continue;
      // A directory without pictures of its own: its chapters appear at this
      // level, unless there are enough of them for an index page of its own.
      const size_t before = list.size();
      if (CollectChapterDirs(child + "/", false, list)) return true;
      if (static_cast<int>(list.size() - before) >= threshold) {
        list.resize(before);
        list.push_back(child);
      }
      continue;
    }
    if (candidate.name.front() == '_') continue;  // a subchapter of this chapter
    if (static_cast<int>(list.size()) < kMaxDirEntries) list.push_back(child);
    else overflow = true;
  }
  if (overflow)
    LogMessage("Warning: Below " + directory + " only the first " + std::to_string(kMaxDirEntries) +
               " directories will be read!");
  if (!process) return false;

  std::sort(found.begin(), found.end(), ByteLess);
  chapters.insert(chapters.end(), found.begin(), found.end());
  for (size_t k = 0; k < found.size(); ++k) {
    const std::string previous = k > 0 ? found[k - 1] : std::string();
    const std::string next = k + 1 < found.size() ? found[k + 1] : std::string();
    if (ProcessChapterTree(found[k] + "/", relative_path, previous, next)) return true;
  }
  return false;
}

}  // namespace snapcrate
