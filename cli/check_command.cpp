#include "app/program_state.h"
#include "cli/commands.h"

namespace snapcrate::cli {

int RunCheckCommand(const CommandContext& context) {
  if (!context.args.empty()) return UsageError("check takes no arguments");
  Init(context.init);
  return Program().initialized ? 0 : 1;
}

}  // namespace snapcrate::cli
