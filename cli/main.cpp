// snapcrate-cli: the batch front end over the same core as the desktop program.

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/pictures/image_library.h"
#include "app/program_state.h"
#include "app/ui_port.h"
#include "cli/commands.h"
#include "cli/console_ui_port.h"

namespace snapcrate::cli {
namespace {

struct Command {
  const char* name;
  int (*run)(const CommandContext&);
  const char* summary;
};

const Command kCommands[] = {
    {"check", RunCheckCommand, "start up, report the installation, and exit"},
    {"exif", RunExifCommand, "[--summary] FILE...  dump the EXIF entries, or the summary, of pictures"},
    {"generate", RunGenerateCommand,
     "--source DIR --dest DIR [--config NAME] [--min-quality N] [--min-originality N]\n"
     "            [--no-auto-orient|--auto-orient]\n"
     "            generate the HTML album of the pictures below the source"},
    {"import", RunImportCommand,
     "--source DIR --dest DIR [--log|--no-log] [--orig-name|--no-orig-name]\n"
     "            [--jpeg-only|--all-files] [--dry-run]\n"
     "            copy pictures into DIR/YEAR/MONTH/DAY/, named after their capture time"},
    {"adjust", RunAdjustCommand,
     "--dir DIR [--years N] [--weeks N] [--days N] [--hours N] [--minutes N]\n"
     "            [--seconds N] [--minus] [--dry-run]\n"
     "            shift the EXIF dates of every .jpg, .heic and .heif below DIR"},
};

void PrintHelp() {
  std::printf(
      "Usage: snapcrate-cli [--home DIR] COMMAND [ARGS...]\n"
      "       snapcrate-cli --help | --version\n\n"
      "Options:\n"
      "  --home DIR  use DIR as the home directory (settings, schemes, stop list)\n"
      "              instead of the executable's directory\n"
      "  --help      show this help\n"
      "  --version   show the version\n\n"
      "Commands:\n");
  for (const Command& command : kCommands) std::printf("  %-9s %s\n", command.name, command.summary);
}

}  // namespace

int UsageError(const std::string& message) {
  std::fprintf(stderr, "snapcrate-cli: %s\nTry 'snapcrate-cli --help'.\n", message.c_str());
  return 2;
}

int Main(int argc, char** argv) {
  // Dates and times in the user's form; numbers stay in the C form.
  setlocale(LC_TIME, "");
  setlocale(LC_CTYPE, "");
  CommandContext context;
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    const std::string option = argv[i];
    if (option == "--help" || option == "-h") {
      PrintHelp();
      return 0;
    }
    if (option == "--version") {
      std::printf("%s\n", std::string(kVersionText).c_str());
      return 0;
    }
    if (option == "--home") {
      if (i + 1 >= argc) return UsageError("--home needs a directory");
      context.init.home_override = argv[++i];
      continue;
    }
    return UsageError("unknown option " + option);
  }
  if (i >= argc) return UsageError("no command given");
  const std::string name = argv[i];
  context.args.assign(argv + i + 1, argv + argc);
  for (const Command& command : kCommands) {
    if (name != command.name) continue;
    ConsoleUiPort port;
    InstallInterruptHandler();
    int status = 1;
    try {
      status = command.run(context);
    } catch (const FatalEndError&) {
      status = 1;
    }
    PixCoreShutdown();
    return status;
  }
  return UsageError("unknown command " + name);
}

}  // namespace snapcrate::cli

int main(int argc, char** argv) { return snapcrate::cli::Main(argc, argv); }
