#pragma once
// Shared set-up of the template engine tests: fresh name tables, an empty node
// pool and global set, debug output off, and a recording UI port.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/program_state.h"
#include "app/template/builtin_variables.h"
#include "app/template/node_pool.h"
#include "app/template/template_compiler.h"
#include "app/template/template_expander.h"
#include "app/template/var_set.h"
#include "tests/support/recording_ui_port.h"

namespace snapcrate::testing {

class TemplateTest : public ::testing::Test {
 protected:
  TemplateTest() {
    Program().debug_level = 0;
    InitNames();
    ResetNodes();
  }
  ~TemplateTest() override { Program().debug_level = 0; }

  /// Compiles `text` and expands it with the page set.
  std::string Expand(std::string_view text) { return ExpandNodes(page_, CompileTemplate(text)); }

  RecordingUiPort ui_;
  VarSet page_;
};

}  // namespace snapcrate::testing
