#pragma once
// The vocabulary of the template language: filling the name tables at start-up
// and the program values set once per generation.

#include <ctime>
#include <string>

namespace snapcrate {

/// Fills the built-in names and format types (slots 87 to 96 free for user
/// variables, the added variables behind them), the section and function
/// names, and empties the common-file and page names and the global variable
/// set: the engine's start-of-run state.
void InitNames();

/// Sets VERSION, GENDATE, GENTIME, COPYRIGHT, DEBUG (debug level above 0 only)
/// and ALWAYS_DEFINED in the global variable set.
void SetGlobalValues();

/// The date of `time` in the user's short date form (LC_TIME of the environment).
std::string FormatLocalDate(std::time_t time);
/// The time of `time` in the user's time form (LC_TIME of the environment).
std::string FormatLocalTime(std::time_t time);

}  // namespace snapcrate
