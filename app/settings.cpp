#include "app/settings.h"

#include "app/dir_chooser.h"
#include "app/file_lib.h"
#include "app/log.h"
#include "app/numeric.h"
#include "app/paths.h"
#include "app/program_state.h"

namespace snapcrate {
namespace {

// Viewers looked for at creation, in this order.
constexpr const char* kKnownViewers[] = {"/usr/bin/eog", "/usr/bin/gwenview"};
constexpr int16_t kUnlimitedThreshold = 861;

}  // namespace

std::string DefaultDirectory() { return GetUserPicturesDir(); }

std::string DefaultViewerCommand() {
  for (const char* viewer : kKnownViewers)
    if (FileExists(viewer)) return "\"" + std::string(viewer) + "\" \"$1\"";
  return "\"" + Program().home_dir + "etc/winstart\" \"$1\"";
}

std::vector<std::pair<std::string, std::string>> DefaultSettings() {
  const std::string dir = DefaultDirectory();
  std::string import_source, import_destination;
  DefaultImportPaths(ListVolumes(), dir, import_source, import_destination);
  return {
      {"GenDebug", ""},
      {"GenOwnIndexPageSubNodesThreshold", "2"},
      {"DirDscName", "_snapcrate_.dsc"},
      {"GenHTMLRootDir", "_snapcrate_"},
      {"ImportMediaFilesSourcePath", import_source},
      {"ImportMediaFilesDestPath", import_destination},
      {"AdjustExifDateTimePath", dir},
      {"AddDescPath", dir},
      {"AddDescImageIndex", "1"},
      {"GenHTMLSourcePath", dir},
      {"GenHTMLDestPath", dir},
      {"GenHTMLMinQual", "6"},
      {"GenHTMLMinOrig", "6"},
      {"GenHTMLConfigIndex", "-1"},
      {"RotateLoslessAtOriginalLocation", "1"},
      {"Copyright", ""},
      {"ExtViewer", DefaultViewerCommand()},
  };
}

void ReadSettings() {
  ProgramState& program = Program();
  const std::string path = SettingsPath();
  if (!FileExists(path)) {
    LogMessage("Info: Creating new \"" + path + "\"");
    ClearLines(program.settings);
    IniFileArrayWriteMultipleKeys(path, program.settings, DefaultSettings());
  }
  ReadLines(path, program.settings);
  std::string threshold;
  IniFileArrayReadMultipleKeys(program.settings,
                               {
                                   {"DirDscName", "_snapcrate_.dsc", &program.dir_dsc_name},
                                   {"GenDebug", "", &program.gen_debug},
                                   {"GenOwnIndexPageSubNodesThreshold", "2", &threshold},
                                   {"GenHTMLRootDir", "_snapcrate_", &program.gen_html_root_dir},
                                   {"GenHTMLExt", ".htm", &program.gen_html_ext},
                                   {"GenHTMLDestPath", DefaultDirectory(), &program.gen_html_dest_path},
                                   {"RotateLoslessAtOriginalLocation", "1",
                                    &program.rotate_lossless_at_original_location},
                                   {"Copyright", "", &program.copyright},
                               });
  program.debug_level = LeadingInt16(program.gen_debug);
  program.own_index_page_sub_nodes_threshold = LeadingInt16(threshold);
  if (program.own_index_page_sub_nodes_threshold < 1)
    program.own_index_page_sub_nodes_threshold = kUnlimitedThreshold;
}

std::string ReadSetting(const std::string& key, const std::string& default_value) {
  std::string value;
  IniFileArrayReadMultipleKeys(Program().settings, {{key, default_value, &value}});
  return value;
}

bool AutoOrientSetting() { return LeadingInt16(ReadSetting(std::string(kAutoOrientKey), "1")) != 0; }

void WriteSettings(const std::vector<std::pair<std::string, std::string>>& keys) {
  IniFileArrayWriteMultipleKeys(SettingsPath(), Program().settings, keys);
}

}  // namespace snapcrate
