#pragma once
// The settings file: its keys, their defaults, and reading it at start-up.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace snapcrate {

/// The keys written when the settings file is created, in their order, with defaults.
std::vector<std::pair<std::string, std::string>> DefaultSettings();
/// The viewer command line written at creation.
std::string DefaultViewerCommand();
/// The default of every directory setting: the user's pictures directory.
std::string DefaultDirectory();

/// Creates the settings file when missing, reads it into the settings store and
/// the start-up values.
void ReadSettings();

/// One key from the settings store, or `default_value` when it is missing.
std::string ReadSetting(const std::string& key, const std::string& default_value);
/// The setting that turns pictures upright by their EXIF orientation: "1"
/// (also when missing) or "0". The Generate HTML window writes it.
inline constexpr std::string_view kAutoOrientKey = "GenHTMLAutoOrient";
/// Its value from the settings store.
bool AutoOrientSetting();

/// Writes keys into the settings store and rewrites the settings file.
void WriteSettings(const std::vector<std::pair<std::string, std::string>>& keys);

}  // namespace snapcrate
