#pragma once
// The template language's closed name space: the built-in, common-file and
// page variable tables, the section names and the function names. Slots count
// from 1; slot 0 of every table is unused.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace snapcrate {

inline constexpr int kBuiltinSlots = 98;
inline constexpr int kFixedBuiltinSlots = 86;
inline constexpr int kFirstUserSlot = 87;
inline constexpr int kLastUserSlot = 96;
/// Variables added later sit behind the user slots, so that no earlier slot
/// number moves.
inline constexpr int kFirstAddedSlot = 97;
inline constexpr int kFileSlots = 51;
inline constexpr int kPageSlots = 50;
inline constexpr int kSectionSlots = 23;
inline constexpr int kFunctionCount = 4;

/// The name a free user variable slot holds.
inline constexpr std::string_view kFreeUserSlot = "$(####)";

enum VarKind : int16_t { kKindBuiltin = 1, kKindFile = 2, kKindPage = 3 };

/// Format types of built-in slots; 1 to 4 are also the function numbers.
enum FormatType : int16_t {
  FMT_PLAIN = 0,
  FMT_PRINT_SHORT = 1,
  FMT_PRINT = 2,
  FMT_LINK = 3,
  FMT_MULTILINE = 4,
};

/// Slot numbers of the fixed built-in variables: builtin::PIC_TITLE is 37.
namespace builtin {
enum : int16_t {
  kNoSlot = 0,
#define SNAPCRATE_BUILTIN(name, type) name,
#include "app/template/builtin_variables.def"
#undef SNAPCRATE_BUILTIN
  PIC_THUMBNAIL2X_LINK = kFirstAddedSlot,
  CHAPTER_MAINTHUMBNAIL2X_LINK,
};
}  // namespace builtin
static_assert(builtin::CUR_ROOT_LINK == kFixedBuiltinSlots);
static_assert(builtin::CHAPTER_MAINTHUMBNAIL2X_LINK == kBuiltinSlots);

/// Section numbers: section::MainSection is 5.
namespace section {
enum : int {
  kNoSection = 0,
#define SNAPCRATE_SECTION(name) name,
#include "app/template/page_sections.def"
#undef SNAPCRATE_SECTION
};
}  // namespace section
static_assert(section::SubChapterEnd == kSectionSlots - 1);

struct NameTables {
  std::array<std::string, kBuiltinSlots + 1> builtin;  // "$(NAME)"
  std::array<int16_t, kBuiltinSlots + 1> builtin_type{};
  std::array<std::string, kFileSlots + 1> file;       // "$(FILES[name])"
  std::array<std::string, kFileSlots + 1> file_bare;  // name; empty = free
  std::array<std::string, kPageSlots + 1> page;       // "$(PAGES[name])"
  std::array<std::string, kPageSlots + 1> page_bare;
  std::array<std::string, kSectionSlots + 1> section;
  std::array<std::string, kFunctionCount + 1> function;
};

/// The program's name tables.
NameTables& Names();

struct VarRef {
  bool found = false;
  int16_t kind = 0;
  int16_t index = 0;
};

/// Looks a template-form name up: built-in slots, then common files, then pages.
VarRef FindVariable(std::string_view name);
/// Slot 1 to kBuiltinSlots of the exact match in the built-in table, or -1.
int FindBuiltinIndex(std::string_view name);
/// The template-form name of a slot; "$$$" for an unknown kind.
std::string GetVarName(int kind, int index);

/// Slot of a bare common-file name, or -1.
int FindFileName(std::string_view bare);
/// Slot of the name, taking the first free slot for a new one; -1 when all are taken.
int AddFileName(std::string_view bare);
/// Slot of a bare page name, or -1.
int FindPageName(std::string_view bare);
/// Slot of the name, taking the first free slot for a new one; -1 when all are taken.
int AddPageName(std::string_view bare);

}  // namespace snapcrate
