#include "app/schemes/page_scheme_reader.h"

#include "app/file_lib.h"
#include "app/text.h"
#include "app/ui_port.h"
#include "app/schemes/scheme_reader.h"
#include "app/schemes/section_lines.h"
#include "app/template/var_names.h"

namespace snapcrate {
namespace {

// What the reader answers for a section the file does not have.
constexpr std::string_view kAbsent = "<?\?\?>";

// Slot of a condition variable, or -1 after telling the user.
int16_t ConditionSlot(const std::string& page_name, const std::string& variable) {
  const int slot = FindBuiltinIndex("$(" + variable + ")");
  if (slot < 0)
    ShowMessage("\"" + page_name + "\" definitions: Didn't found variable " + variable + "!");
  return static_cast<int16_t>(slot);
}

}  // namespace

int ReadPageSchemeFile(const Scheme& scheme, PageScheme& page, std::string& name,
                       const std::string& path, int16_t kind) {
  LineStore lines(kPageSchemeFileCapacity);
  if (ReadLines(path, lines) < 0) {
    ShowMessage("Can't open " + path);
    return -1;
  }
  page.sections = PageSections{};
  page.common_files.fill(std::string());
  std::string own_name, inherit_from, gen_if_defined, dont_gen_if_defined;
  IniFileArrayReadMultipleKeys(lines, {{"Name", "", &own_name},
                                       {"InheritFrom", "", &inherit_from},
                                       {"GenIfDefined", "", &gen_if_defined},
                                       {"DontGenIfDefined", "", &dont_gen_if_defined}});
  if (!Trim(own_name).empty()) name = Trim(own_name);
  inherit_from = Trim(inherit_from);
  gen_if_defined = Trim(gen_if_defined);
  dont_gen_if_defined = Trim(dont_gen_if_defined);

  if (!inherit_from.empty()) {
    const int parent = FindPageScheme(inherit_from, scheme);
    if (parent < 0) {
      ShowMessage("Scheme '" + scheme.name + "': Error while reading '" + path + "'!");
      return -1;
    }
    page = scheme.page_schemes[static_cast<size_t>(parent - 1)];
  }
  // Kind, name and conditions are the file's own, never inherited.
  page.kind = kind;
  page.name = name;
  page.gen_if_defined = -1;
  page.gen_if_not_defined = -1;
  if (!gen_if_defined.empty()) page.gen_if_defined = ConditionSlot(name, gen_if_defined);
  else if (!dont_gen_if_defined.empty())
    page.gen_if_not_defined = ConditionSlot(name, dont_gen_if_defined);

  // Slot 23 has no name, so no file can fill it.
  for (int i = 1; i <= kSectionSlots; ++i) {
    const std::string& section = Names().section[i];
    if (section.empty()) continue;
    std::string value;
    IniFileArrayReadMultipleKeys(lines, {{section, std::string(kAbsent), &value}});
    if (value != kAbsent) page.sections.text[i] = Trim(value);
  }
  ReadCommonFiles(page, lines);
  return 0;
}

void ReadCommonFiles(PageScheme& page, const LineStore& lines) {
  const int header = FindSectionLine(lines, "CommonFiles", false);
  for (const std::string& line : SectionLines(lines, header)) {
    const size_t equals = line.find('=');
    // A line with no name could not be referred to and would hand its file to
    // whichever name takes the slot next.
    if (equals == std::string::npos || equals == 0) continue;
    const std::string name = line.substr(0, equals);
    const int slot = AddFileName(name);
    if (slot < 0) FatalEnd("too much common files definitions");
    page.common_files[static_cast<size_t>(slot)] = line.substr(equals + 1);
  }
}

}  // namespace snapcrate
