#include "app/program_state.h"

namespace snapcrate {

ProgramState& Program() {
  static ProgramState state;
  return state;
}

std::string SettingsPath() { return Program().home_dir + "etc/snapcrate.ini"; }

}  // namespace snapcrate
