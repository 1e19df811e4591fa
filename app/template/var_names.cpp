#include "app/template/var_names.h"

namespace snapcrate {
namespace {

// Used slots form a prefix of a table, so a lookup stops at the first free one.
template <size_t N>
int FindBare(const std::array<std::string, N>& bare, std::string_view name) {
  for (size_t i = 1; i < N && !bare[i].empty(); ++i)
    if (bare[i] == name) return static_cast<int>(i);
  return -1;
}

template <size_t N>
int AddBare(std::array<std::string, N>& bare, std::array<std::string, N>& wrapped,
            std::string_view name, std::string_view prefix) {
  for (size_t i = 1; i < N; ++i) {
    if (bare[i].empty()) {
      bare[i] = name;
      wrapped[i] = std::string(prefix) + std::string(name) + "])";
      return static_cast<int>(i);
    }
    if (bare[i] == name) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

NameTables& Names() {
  static NameTables tables;
  return tables;
}

VarRef FindVariable(std::string_view name) {
  const NameTables& names = Names();
  for (int i = 1; i <= kBuiltinSlots; ++i)
    if (names.builtin[i] == name) return {true, kKindBuiltin, static_cast<int16_t>(i)};
  for (int i = 1; i <= kFileSlots && !names.file_bare[i].empty(); ++i)
    if (names.file[i] == name) return {true, kKindFile, static_cast<int16_t>(i)};
  for (int i = 1; i <= kPageSlots && !names.page_bare[i].empty(); ++i)
    if (names.page[i] == name) return {true, kKindPage, static_cast<int16_t>(i)};
  return {};
}

int FindBuiltinIndex(std::string_view name) {
  const NameTables& names = Names();
  for (int i = 1; i <= kBuiltinSlots; ++i)
    if (names.builtin[i] == name) return i;
  return -1;
}

std::string GetVarName(int kind, int index) {
  const NameTables& names = Names();
  switch (kind) {
    case kKindBuiltin:
      if (index >= 1 && index <= kBuiltinSlots) return names.builtin[index];
      break;
    case kKindFile:
      if (index >= 1 && index <= kFileSlots) return names.file[index];
      break;
    case kKindPage:
      if (index >= 1 && index <= kPageSlots) return names.page[index];
      break;
    default:
      return "$$$";
  }
  return "";
}

int FindFileName(std::string_view bare) { return FindBare(Names().file_bare, bare); }

int AddFileName(std::string_view bare) {
  NameTables& names = Names();
  return AddBare(names.file_bare, names.file, bare, "$(FILES[");
}

int FindPageName(std::string_view bare) { return FindBare(Names().page_bare, bare); }

int AddPageName(std::string_view bare) {
  NameTables& names = Names();
  return AddBare(names.page_bare, names.page, bare, "$(PAGES[");
}

}  // namespace snapcrate
