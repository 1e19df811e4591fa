#include "app/descriptions/dir_description.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/descriptions/description_store.h"
#include "app/file_lib.h"
#include "app/log.h"
#include "app/paths.h"
#include "app/program_state.h"

namespace snapcrate {
namespace {

constexpr std::string_view kTitle = "Title";
constexpr std::string_view kDescription = "Description";
constexpr std::string_view kImage = "Image";

struct StoredValues {
  std::string title;
  std::string description;
  std::string image;
};

StoredValues ReadValues(const LineStore& store) {
  StoredValues values;
  IniFileArrayReadMultipleKeys(store, {
                                          {std::string(kTitle), "", &values.title},
                                          {std::string(kDescription), "", &values.description},
                                          {std::string(kImage), "", &values.image},
                                      });
  return values;
}

std::string OldDescriptionPath(const std::string& directory) {
  return JoinPath(directory, kOldDirDescriptionName);
}

/// True when the older file holds a value, so deleting the current file would
/// bring the older texts back on the next read.
bool OldDescriptionHasValues(const std::string& directory) {
  const std::string old_path = OldDescriptionPath(directory);
  if (old_path == DirDescriptionPath(directory) || !FileExists(old_path)) return false;
  LineStore old_store(kDescriptionStoreCapacity);
  ReadLines(old_path, old_store);
  const StoredValues values = ReadValues(old_store);
  return !values.title.empty() || !values.description.empty() || !values.image.empty();
}

}  // namespace

std::string DirDescriptionPath(const std::string& directory) {
  return JoinPath(directory, Program().dir_dsc_name);
}

DirDescription ReadDirDescription(const std::string& directory, LineStore& store) {
  if (ReadLines(DirDescriptionPath(directory), store) < 1) ReadLines(OldDescriptionPath(directory), store);
  const StoredValues values = ReadValues(store);
  DirDescription result{
      .title = BrToLineBreaks(values.title),
      .description = BrToLineBreaks(values.description),
      .image = values.image,
  };
  std::replace(result.image.begin(), result.image.end(), '\\', '/');
  return result;
}

void WriteDirDescription(const std::string& directory, LineStore& store, const std::string& title,
                         const std::string& description) {
  const std::string path = DirDescriptionPath(directory);
  NormalizeSections(store, {kTitle, kDescription, kImage});
  const std::string image = ReadValues(store).image;
  const std::string stored_title = LineBreaksToBr(title);
  const std::string stored_description = LineBreaksToBr(description);
  if (stored_title.empty() && stored_description.empty() && image.empty() &&
      !OldDescriptionHasValues(directory)) {
    const int error = DeleteFile(path);
    if (error != 0 && error != ENOENT)
      LogMessage("Can't delete \"" + path + "\": " + std::strerror(error));
    ClearLines(store);
    return;
  }
  // With an older file beside it, cleared values are written out empty: they
  // must hide the older file's texts, which deleting would bring back.
  IniFileArrayWriteMultipleKeys(path, store,
                                {
                                    {std::string(kTitle), stored_title},
                                    {std::string(kDescription), stored_description},
                                    {std::string(kImage), image},
                                });
}

void SetDirIndexImage(const std::string& directory, LineStore& store, const std::string& relative_path) {
  NormalizeSections(store, {kImage});
  IniFileArrayWriteMultipleKeys(DirDescriptionPath(directory), store,
                                {{std::string(kImage), RemoveLineBreaks(relative_path)}});
}

std::string RelativeImagePath(const std::string& directory, const std::string& file_path) {
  std::string base = WithTrailingSlash(directory);
  std::string ups;
  // File names are case-sensitive here, so the prefix is compared exactly.
  while (!base.empty() && !std::string_view(file_path).starts_with(base)) {
    const std::string without_slash = StripTrailingBackslash(base);
    const size_t slash = without_slash.rfind('/');
    base = slash == std::string::npos ? std::string() : without_slash.substr(0, slash + 1);
    ups += "../";
  }
  return ups + file_path.substr(base.size());
}

}  // namespace snapcrate
