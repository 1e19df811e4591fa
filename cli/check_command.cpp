#include <cstdio>
#include <string>

#include "app/program_state.h"
#include "app/schemes/album_config.h"
#include "app/schemes/scheme_record.h"
#include "app/schemes/size_codes.h"
#include "app/text.h"
#include "cli/commands.h"

namespace snapcrate::cli {
namespace {

// One line per scheme and per configuration, after the start-up log.
void ReportSchemesAndConfigs() {
  for (const Scheme& scheme : Schemes()) {
    std::string pages;
    for (const PageScheme& page : scheme.page_schemes) pages += (pages.empty() ? "" : ", ") + page.name;
    std::printf("Scheme: %s (%s) in %s, page schemes: %s\n", scheme.name.c_str(),
                scheme.short_name.c_str(), scheme.dir.c_str(), pages.c_str());
  }
  for (const AlbumConfig& config : Configs()) {
    const std::string sizes = ReplaceAll(ListSchemeSizes(config), "\r\n", "; ");
    std::printf("Configuration: %s [%s], %zu scaled album(s): %s\n", config.name.c_str(),
                config.key.c_str(), config.scaled.size(), sizes.c_str());
  }
  std::fflush(stdout);
}

}  // namespace

int RunCheckCommand(const CommandContext& context) {
  if (!context.args.empty()) return UsageError("check takes no arguments");
  Init(context.init);
  if (!Program().initialized) return 1;
  ReportSchemesAndConfigs();
  return 0;
}

}  // namespace snapcrate::cli
