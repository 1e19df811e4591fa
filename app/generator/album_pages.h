#pragma once
// The pages of one chapter: the index-main page, the index pages of every
// scaled album with their thumbnail and chapter link tables, and one page per
// picture, each assembled from the sections of a page scheme.

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/exif/exif_info.h"
#include "app/generator/generation_request.h"
#include "app/generator/image_scaling.h"
#include "app/generator/picture_list.h"
#include "app/generator/sorted_out_list.h"
#include "app/schemes/album_config.h"
#include "app/schemes/scheme_record.h"
#include "app/template/var_set.h"

namespace snapcrate {

class PictureWorkers;

/// The file name of a picture's page: subchapter pictures get a flat name in
/// the chapter output directory ("_extra/a.jpg" gives "_extra_a.jpg").
std::string PicturePageBaseName(const std::string& relative_file_name);

class ChapterPages {
 public:
  /// `operations` is the run's progress counter.
  ChapterPages(const GenerationRequest& request, SortedOutList* sorted_out, int32_t& operations);

  /// Writes every page of `chapter`, whose child chapters (relative paths, no
  /// trailing "/") are `children`; true when the user aborted.
  bool Run(const ChapterRecord& chapter, std::vector<std::string> children);

  /// How many files of the chapters run so far failed: pictures that could
  /// not be read or made, and pages that could not be written.
  int failed_files() const { return failed_pictures_ + static_cast<int>(failed_pages_.size()); }

 private:
  struct Album {
    const ScaledAlbumScheme* entry;
    const Scheme* scheme;
    std::vector<int> subpage;  // per picture (0-based index), from 1
    int subpages = 1;
  };

  // File names.
  std::string IndexFileName(const Album& album, const PageScheme& page, int subpage) const;
  std::string PicturePageFileName(const Album& album, const PageScheme& page, size_t picture) const;
  std::string ChapterLink(const std::string& relative_path) const;

  // Variables.
  void SetChapterVariables();
  void SetScaledSchemeVariables(const Album& album);
  void SetSchemeVariables(const Album& album);
  void SetIndexPageNames(const Album& album, const std::string& prefix);
  void SetIndexMainPageNames(const Scheme& scheme);
  void SetChapterArrays(const Album& album);
  void SetChapterMainPictureLinks(const Album& album);
  void SetPictureVariables(const Album& album, size_t picture);
  void SetPicturePageNames(const Album& album, size_t picture);
  bool GenerateConditionHolds(const PageScheme& page) const;
  void SetCommonFileLinks(const PageScheme& page);

  // Writing.
  std::string Section(const PageScheme& page, int section) const;
  bool WritePage(const std::string& file_name, const std::string& text);
  void WriteIndexMainPage();
  bool WriteIndexPages(Album& album);
  bool ThumbnailTable(const Album& album, const PageScheme& page, size_t first, size_t last, std::string& out);
  void LinkTable(const Album& album, const PageScheme& page, std::string& out);
  bool WritePicturePages(const Album& album, size_t album_number);
  void AssignSubpages(Album& album) const;
  std::unique_ptr<PictureWorkers> StartPictures();
  bool FinishPictures(PictureWorkers& workers, int32_t& files_made);

  const GenerationRequest& request_;
  SortedOutList* sorted_out_;
  int32_t& operations_;

  ChapterRecord chapter_;
  std::vector<std::string> children_;
  ChapterPictureList list_;
  std::vector<ExifInfo> exif_;
  std::vector<Album> albums_;
  std::vector<ScaledOutput> outputs_;  // per album, for the picture workers
  std::string title_;
  std::string description_;
  std::string index_picture_;
  std::string album_root_;
  VarSet page_;
  int failed_pictures_ = 0;
  std::set<std::string> failed_pages_;  // paths
};

}  // namespace snapcrate
