#include "app/init.h"

#include <unistd.h>

#include "app/exec_and_wait.h"
#include "app/file_lib.h"
#include "app/import/stop_list.h"
#include "app/log.h"
#include "app/paths.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "app/schemes/scheme_reader.h"
#include "app/settings.h"
#include "app/template/builtin_variables.h"
#include "app/ui_port.h"

namespace snapcrate {

void InitGlobals() {
  ProgramState& program = Program();
  program.import_result.clear();
  program.adjust_result.clear();
  program.gen_html_result.clear();
  program.initialized = false;
  program.date_offset = DateAdjustOffset{};
  ClearAbort();
}

bool FindHomeDir(const std::string& name, std::string& dir) {
  dir = WithTrailingSlash(GetProgramDir());
  if (FileExists(dir + name)) return true;
  char buffer[4096];
  if (getcwd(buffer, sizeof buffer)) {
    dir = WithTrailingSlash(buffer);
    if (FileExists(dir + name)) return true;
  }
  return false;
}

void Init(const InitOptions& options) {
  ClearLog();
  InitGlobals();
  ProgramState& program = Program();
  if (!options.home_override.empty()) {
    program.home_dir = WithTrailingSlash(options.home_override);
  } else {
    std::string directory, name;
    SplitPath(GetProgramFileName(), directory, name);
    if (!FindHomeDir(name, program.home_dir)) FatalEnd("Can't locate homedir!");
  }
  const bool unpacked = FirstStartUnpack();
  ReadSettings();
  if (unpacked) Ui().RunSettingsDialog();
  // The template names, then the schemes and configurations (which use them),
  // then the stop list.
  InitNames();
  LoadSchemesAndConfigs();
  ReadStopList();
  LogMessage("Initialization completed.");
  program.initialized = true;
}

}  // namespace snapcrate
