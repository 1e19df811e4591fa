#pragma once
// User variables: names a scheme adds to the built-in table through its
// "uservar.txt", with their values in the global variable set.

#include <string>
#include <string_view>

namespace snapcrate {

/// Slot 87 to 96 of the user variable `name` (bare), taking a free slot for a
/// new name; -1 when all ten are taken by other names.
int AddUserVariable(std::string_view name);

/// Reads `dir`/uservar.txt (if present) into the global variable set.
void ReadUserVars(const std::string& dir);

}  // namespace snapcrate
