#pragma once
// The sub-commands of snapcrate-cli. Each gets the arguments after its name and
// returns the exit code (2 for a usage error).

#include <string>
#include <vector>

#include "app/init.h"

namespace snapcrate::cli {

struct CommandContext {
  InitOptions init;
  std::vector<std::string> args;
};

int RunCheckCommand(const CommandContext& context);
int RunExifCommand(const CommandContext& context);
int RunImportCommand(const CommandContext& context);
int RunAdjustCommand(const CommandContext& context);
int RunGenerateCommand(const CommandContext& context);

/// Prints `message` and the usage hint to standard error; returns 2.
int UsageError(const std::string& message);

}  // namespace snapcrate::cli
