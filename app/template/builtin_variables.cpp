#include "app/template/builtin_variables.h"

#include <locale.h>
#include <time.h>

#include <string_view>

#include "app/program_state.h"
#include "app/ui_port.h"
#include "app/template/var_names.h"
#include "app/template/var_set.h"

namespace snapcrate {
namespace {

struct BuiltinEntry {
  std::string_view name;
  FormatType type;
};

constexpr BuiltinEntry kBuiltins[] = {
#define SNAPCRATE_BUILTIN(name, type) {#name, type},
#include "app/template/builtin_variables.def"
#undef SNAPCRATE_BUILTIN
};
static_assert(std::size(kBuiltins) == kFixedBuiltinSlots);

constexpr BuiltinEntry kAddedBuiltins[] = {
    {"PIC_THUMBNAIL2X_LINK", FMT_LINK},
    {"CHAPTER_MAINTHUMBNAIL2X_LINK", FMT_LINK},
};
static_assert(std::size(kAddedBuiltins) == kBuiltinSlots - kLastUserSlot);

constexpr std::string_view kSections[] = {
#define SNAPCRATE_SECTION(name) #name,
#include "app/template/page_sections.def"
#undef SNAPCRATE_SECTION
};

constexpr std::string_view kFunctions[] = {"$$PRINT_SHORT", "$$PRINT", "$$LINK", "$$MULTILINE"};
static_assert(std::size(kFunctions) == kFunctionCount);

// strftime in the environment's LC_TIME locale, without changing the
// program's own locale (which the rest of the code relies on being "C").
std::string FormatTimeInUserLocale(std::time_t time, const char* format) {
  struct tm parts;
  localtime_r(&time, &parts);
  locale_t user = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) user = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  char buffer[128];
  size_t length = 0;
  if (user != static_cast<locale_t>(0)) {
    length = strftime_l(buffer, sizeof buffer, format, &parts, user);
    freelocale(user);
  } else {
    length = strftime(buffer, sizeof buffer, format, &parts);
  }
  return std::string(buffer, length);
}

}  // namespace

std::string FormatLocalDate(std::time_t time) { return FormatTimeInUserLocale(time, "%x"); }

std::string FormatLocalTime(std::time_t time) { return FormatTimeInUserLocale(time, "%X"); }

void InitNames() {
  NameTables& names = Names();
  names = NameTables{};
  for (int i = 1; i <= kFixedBuiltinSlots; ++i) {
    const BuiltinEntry& entry = kBuiltins[i - 1];
    names.builtin[i] = "$(" + std::string(entry.name) + ")";
    names.builtin_type[i] = entry.type;
  }
  for (int i = kFirstUserSlot; i <= kLastUserSlot; ++i) {
    names.builtin[i] = kFreeUserSlot;
    names.builtin_type[i] = FMT_PLAIN;
  }
  for (int i = kFirstAddedSlot; i <= kBuiltinSlots; ++i) {
    const BuiltinEntry& entry = kAddedBuiltins[i - kFirstAddedSlot];
    names.builtin[i] = "$(" + std::string(entry.name) + ")";
    names.builtin_type[i] = entry.type;
  }
  for (size_t i = 0; i < std::size(kSections); ++i) names.section[i + 1] = kSections[i];
  for (int i = 1; i <= kFunctionCount; ++i) names.function[i] = kFunctions[i - 1];
  ClearVarSet(GlobalVarSet());
  // A hole in the fixed table would let templates silently lose a variable.
  for (int i = 1; i <= kFixedBuiltinSlots; ++i)
    if (names.builtin[i].size() <= 3)
      FatalEnd("Internal error: built-in variable #" + std::to_string(i) + " has no name!");
}

void SetGlobalValues() {
  const std::time_t now = std::time(nullptr);
  SetGlobalVar(builtin::VERSION, kVersionText);
  SetGlobalVar(builtin::GENDATE, FormatLocalDate(now));
  SetGlobalVar(builtin::GENTIME, FormatLocalTime(now));
  SetGlobalVar(builtin::COPYRIGHT, Program().copyright);
  if (Program().debug_level > 0) SetGlobalVar(builtin::DEBUG, std::to_string(Program().debug_level));
  SetGlobalVar(builtin::ALWAYS_DEFINED, "TRUE");
}

}  // namespace snapcrate
