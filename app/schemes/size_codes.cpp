#include "app/schemes/size_codes.h"

#include <vector>

#include "app/numeric.h"
#include "app/text.h"
#include "app/schemes/scheme_record.h"

namespace snapcrate {

std::string FormatSizeCode(int16_t size, bool keyword) {
  if (size >= 1) return std::to_string(size);
  const char* name = size == kSizeOrigCopy ? "ORIGCOPY" : size == kSizeOrigLink ? "ORIGLINK" : "ORIGSIZE";
  return keyword ? std::string("$") + name : std::string(name);
}

int16_t ParseSizeCode(const std::string& text, bool keyword) {
  const std::string value = AsciiUpper(Trim(text));
  if (keyword) {
    if (value == "ORIGCOPY") return kSizeOrigCopy;
    if (value == "ORIGLINK") return kSizeOrigLink;
    if (value == "ORIGSIZE") return kSizeOrigSize;
  }
  if (value.size() >= 5) return 9999;
  const int16_t number = LeadingInt16(value);
  return number < 32 ? int16_t{32} : number;
}

std::pair<std::string, std::string> FormatOrigSizeLabels(int16_t width, int16_t height) {
  std::string width_label = width >= 1 ? std::to_string(width) : "Orig. Width";
  std::string height_label;
  switch (height) {
    case kSizeOrigCopy:
      height_label = "Orig. Height (Copy)";
      break;
    case kSizeOrigLink:
      height_label = "Orig. Height (Link)";
      break;
    case kSizeOrigSize:
      height_label = "Orig. Height";
      break;
    default:
      height_label = std::to_string(height);
  }
  return {width_label, height_label};
}

std::string ListSchemeSizes(const AlbumConfig& config) {
  const std::vector<Scheme>& schemes = Schemes();
  std::string text;
  bool first_scheme = true;
  for (size_t s = 0; s < schemes.size(); ++s) {
    std::vector<const ScaledAlbumScheme*> entries;
    for (const ScaledAlbumScheme& entry : config.scaled)
      if (entry.scheme == static_cast<int16_t>(s + 1)) entries.push_back(&entry);
    if (entries.empty()) continue;
    if (!first_scheme) text += "\r\n";
    first_scheme = false;
    text += schemes[s].short_name + ":";
    for (size_t i = 0; i < entries.size(); ++i) {
      const auto [width, height] = FormatOrigSizeLabels(entries[i]->width, entries[i]->height);
      if (i > 0) text += ", ";
      text += width + " x " + height;
    }
    text += " Pixel";
  }
  return text;
}

}  // namespace snapcrate
