#pragma once
// Variable sets: the values and defined flags of every slot, the global set,
// and the lookup rules by which expansion reads them.

#include <array>
#include <string>
#include <string_view>

#include "app/template/var_names.h"

namespace snapcrate {

/// Values count only while their flag is set; clearing keeps the old string.
struct VarSet {
  std::array<std::string, kBuiltinSlots + 1> builtin_values;
  std::array<bool, kBuiltinSlots + 1> builtin_defined{};
  std::array<std::string, kFileSlots + 1> file_values;
  std::array<bool, kFileSlots + 1> file_defined{};
  std::array<std::string, kPageSlots + 1> page_values;
  std::array<bool, kPageSlots + 1> page_defined{};
};

/// The program-wide set: program values, user variables, the configuration's description.
VarSet& GlobalVarSet();

// Setters and clearers take a valid slot; an index outside its table is ignored.
void SetBuiltinVar(VarSet& set, int index, std::string_view value);
void ClearBuiltinVar(VarSet& set, int index);
void SetGlobalVar(int index, std::string_view value);
void ClearGlobalVar(int index);
/// Stores the value unchanged.
void SetFileVar(VarSet& set, int index, std::string_view value);
/// Stores the value in link form.
void SetFileLinkVar(VarSet& set, int index, std::string_view value);
void ClearFileVar(VarSet& set, int index);
/// Stores the value in link form.
void SetPageVar(VarSet& set, int index, std::string_view value);
void ClearPageVar(VarSet& set, int index);
/// Clears every flag of the set.
void ClearVarSet(VarSet& set);

/// "{UNDEFINED(" + name + ")}", what an undefined variable expands to.
std::string UndefinedMarker(std::string_view name);

/// The page set's value, else the global set's, formatted by the slot's type;
/// else the undefined marker.
std::string GetBuiltinValue(const VarSet& set, int index);
/// The value of any slot as expansion outputs it.
std::string GetVarValue(const VarSet& set, int kind, int index);
/// True when the slot is defined in the global set or in `set`.
bool IsVarDefined(const VarSet& set, int kind, int index);

/// Returns `value` unchanged; in debug mode logs a value that looks like a
/// malformed path.
const std::string& CheckPath(const std::string& value);

}  // namespace snapcrate
