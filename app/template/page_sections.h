#pragma once
// The 23 template sections of a page scheme, compiled once and expanded for
// every page written.

#include <array>
#include <string>

#include "app/template/node_pool.h"
#include "app/template/var_names.h"
#include "app/template/var_set.h"

namespace snapcrate {

struct PageSections {
  std::array<std::string, kSectionSlots + 1> text;     // slots 1 to 23
  std::array<NodeId, kSectionSlots + 1> first_node{};  // 0 for an empty section
};

/// Compiles the texts of sections 1 to 23 into their first nodes.
void CompilePageSections(PageSections& sections);
/// True when section `i` (1 to 23) compiled to nothing.
bool IsSectionEmpty(const PageSections& sections, int i);
/// The section's text for the current page: ends in CR LF unless empty; in
/// debug mode headed by a comment naming the section (not for "PageStart").
std::string ExpandSection(const VarSet& set, const PageSections& sections, int i);

}  // namespace snapcrate
