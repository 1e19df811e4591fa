#include "app/schemes/scheme_reader.h"

#include "app/file_lib.h"
#include "app/log.h"
#include "app/paths.h"
#include "app/program_state.h"
#include "app/text.h"
#include "app/ui_port.h"
#include "app/schemes/album_config.h"
#include "app/schemes/codes_dump.h"
#include "app/schemes/etc_entries.h"
#include "app/schemes/page_scheme_reader.h"
#include "app/schemes/section_lines.h"
#include "app/template/node_pool.h"
#include "app/template/user_vars.h"
#include "app/template/var_names.h"

namespace snapcrate {
namespace {

constexpr size_t kSchemeFileCapacity = 1001;

int16_t PageKindNumber(const std::string& kind) {
  if (kind == "indexmain") return kPageIndexMain;
  if (kind == "index") return kPageIndex;
  if (kind == "picture") return kPagePicture;
  return 0;
}

// Shows the hourglass while it lives, also when loading ends the program.
class BusyPointer {
 public:
  BusyPointer() { Ui().SetBusy(true); }
  ~BusyPointer() { Ui().SetBusy(false); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace

std::vector<Scheme>& Schemes() {
  static std::vector<Scheme> schemes;
  return schemes;
}

int FindSchemeByName(const std::string& name) {
  const std::vector<Scheme>& schemes = Schemes();
  for (size_t i = 0; i < schemes.size(); ++i)
    if (schemes[i].name == name) return static_cast<int>(i + 1);
  return 0;
}

std::string InvalidSchemeMessage(const std::string& path, int code) {
  return "Invalid Schemefile " + path + " (Errorcode #" + std::to_string(code) + ")";
}

void LoadSchemesAndConfigs() {
  {
    BusyPointer busy;
    LoadSchemes();
  }
  if (Schemes().empty()) FatalEnd("No Snapcrate Schemes found!");
  LoadConfigs();
  if (Configs().empty()) ShowMessage("Warning: No Snapcrate Configurations found!");
}

void LoadSchemes() {
  ResetNodes();
  std::vector<Scheme>& schemes = Schemes();
  schemes.clear();
  const std::string etc = Program().home_dir + "etc/";
  for (const std::string& name : ListEtcEntries(etc, "scheme_", "")) {
    const std::string path = etc + name;
    if (!IsDirectory(path)) continue;
    // The table has room for ten; a further directory is refused before it is
    // read, so it leaves no names or nodes behind.
    if (schemes.size() >= static_cast<size_t>(kMaxSchemes)) {
      ShowMessage("Too much schemes! '" + path + "' is not loaded (at most " +
                  std::to_string(kMaxSchemes) + ").");
      continue;
    }
    Scheme scheme;
    if (ReadScheme(path, scheme) != 0) FatalEnd("Abnormal program termination");
    schemes.push_back(std::move(scheme));
  }
  if (Program().debug_level > 0) WriteCodesDump();
}

int ReadScheme(const std::string& dir, Scheme& scheme) {
  const std::string path = JoinPath(dir, "scheme.ini");
  LineStore lines(kSchemeFileCapacity);
  if (ReadLines(path, lines) < 0) {
    ShowMessage("Can't open " + path);
    return -1;
  }
  std::string name, short_name, description, preview_image;
  IniFileArrayReadMultipleKeys(lines, {{"Name", "", &name},
                                       {"ShortName", "", &short_name},
                                       {"Description", "", &description},
                                       {"PreviewImage", "", &preview_image}});
  name = Trim(name);
  short_name = Trim(short_name);
  description = Trim(description);
  if (name.empty() || short_name.empty() || description.empty()) {
    ShowMessage(InvalidSchemeMessage(path, 0));
    return -1;
  }
  LogMessage("Reading Scheme " + name + " ...");
  scheme = Scheme{};
  scheme.name = name;
  scheme.short_name = short_name;
  scheme.description = description;
  scheme.preview_image = preview_image;
  scheme.dir = dir;
  ReadUserVars(dir);
  return ReadPageSchemes(scheme, lines, dir);
}

int ReadPageSchemes(Scheme& scheme, const LineStore& lines, const std::string& dir) {
  const std::string path = JoinPath(dir, "scheme.ini");
  scheme.page_schemes.clear();
  const int header = FindSectionLine(lines, "PageSchemes", false);
  if (header < 0) {
    ShowMessage(InvalidSchemeMessage(path, 1));
    return -1;
  }
  for (const std::string& raw : SectionLines(lines, header)) {
    const std::string line = Trim(raw);
    if (line.empty()) continue;
    const size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0) {
      ShowMessage(InvalidSchemeMessage(path, 2));
      return -1;
    }
    const std::string kind = Trim(line.substr(0, equals));
    const std::string list = Trim(line.substr(equals + 1));
    if (kind.empty() || list.empty()) {
      ShowMessage(InvalidSchemeMessage(path, 3));
      return -1;
    }
    const int16_t kind_number = PageKindNumber(kind);
    if (kind_number == 0) {
      ShowMessage(InvalidSchemeMessage(path, 4));
      return -1;
    }
    std::vector<std::string> names;
    if (SplitString(list, ',', names, kMaxPageSchemes) < 1) {
      ShowMessage(InvalidSchemeMessage(path, 5));
      return -1;
    }
    for (std::string name : names) {
      if (scheme.page_schemes.size() >= static_cast<size_t>(kMaxPageSchemes)) {
        ShowMessage("Too much page schemes!");
        return -1;
      }
      PageScheme page;
      if (ReadPageSchemeFile(scheme, page, name, JoinPath(dir, name + ".ini"), kind_number) != 0)
        return -1;
      const int slot = AddPageName(name);
      if (slot < 0) FatalEnd("too much page file definitions");
      page.page_var = static_cast<int16_t>(slot);
      scheme.page_schemes.push_back(std::move(page));
    }
  }
  for (PageScheme& page : scheme.page_schemes) CompilePageSections(page.sections);
  return 0;
}

int FindPageScheme(const std::string& name, const Scheme& scheme) {
  for (size_t i = 0; i < scheme.page_schemes.size(); ++i)
    if (scheme.page_schemes[i].name == name) return static_cast<int>(i + 1);
  ShowMessage("Scheme '" + scheme.name + "': Pagescheme '" + name + "' not found!");
  return -1;
}

}  // namespace snapcrate
