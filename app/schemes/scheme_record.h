#pragma once
// The scheme table: every scheme directory below etc/ with its page schemes,
// compiled into the node pool when read.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/template/page_sections.h"
#include "app/template/var_names.h"
#include "app/template/var_set.h"

namespace snapcrate {

inline constexpr int kMaxSchemes = 10;
inline constexpr int kMaxPageSchemes = 12;

/// Page kinds, as the "PageSchemes" section names them.
enum PageKind : int16_t { kPageIndexMain = 1, kPageIndex = 2, kPagePicture = 3 };

/// The template set for one kind of page.
struct PageScheme {
  int16_t kind = 0;
  std::string name;
  int16_t gen_if_defined = -1;      // built-in slot, or -1
  int16_t gen_if_not_defined = -1;  // built-in slot, or -1
  int16_t page_var = 0;             // slot of "$(PAGES[" + name + "])"
  PageSections sections;
  /// File names relative to the scheme directory, by common-file slot; empty: not provided.
  std::array<std::string, kFileSlots + 1> common_files;
};

struct Scheme {
  std::string name;
  std::string short_name;
  std::string description;
  std::string preview_image;
  std::string dir;  // without trailing "/"
  std::vector<PageScheme> page_schemes;  // at most 12, numbered from 1
};

/// The loaded schemes, numbered from 1 in loading order (at most 10).
std::vector<Scheme>& Schemes();
/// Number 1 to n of the scheme whose Name is `name` (exact), or 0.
int FindSchemeByName(const std::string& name);

inline bool IsSectionEmpty(const PageScheme& page, int i) { return IsSectionEmpty(page.sections, i); }
inline std::string ExpandSection(const VarSet& set, const PageScheme& page, int i) {
  return ExpandSection(set, page.sections, i);
}

}  // namespace snapcrate
