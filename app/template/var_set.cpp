#include "app/template/var_set.h"

#include "app/log.h"
#include "app/program_state.h"
#include "app/template/template_functions.h"

namespace snapcrate {
namespace {

bool ValidBuiltin(int index) { return index >= 1 && index <= kBuiltinSlots; }
bool ValidFile(int index) { return index >= 1 && index <= kFileSlots; }
bool ValidPage(int index) { return index >= 1 && index <= kPageSlots; }

}  // namespace

VarSet& GlobalVarSet() {
  static VarSet set;
  return set;
}

const std::string& CheckPath(const std::string& value) {
  if (Program().debug_level <= 0) return value;
  if (value.find("://") != std::string::npos) return value;
  if (value.find("//") != std::string::npos || value.find("\\\\") != std::string::npos ||
      value.find("/\\") != std::string::npos || value.find("\\/") != std::string::npos)
    LogMessage("malformed path: \"" + value + "\"?");
  return value;
}

void SetBuiltinVar(VarSet& set, int index, std::string_view value) {
  if (!ValidBuiltin(index)) return;
  set.builtin_defined[index] = true;
  set.builtin_values[index] = value;
  CheckPath(set.builtin_values[index]);
}

void ClearBuiltinVar(VarSet& set, int index) {
  if (ValidBuiltin(index)) set.builtin_defined[index] = false;
}

void SetGlobalVar(int index, std::string_view value) { SetBuiltinVar(GlobalVarSet(), index, value); }

void ClearGlobalVar(int index) { ClearBuiltinVar(GlobalVarSet(), index); }

void SetFileVar(VarSet& set, int index, std::string_view value) {
  if (!ValidFile(index)) return;
  set.file_defined[index] = true;
  set.file_values[index] = value;
}

void SetFileLinkVar(VarSet& set, int index, std::string_view value) {
  SetFileVar(set, index, FormatValue(FMT_LINK, value));
}

void ClearFileVar(VarSet& set, int index) {
  if (ValidFile(index)) set.file_defined[index] = false;
}

void SetPageVar(VarSet& set, int index, std::string_view value) {
  if (!ValidPage(index)) return;
  set.page_defined[index] = true;
  set.page_values[index] = FormatValue(FMT_LINK, CheckPath(std::string(value)));
}

void ClearPageVar(VarSet& set, int index) {
  if (ValidPage(index)) set.page_defined[index] = false;
}

void ClearVarSet(VarSet& set) {
  set.builtin_defined.fill(false);
  set.file_defined.fill(false);
  set.page_defined.fill(false);
}

std::string UndefinedMarker(std::string_view name) {
  return "{UNDEFINED(" + std::string(name) + ")}";
}

std::string GetBuiltinValue(const VarSet& set, int index) {
  if (!ValidBuiltin(index)) return "";
  const int16_t type = Names().builtin_type[index];
  if (set.builtin_defined[index]) return FormatValue(type, set.builtin_values[index]);
  const VarSet& global = GlobalVarSet();
  if (global.builtin_defined[index]) return FormatValue(type, global.builtin_values[index]);
  return UndefinedMarker(Names().builtin[index]);
}

std::string GetVarValue(const VarSet& set, int kind, int index) {
  std::string value;
  switch (kind) {
    case kKindBuiltin:
      value = GetBuiltinValue(set, index);
      break;
    case kKindFile:
      if (!ValidFile(index)) break;
      value = set.file_defined[index] ? set.file_values[index] : UndefinedMarker(Names().file[index]);
      break;
    case kKindPage:
      if (!ValidPage(index)) break;
      value = set.page_defined[index] ? CheckPath(set.page_values[index])
                                      : UndefinedMarker(Names().page[index]);
      break;
    default:
      value = "$$$";
  }
  CheckPath(value);
  return value;
}

bool IsVarDefined(const VarSet& set, int kind, int index) {
  const VarSet& global = GlobalVarSet();
  switch (kind) {
    case kKindBuiltin:
      return ValidBuiltin(index) && (global.builtin_defined[index] || set.builtin_defined[index]);
    case kKindFile:
      return ValidFile(index) && (global.file_defined[index] || set.file_defined[index]);
    case kKindPage:
      return ValidPage(index) && (global.page_defined[index] || set.page_defined[index]);
    default:
      return false;
  }
}

}  // namespace snapcrate
