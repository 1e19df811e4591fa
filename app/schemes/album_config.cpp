#include "app/schemes/album_config.h"

#include <algorithm>

#include "app/file_lib.h"
#include "app/numeric.h"
#include "app/program_state.h"
#include "app/text.h"
#include "app/ui_port.h"
#include "app/schemes/etc_entries.h"
#include "app/schemes/scheme_record.h"
#include "app/schemes/section_lines.h"
#include "app/schemes/size_codes.h"

namespace snapcrate {
namespace {

constexpr size_t kConfigFileCapacity = 201;
constexpr size_t kScaledFields = 9;

// "A" + "x" + "B" with the "x" at position 2 or later; false without one.
bool SplitPair(const std::string& text, std::string& first, std::string& second) {
  const size_t x = text.find('x');
  if (x == std::string::npos || x == 0) return false;
  first = text.substr(0, x);
  second = text.substr(x + 1);
  return true;
}

bool InRange(int16_t value, int low, int high) { return value >= low && value <= high; }

int16_t KeywordSize(const std::string& field, bool& found) {
  found = true;
  if (field.starts_with("$ORIGLINK")) return kSizeOrigLink;
  if (field.starts_with("$ORIGCOPY")) return kSizeOrigCopy;
  if (field.starts_with("$ORIGSIZE")) return kSizeOrigSize;
  found = false;
  return 0;
}

std::string Hex2(int16_t value) {
  return FormatHex(static_cast<uint32_t>(std::clamp<int>(value, 0, 255)), 2);
}

}  // namespace

std::vector<AlbumConfig>& Configs() {
  static std::vector<AlbumConfig> configs;
  return configs;
}

void LoadConfigs() {
  std::vector<AlbumConfig>& configs = Configs();
  configs.clear();
  const std::string etc = Program().home_dir + "etc/";
  for (const std::string& name : ListEtcEntries(etc, "config_", ".ini")) {
    if (configs.size() >= static_cast<size_t>(kMaxConfigs)) {
      ShowMessage("Too much configurations! '" + name + "' is not loaded (at most " +
                  std::to_string(kMaxConfigs) + ").");
      continue;
    }
    AlbumConfig config;
    if (ReadConfig(etc + name, name, config) == 0) configs.push_back(std::move(config));
  }
}

int ReadConfig(const std::string& path, const std::string& file_name, AlbumConfig& config) {
  LineStore lines(kConfigFileCapacity);
  if (ReadLines(path, lines) < 0) {
    ShowMessage("Can't open " + path);
    return -1;
  }
  config = AlbumConfig{};
  std::string key = file_name;
  if (key.starts_with("config_")) key.erase(0, 7);
  if (key.ends_with(".ini")) key.erase(key.size() - 4);
  config.key = key;
  std::string main_scheme;
  IniFileArrayReadMultipleKeys(lines, {{"Name", "", &config.name},
                                       {"Description", "", &config.description},
                                       {"IndexMainScheme", "", &main_scheme}});
  config.name = Trim(config.name);
  config.description = Trim(config.description);
  main_scheme = Trim(main_scheme);
  if (config.name.empty() || main_scheme.empty()) {
    ShowMessage("Invalid Config file " + file_name);
    return -1;
  }
  config.main_scheme = static_cast<int16_t>(FindSchemeByName(main_scheme));
  if (config.main_scheme == 0) {
    ShowMessage("'" + file_name + "': '" + main_scheme + "' not found!");
    return -1;
  }
  const int header = FindSectionLine(lines, "ScaledAlbumSchemes", false);
  if (header < 0) return -1;
  for (const std::string& line : SectionLines(lines, header)) {
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';') continue;
    ScaledAlbumScheme entry;
    if (!ParseScaledSchemeLine(line, entry)) {
      ShowMessage("Invalid config line '" + line + "'");
      continue;
    }
    if (config.scaled.size() >= static_cast<size_t>(kMaxScaledSchemes)) {
      ShowMessage("'" + file_name + "': too much scaled album schemes, line '" + line +
                  "' is not used (at most " + std::to_string(kMaxScaledSchemes) + ").");
      continue;
    }
    const bool new_scheme = std::none_of(config.scaled.begin(), config.scaled.end(),
                                         [&](const auto& other) { return other.scheme == entry.scheme; });
    if (new_scheme) ++config.distinct_schemes;
    config.scaled.push_back(entry);
  }
  const bool links = std::any_of(config.scaled.begin(), config.scaled.end(), [](const auto& entry) {
    return entry.width == kSizeOrigLink && entry.height == kSizeOrigLink;
  });
  if (links)
    for (ScaledAlbumScheme& entry : config.scaled) entry.orig_links_available = true;
  return 0;
}

bool ParseScaledSchemeLine(const std::string& line, ScaledAlbumScheme& entry) {
  std::vector<std::string> fields;
  if (SplitString(line, ',', fields, kScaledFields) != static_cast<int>(kScaledFields)) return false;
  entry = ScaledAlbumScheme{};
  entry.scheme = static_cast<int16_t>(FindSchemeByName(fields[0]));
  if (entry.scheme == 0) {
    ShowMessage("'" + fields[0] + "' not found!");
    return false;
  }
  std::string first, second;
  bool keyword = false;
  const int16_t code = KeywordSize(fields[1], keyword);
  if (keyword) {
    entry.width = entry.height = code;
  } else {
    if (!SplitPair(fields[1], first, second)) return false;
    entry.width = LeadingInt16(first);
    entry.height = LeadingInt16(second);
    if (!InRange(entry.width, 10, 5000) || !InRange(entry.height, 10, 5000)) return false;
  }
  entry.uses_original = entry.width == kSizeOrigLink || entry.width == kSizeOrigCopy;

  if (!SplitPair(fields[2], first, second)) return false;
  entry.thumbnail_width = LeadingInt16(first);
  entry.thumbnail_height = LeadingInt16(second);
  if (!InRange(entry.thumbnail_width, 10, 1000) || !InRange(entry.thumbnail_height, 10, 1000))
    return false;

  entry.links_per_row = LeadingInt16(fields[3]);
  if (!InRange(entry.links_per_row, 1, 20)) return false;

  if (SplitPair(fields[4], first, second)) {
    entry.thumbnails_per_row = LeadingInt16(first);
    entry.rows_per_page = LeadingInt16(second);
  } else {
    entry.thumbnails_per_row = LeadingInt16(fields[4]);
    entry.rows_per_page = 10;
  }
  if (!InRange(entry.thumbnails_per_row, 1, 99) || !InRange(entry.rows_per_page, 0, 100)) return false;

  // Borders out of range are taken as none rather than refusing the line.
  if (SplitPair(fields[5], first, second)) {
    entry.border_width = LeadingInt16(first);
    entry.border_height = LeadingInt16(second);
  } else {
    entry.border_width = LeadingInt16(fields[5]);
  }
  if (!InRange(entry.border_width, 0, 2000)) entry.border_width = 0;
  if (!InRange(entry.border_height, 0, 2000)) entry.border_height = 0;

  entry.exact_size = LeadingInt16(fields[6]) != 0;
  ParseHtmlColor(fields[7], entry.red, entry.green, entry.blue);
  entry.quality = LeadingInt16(fields[8]);
  return true;
}

int WriteConfig(const AlbumConfig& config, const std::string& path) {
  const std::vector<Scheme>& schemes = Schemes();
  auto scheme_name = [&](int16_t number) {
    return number >= 1 && static_cast<size_t>(number) <= schemes.size()
               ? schemes[static_cast<size_t>(number - 1)].name
               : std::string();
  };
  std::vector<std::string> out = {"[Name]", config.name, "[Description]", config.description,
                                  "[IndexMainScheme]", scheme_name(config.main_scheme),
                                  "[ScaledAlbumSchemes]"};
  for (const ScaledAlbumScheme& e : config.scaled) {
    out.push_back(scheme_name(e.scheme) + "," + FormatSizeCode(e.width, true) + "x" +
                  FormatSizeCode(e.height, true) + "," + std::to_string(e.thumbnail_width) + "x" +
                  std::to_string(e.thumbnail_height) + "," + std::to_string(e.links_per_row) + "," +
                  std::to_string(e.thumbnails_per_row) + "x" + std::to_string(e.rows_per_page) + "," +
                  std::to_string(e.border_width) + "x" + std::to_string(e.border_height) + "," +
                  (e.exact_size ? "1," : "0,") + "#" + Hex2(e.red) + Hex2(e.green) + Hex2(e.blue) +
                  "," + std::to_string(e.quality));
  }
  LineStore store(out.size() + 1);
  store.Assign(out);
  return WriteLines(path, store) ? 0 : -1;
}

}  // namespace snapcrate
