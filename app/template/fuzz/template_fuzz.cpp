// Compiles and expands random templates with random variable sets: no crash,
// no hang, and never a node handed out past the pool.
//
// Input layout: byte 0 = debug level (low bit), bytes 1-13 = which built-in
// slots the page set defines (one bit each), byte 14 = which of four common
// files and pages it defines; the rest is the template text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/program_state.h"
#include "app/template/builtin_variables.h"
#include "app/template/node_dump.h"
#include "app/template/node_pool.h"
#include "app/template/page_sections.h"
#include "app/template/template_compiler.h"
#include "app/template/template_expander.h"
#include "app/template/var_set.h"
#include "app/ui_port.h"

namespace {

using namespace snapcrate;

constexpr size_t kHeader = 15;

void Setup() {
  static bool done = false;
  if (done) return;
  done = true;
  InitNames();
  for (const char* name : {"style", "script", "logo", "back"}) AddFileName(name);
  for (const char* name : {"index", "pic", "main", "slides"}) AddPageName(name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Setup();
  if (size < kHeader) return 0;
  Program().debug_level = data[0] & 1;
  VarSet set;
  for (int i = 1; i <= kBuiltinSlots; ++i) {
    const int bit = i - 1;
    if (data[1 + bit / 8] & (1 << (bit % 8)))
      SetBuiltinVar(set, i, "v" + std::to_string(i) + (i % 3 == 0 ? " <b>\"q\"</b>//x" : ""));
  }
  for (int i = 1; i <= 4; ++i) {
    if (data[14] & (1 << (i - 1))) SetFileVar(set, i, "f" + std::to_string(i) + ".css");
    if (data[14] & (1 << (i + 3))) SetPageVar(set, i, "p " + std::to_string(i) + ".htm");
  }
  const std::string_view text(reinterpret_cast<const char*>(data + kHeader), size - kHeader);

  ResetNodes();
  try {
    PageSections sections;
    sections.text[section::MainSection] = std::string(text);
    sections.text[section::PageStart] = std::string(text.substr(0, text.size() / 2));
    CompilePageSections(sections);
    if (NodeCounter() >= kNodeLimit) std::abort();
    for (int i = 1; i <= kSectionSlots; ++i) {
      ExpandSection(set, sections, i);
      DumpNodes(nullptr, sections.first_node[i], 0);
    }
    ExpandNodes(set, CompileTemplate(text));
  } catch (const FatalEndError& error) {
    // Running out of nodes is the one allowed end, and only at the pool's limit.
    if (error.message != "out of nodes" || NodeCounter() < kNodeLimit) std::abort();
  }
  Program().debug_level = 0;
  return 0;
}
