#include <cstdio>
#include <filesystem>
#include <optional>

#include "app/generator/generate_album.h"
#include "app/numeric.h"
#include "app/program_state.h"
#include "app/settings.h"
#include "app/schemes/album_config.h"
#include "cli/commands.h"
#include "cli/options.h"

namespace snapcrate::cli {
namespace {

// The configuration the generate window would preselect: the remembered
// position, else the one named "Standard".
const AlbumConfig* DefaultConfig() {
  const std::vector<AlbumConfig>& configs = Configs();
  const int index = LeadingInt16(ReadSetting("GenHTMLConfigIndex", "-1"));
  if (index >= 0 && index < static_cast<int>(configs.size())) return &configs[static_cast<size_t>(index)];
  for (const AlbumConfig& config : configs)
    if (config.name == "Standard") return &config;
  return nullptr;
}

}  // namespace

int RunGenerateCommand(const CommandContext& context) {
  std::string source, destination, config_name;
  int16_t min_quality = 9999, min_originality = 9999;
  std::optional<bool> auto_orient;  // else the Generate HTML window's setting
  OptionReader reader(context.args);
  while (reader.Next()) {
    const std::string& option = reader.current();
    if (option == "--source" || option == "--dest" || option == "--config") {
      const auto value = reader.Value();
      if (!value) return UsageError("generate: " + reader.error());
      (option == "--source" ? source : option == "--dest" ? destination : config_name) = *value;
    } else if (option == "--min-quality" || option == "--min-originality") {
      const auto value = reader.Number(1, 6);
      if (!value) return UsageError("generate: " + reader.error());
      (option == "--min-quality" ? min_quality : min_originality) = static_cast<int16_t>(*value);
    } else if (option == "--no-auto-orient" || option == "--auto-orient") {
      auto_orient = option == "--auto-orient";
    } else {
      return UsageError("generate: unknown option " + option);
    }
  }
  if (source.empty() || destination.empty()) return UsageError("generate needs --source DIR and --dest DIR");
  const std::string source_dir = ExistingDirectory(source);
  if (source_dir.empty()) {
    std::fprintf(stderr, "snapcrate-cli: %s is not a directory\n", source.c_str());
    return 1;
  }
  std::error_code error;
  std::filesystem::create_directories(destination, error);
  const std::string destination_dir = ExistingDirectory(destination);
  if (destination_dir.empty()) {
    std::fprintf(stderr, "snapcrate-cli: cannot create the directory %s\n", destination.c_str());
    return 1;
  }

  Init(context.init);
  const AlbumConfig* config = nullptr;
  if (config_name.empty()) {
    config = DefaultConfig();
  } else {
    for (const AlbumConfig& candidate : Configs())
      if (candidate.name == config_name || candidate.key == config_name) config = &candidate;
  }
  if (!config) {
    std::fprintf(stderr, "snapcrate-cli: no album configuration %s; the installation has:\n",
                 config_name.empty() ? "\"Standard\"" : ("\"" + config_name + "\"").c_str());
    for (const AlbumConfig& candidate : Configs()) std::fprintf(stderr, "  %s\n", candidate.name.c_str());
    return 1;
  }
  GenerationRequest request;
  request.source_path = source_dir;
  request.destination_path = destination_dir;
  request.min_quality = min_quality;
  request.min_originality = min_originality;
  request.config = *config;
  request.auto_orient = auto_orient.value_or(AutoOrientSetting());
  const GenerationResult result = GenerateAlbum(request);
  return result.completed && result.failed_files == 0 && result.unreadable_dirs == 0 ? 0 : 1;
}

}  // namespace snapcrate::cli
