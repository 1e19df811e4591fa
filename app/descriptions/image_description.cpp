#include "app/descriptions/image_description.h"

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "app/descriptions/description_store.h"
#include "app/file_lib.h"
#include "app/log.h"
#include "app/paths.h"

namespace snapcrate {
namespace {

constexpr std::string_view kTitle = "Title";
constexpr std::string_view kDescription = "Description";
constexpr std::string_view kKeys = "Keys";
constexpr std::string_view kQuality = "Quality";
constexpr std::string_view kOriginality = "Originality";
constexpr std::string_view kRotation = "Rotation";
constexpr std::string_view kTakeDateFromFilename = "TakeDateFromFilename";
constexpr std::string_view kAddLink = "AddLink";

}  // namespace

bool ImageDescription::IsEmpty() const {
  return title.empty() && description.empty() && keys.empty() && quality.empty() &&
         originality.empty() && rotation.empty() && take_date_from_filename.empty() &&
         add_link.empty();
}

std::string ImageDescriptionPath(std::string_view picture_path) {
  std::string extension;
  return SplitExt(picture_path, extension) + ".dsc";
}

ImageDescription ReadImageDescription(const std::string& picture_path, LineStore& store) {
  ReadLines(ImageDescriptionPath(picture_path), store);
  ImageDescription values;
  IniFileArrayReadMultipleKeys(store, {
                                          {std::string(kTitle), "", &values.title},
                                          {std::string(kDescription), "", &values.description},
                                          {std::string(kKeys), "", &values.keys},
                                          {std::string(kQuality), "", &values.quality},
                                          {std::string(kOriginality), "", &values.originality},
                                          {std::string(kRotation), "", &values.rotation},
                                          {std::string(kTakeDateFromFilename), "",
                                           &values.take_date_from_filename},
                                          {std::string(kAddLink), "", &values.add_link},
                                      });
  return values;
}

void WriteImageDescription(const std::string& picture_path, LineStore& store,
                           const ImageDescription& values) {
  const std::string path = ImageDescriptionPath(picture_path);
  ImageDescription stored{
      .title = LineBreaksToBr(values.title),
      .description = LineBreaksToBr(values.description),
      .keys = LineBreaksToBr(values.keys),
      .quality = RemoveLineBreaks(values.quality),
      .originality = RemoveLineBreaks(values.originality),
      .rotation = RemoveLineBreaks(values.rotation),
      .take_date_from_filename = RemoveLineBreaks(values.take_date_from_filename),
      .add_link = RemoveLineBreaks(values.add_link),
  };
  if (stored.IsEmpty()) {
    const int error = DeleteFile(path);
    if (error != 0 && error != ENOENT)
      LogMessage("Can't delete \"" + path + "\": " + std::strerror(error));
    // Lines of the deleted file must not come back with the next write.
    ClearLines(store);
    return;
  }
  NormalizeSections(store, {kTitle, kDescription, kKeys, kQuality, kOriginality, kRotation,
                            kTakeDateFromFilename, kAddLink});
  IniFileArrayWriteMultipleKeys(path, store,
                                {
                                    {std::string(kTitle), stored.title},
                                    {std::string(kDescription), stored.description},
                                    {std::string(kKeys), stored.keys},
                                    {std::string(kQuality), stored.quality},
                                    {std::string(kOriginality), stored.originality},
                                    {std::string(kRotation), stored.rotation},
                                    {std::string(kTakeDateFromFilename), stored.take_date_from_filename},
                                    {std::string(kAddLink), stored.add_link},
                                });
}

}  // namespace snapcrate
