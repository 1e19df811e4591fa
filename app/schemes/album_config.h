#pragma once
// Album configurations: etc/config_*.ini, each naming the scheme of the main
// index page and up to ten scaled albums.

#include <cstdint>
#include <string>
#include <vector>

namespace snapcrate {

inline constexpr int kMaxConfigs = 20;
inline constexpr int kMaxScaledSchemes = 10;

/// Scaled picture sizes below 1 are codes.
inline constexpr int16_t kSizeOrigCopy = -2;  // the original file is copied
inline constexpr int16_t kSizeOrigLink = -1;  // pages link to the original file
inline constexpr int16_t kSizeOrigSize = 0;   // the picture keeps its original size

/// One variant of the album: a scheme with one picture and thumbnail size.
struct ScaledAlbumScheme {
  int16_t scheme = 0;  // scheme number, 1 to the number of schemes
  bool uses_original = false;  // width is kSizeOrigLink or kSizeOrigCopy
  int16_t width = 0;
  int16_t height = 0;
  int16_t thumbnail_width = 0;
  int16_t thumbnail_height = 0;
  int16_t links_per_row = 0;
  int16_t thumbnails_per_row = 0;
  int16_t rows_per_page = 0;  // 0 = unlimited
  int16_t border_width = 0;
  int16_t border_height = 0;
  bool exact_size = false;
  int16_t red = 0;
  int16_t green = 0;
  int16_t blue = 0;
  int16_t quality = 0;
  bool orig_links_available = false;  // some entry of the configuration links to the originals

  bool operator==(const ScaledAlbumScheme&) const = default;
};

struct AlbumConfig {
  std::string key;  // the file name between "config_" and ".ini"
  std::string name;
  std::string description;
  int16_t main_scheme = 0;  // scheme of the main index page
  std::vector<ScaledAlbumScheme> scaled;  // at most 10
  int16_t distinct_schemes = 0;

  bool operator==(const AlbumConfig&) const = default;
};

/// The loaded configurations, in the order of the directory listing (at most 20).
std::vector<AlbumConfig>& Configs();

/// Empties the configuration table and reads every etc/config_*.ini.
void LoadConfigs();
/// Reads the configuration file `path` named `file_name`; 0, or -1 (mostly after a message).
int ReadConfig(const std::string& path, const std::string& file_name, AlbumConfig& config);
/// Parses one scaled album line against the loaded schemes; false when it is invalid.
bool ParseScaledSchemeLine(const std::string& line, ScaledAlbumScheme& entry);
/// Writes `config` to `path` (replacing it); 0, or -1 when it cannot be written.
int WriteConfig(const AlbumConfig& config, const std::string& path);

}  // namespace snapcrate
