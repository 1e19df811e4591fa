#include "app/template/user_vars.h"

#include "app/file_lib.h"
#include "app/paths.h"
#include "app/text.h"
#include "app/ui_port.h"
#include "app/template/var_names.h"
#include "app/template/var_set.h"

namespace snapcrate {

int AddUserVariable(std::string_view name) {
  NameTables& names = Names();
  const std::string wrapped = "$(" + std::string(name) + ")";
  for (int i = kFirstUserSlot; i <= kLastUserSlot; ++i) {
    if (names.builtin[i] == wrapped) return i;
    if (names.builtin[i] == kFreeUserSlot) {
      names.builtin[i] = wrapped;
      names.builtin_type[i] = FMT_PLAIN;
      return i;
    }
  }
  return -1;
}

void ReadUserVars(const std::string& dir) {
  const std::string path = JoinPath(dir, "uservar.txt");
  if (!FileExists(path)) return;
  auto file = OpenForInput(path);
  if (!file) return;
  std::string raw;
  for (int number = 1; file->ReadLine(raw); ++number) {
    std::string line = Trim(raw);
    // Both positions are taken before the comment is cut off, as the file format has it.
    const size_t equals = line.find('=');
    const size_t comment = line.find("//");
    if (line.empty() || comment == 0) continue;
    if (equals == std::string::npos) {
      ShowMessage("File " + path + ": Syntaxerror in line " + std::to_string(number));
      continue;
    }
    if (comment != std::string::npos) line = Trim(line.substr(0, comment));
    const std::string name = line.substr(0, std::min(equals, line.size()));
    const std::string value = equals + 1 < line.size() ? line.substr(equals + 1) : "";
    const int slot = AddUserVariable(name);
    if (slot < 0) {
      ShowMessage("Couldn't set new uservar '" + name + "'!");
      continue;
    }
    if (!value.empty()) SetGlobalVar(slot, value);
    else ClearGlobalVar(slot);
  }
}

}  // namespace snapcrate
