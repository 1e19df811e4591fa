#include <cstdio>

#include "app/import/adjust_exif_dates.h"
#include "app/program_state.h"
#include "app/settings.h"
#include "cli/commands.h"
#include "cli/options.h"

namespace snapcrate::cli {

int RunAdjustCommand(const CommandContext& context) {
  std::string directory;
  DateAdjustOffset offset{.years = 0, .weeks = 0, .days = 0, .hours = 0, .minutes = 0, .seconds = 0, .sign = 1};
  bool any_field = false;
  bool dry_run = false;
  struct Field {
    const char* option;
    int16_t DateAdjustOffset::*member;
    int limit;
  };
  // The limits of the date-adjust window.
  const Field fields[] = {{"--years", &DateAdjustOffset::years, 99},   {"--weeks", &DateAdjustOffset::weeks, 53},
                          {"--days", &DateAdjustOffset::days, 30},     {"--hours", &DateAdjustOffset::hours, 23},
                          {"--minutes", &DateAdjustOffset::minutes, 59}, {"--seconds", &DateAdjustOffset::seconds, 59}};
  OptionReader reader(context.args);
  while (reader.Next()) {
    const std::string& option = reader.current();
    const Field* field = nullptr;
    for (const Field& f : fields)
      if (option == f.option) field = &f;
    if (field) {
      const auto value = reader.Number(0, field->limit);
      if (!value) return UsageError("adjust: " + reader.error());
      offset.*(field->member) = static_cast<int16_t>(*value);
      any_field = true;
    } else if (option == "--dir") {
      const auto value = reader.Value();
      if (!value) return UsageError("adjust: " + reader.error());
      directory = *value;
    } else if (option == "--minus") {
      offset.sign = -1;
    } else if (option == "--dry-run") {
      dry_run = true;
    } else {
      return UsageError("adjust: unknown option " + option);
    }
  }
  if (directory.empty()) return UsageError("adjust needs --dir DIR");
  if (!any_field) return UsageError("adjust needs an offset, for example --hours 1");
  const std::string dir = ExistingDirectory(directory);
  if (dir.empty()) {
    std::fprintf(stderr, "snapcrate-cli: %s is not a directory\n", directory.c_str());
    return 1;
  }
  Init(context.init);
  if (!dry_run) {
    WriteSettings({{"AdjustExifDateTimePath", dir}});
    Program().date_offset = offset;
  }
  return AdjustExifDates(dir, offset, dry_run) ? 0 : 1;
}

}  // namespace snapcrate::cli
