#pragma once
// Listing a chapter directory's pictures and building its sorted, filtered
// picture list with its subchapters.

#include <string>
#include <vector>

#include "app/generator/generation_request.h"
#include "app/generator/picture_record.h"
#include "app/generator/sorted_out_list.h"
#include "app/pictures/picture_probe.h"

namespace snapcrate {

inline constexpr int kMaxSubchapters = 20;
/// An entry of this name, in any letter case, ends the listing of its directory.
inline constexpr std::string_view kStopMarker = "STOP_SNAPCRATE";

/// ListPictures' answer for a directory the stop list excludes.
inline constexpr int kListStopped = -1;
/// ListPictures' answer when the user aborted.
inline constexpr int kListAborted = -2;

/// A directory starting with "_" whose pictures belong to its parent chapter.
struct Subchapter {
  std::string dir_name;
  std::string title;   // title, and CR LF + description when there is one
  int first_position;  // list position (from 1) of its first picture
};

struct ChapterPictureList {
  std::vector<PictureRecord> pictures;  // accepted, in output order; at most 860
  std::vector<Subchapter> subchapters;  // at most 20, each with at least one picture
  int unreadable = 0;                   // listed pictures whose size could not be read
};

/// Lists the pictures of `directory` (ending in "/") into `names`: "./" + name
/// for its own, "_sub/" + name for those of its subchapter directories. Returns
/// the count, kListStopped or kListAborted.
int ListPictures(const std::string& directory, std::vector<std::string>& names, const PictureProbe& probe = {});

/// Sorts the listed names, reads each picture's record and keeps those whose
/// size is known and whose ratings lie below the request's minimal ratings; the
/// others go to `sorted_out` when it is open. Returns true when aborted.
bool BuildPictureList(const GenerationRequest& request, const ChapterRecord& chapter,
                      std::vector<std::string> names, ChapterPictureList& list, SortedOutList* sorted_out,
                      const PictureProbe& probe = {});

}  // namespace snapcrate
