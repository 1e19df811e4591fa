#pragma once
// Start-up: from an empty log to "Initialization completed.".

#include <string>

namespace snapcrate {

struct InitOptions {
  /// A home directory to use instead of the executable's (the batch front end's --home).
  std::string home_override;
};

/// Runs the start-up sequence; ends the program through the UI port when the
/// home directory cannot be found.
void Init(const InitOptions& options = {});

/// `dir` := the directory of the executable, or else the current directory,
/// that holds a file `name`; false when neither does.
bool FindHomeDir(const std::string& name, std::string& dir);

/// Resets the dialog results, the abort flag and the date-adjust offset.
void InitGlobals();

}  // namespace snapcrate
