#include "app/generator/generate_album.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "app/generator/album_pages.h"
#include "app/generator/album_root.h"
#include "app/generator/chapter_tree.h"
#include "app/generator/picture_list.h"
#include "app/log.h"
#include "app/pictures/dir_listing.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "app/schemes/scheme_record.h"
#include "app/template/var_names.h"
#include "app/template/var_set.h"

namespace snapcrate {
namespace {

constexpr int kBelowNormal = 5;  // nice steps a run lowers its thread by

// Lowers the calling thread's priority for the run and restores it afterwards,
// as far as the system allows: an unprivileged thread that lowered itself may
// not raise itself again, so it is lowered only when it can come back.
class LowerPriority {
 public:
  LowerPriority() : thread_(static_cast<id_t>(syscall(SYS_gettid))) {
    errno = 0;
    old_ = getpriority(PRIO_PROCESS, thread_);
    if (errno != 0) return;
    struct rlimit limit;
    const bool can_restore =
        geteuid() == 0 || (getrlimit(RLIMIT_NICE, &limit) == 0 && (limit.rlim_cur == RLIM_INFINITY ||
                                                                   20 - static_cast<long>(limit.rlim_cur) <= old_));
    lowered_ = can_restore && setpriority(PRIO_PROCESS, thread_, old_ + kBelowNormal) == 0;
  }
  ~LowerPriority() {
    if (lowered_) setpriority(PRIO_PROCESS, thread_, old_);
  }

 private:
  id_t thread_;
  int old_ = 0;
  bool lowered_ = false;
};

}  // namespace

GenerationResult GenerateAlbum(const GenerationRequest& original) {
  GenerationRequest request = original;
  request.root_dir_name = Program().gen_html_root_dir;
  // Every page of the run may print it; an earlier run's must not linger.
  if (request.config.description.empty()) ClearGlobalVar(builtin::CONFIG_DESC);
  else SetGlobalVar(builtin::CONFIG_DESC, request.config.description);
  LogMessage("Generating HTML pages for path " + request.source_path + " to " + request.destination_path);
  std::error_code error;
  std::filesystem::create_directories(request.destination_path + request.root_dir_name, error);
  std::vector<std::string> scheme_dirs;
  const auto scheme_dir = [](int16_t number) { return Schemes()[static_cast<size_t>(number - 1)].dir; };
  scheme_dirs.push_back(scheme_dir(request.config.main_scheme));
  for (const ScaledAlbumScheme& entry : request.config.scaled) scheme_dirs.push_back(scheme_dir(entry.scheme));
  CopyAlbumRootFiles(request.destination_path, request.root_dir_name, scheme_dirs);

  bool aborted = false;
  int failed = 0;
  int unreadable = 0;
  {
    LowerPriority priority;
    int32_t operations = 0;
    ProgressShow(0, 0);
    ListingReportScope listing_reports;
    // The same walk once more, counting only, so the window can say "n of m".
    int64_t pictures = 0;
    ChapterTreeWalk count_walk(request, [&](const ChapterRecord& chapter, const std::vector<std::string>&) {
      std::vector<std::string> names;
      pictures += std::max(ListPictures(chapter.source_dir, names), 0);
      return false;
    });
    aborted = count_walk.ProcessChapterTree("", "", "", "");
    ProgressCountTotal(pictures);
    SortedOutList sorted_out;
    sorted_out.Open();
    ChapterPages pages(request, sorted_out.IsOpen() ? &sorted_out : nullptr, operations);
    ChapterTreeWalk walk(request, [&](const ChapterRecord& chapter, const std::vector<std::string>& children) {
      return pages.Run(chapter, children);
    });
    aborted = aborted || walk.ProcessChapterTree("", "", "", "");
    failed = pages.failed_files();
    unreadable = listing_reports.unreadable();
    sorted_out.Close();
    ProgressHide();
  }
  LogMessage(aborted ? "Aborted!" : "Successfull!");
  if (failed > 0) LogMessage(std::to_string(failed) + (failed == 1 ? " file" : " files") + " failed!");
  if (unreadable > 0)
    LogMessage(std::to_string(unreadable) + (unreadable == 1 ? " folder" : " folders") + " could not be read!");
  return {.completed = !aborted, .failed_files = failed, .unreadable_dirs = unreadable};
}

}  // namespace snapcrate
