#include <cstdio>
#include <string>

#include "app/exif/exif_info.h"
#include "app/exif/tagcore_library.h"
#include "cli/commands.h"

namespace snapcrate::cli {
namespace {

const char* Bool(bool value) { return value ? "true" : "false"; }

void PrintSummary(const std::string& path, const ExifInfo& info) {
  std::printf("File: %s\n", path.c_str());
  std::printf("Valid: %s\nDateValid: %s\n", Bool(info.Valid), Bool(info.DateValid));
  const std::pair<const char*, const std::string*> fields[] = {
      {"Year", &info.Year},
      {"Month", &info.Month},
      {"Day", &info.Day},
      {"Hour", &info.Hour},
      {"Minute", &info.Minute},
      {"Second", &info.Second},
      {"DateTimeOriginal", &info.DateTimeOriginal},
      {"Make", &info.Make},
      {"Model", &info.Model},
      {"Width", &info.Width},
      {"Height", &info.Height},
      {"Exposure", &info.Exposure},
      {"ISO", &info.ISO},
      {"FNumber", &info.FNumber},
      {"Flash", &info.Flash},
      {"FocalLength", &info.FocalLength},
  };
  for (const auto& [name, value] : fields) std::printf("%s: %s\n", name, value->c_str());
  std::printf("\n");
}

const char* CodeText(int32_t code) {
  switch (code) {
    case 1: return "cannot be opened";
    case 2: return "has no EXIF data";
    case 3: return "out of memory";
    case 4: return "is shorter than its EXIF data";
    case 5: return "output cannot be written";
    case 6: return "has broken EXIF data";
    case kLibraryMissing: return "cannot be read: libtagcore.so is missing";
    default: return "cannot be read";
  }
}

}  // namespace

int RunExifCommand(const CommandContext& context) {
  bool summary = false;
  std::vector<std::string> files;
  for (const std::string& arg : context.args) {
    if (arg == "--summary") summary = true;
    else if (!arg.empty() && arg[0] == '-' && arg != "-") return UsageError("exif: unknown option " + arg);
    else files.push_back(arg);
  }
  if (files.empty()) return UsageError("exif needs at least one FILE");
  int failures = 0;
  for (const std::string& file : files) {
    int32_t code = 0;
    if (summary) {
      ExifInfo info;
      std::string text;
      code = DumpExifToText(file, text, kExifDumpCapacity);
      if (code == 0) {
        ParseExifDump(text, info);
        info.Valid = true;
      }
      PrintSummary(file, info);
    } else {
      std::fflush(stdout);
      code = TagCoreDumpInfoToFile(file, nullptr);
      std::fflush(stdout);
    }
    if (code != 0) {
      ++failures;
      std::fflush(stdout);
      std::fprintf(stderr, "%s %s (code %d)\n", file.c_str(), CodeText(code), code);
    }
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace snapcrate::cli
