#include "app/template/page_sections.h"

#include "app/program_state.h"
#include "app/template/template_compiler.h"
#include "app/template/template_expander.h"

namespace snapcrate {

void CompilePageSections(PageSections& sections) {
  for (int i = 1; i <= kSectionSlots; ++i) sections.first_node[i] = CompileTemplate(sections.text[i]);
}

bool IsSectionEmpty(const PageSections& sections, int i) {
  return i < 1 || i > kSectionSlots || sections.first_node[i] == 0;
}

std::string ExpandSection(const VarSet& set, const PageSections& sections, int i) {
  if (i < 1 || i > kSectionSlots) return "";
  std::string out;
  // The comment goes before a page's first line only where it cannot end up
  // in front of the document type declaration.
  if (Program().debug_level > 0 && i != section::PageStart)
    out = "\r\n<!--" + Names().section[i] + "-->\r\n";
  const size_t before = out.size();
  ExpandNodesInto(out, set, sections.first_node[i]);
  if (out.size() > before) out += "\r\n";
  return out;
}

}  // namespace snapcrate
