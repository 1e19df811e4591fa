#include "app/template/template_expander.h"

#include "app/program_state.h"
#include "app/template/template_functions.h"

namespace snapcrate {
namespace {

// GetVarValue without the copy for the common case: a plain built-in value
// outside debug mode, where no check or format applies.
void AppendVarValue(std::string& out, const VarSet& set, int kind, int index) {
  if (kind == kKindBuiltin && index >= 1 && index <= kBuiltinSlots && Program().debug_level <= 0 &&
      Names().builtin_type[index] == FMT_PLAIN) {
    if (set.builtin_defined[index]) {
      out += set.builtin_values[index];
      return;
    }
    const VarSet& global = GlobalVarSet();
    if (global.builtin_defined[index]) {
      out += global.builtin_values[index];
      return;
    }
  }
  out += GetVarValue(set, kind, index);
}

}  // namespace

void ExpandNodesInto(std::string& out, const VarSet& set, NodeId n) {
  while (n != 0) {
    const TemplateNode& node = Node(n);
    switch (node.type) {
      case kNodeStr:
        out += node.text;
        break;
      case kNodeVar:
        AppendVarValue(out, set, node.kind, node.index);
        break;
      case kNodeFunc: {
        // The slot's own format type applies first, the function on top of it.
        const std::string value = GetVarValue(set, node.kind, node.index);
        out += node.function != 0 ? FormatValue(node.function, value) : ApplyFunction(node.text, value);
        break;
      }
      case kNodeIfdef:
        if (IsVarDefined(set, node.kind, node.index)) ExpandNodesInto(out, set, node.child);
        break;
      case kNodeIfndef:
        if (!IsVarDefined(set, node.kind, node.index)) ExpandNodesInto(out, set, node.child);
        break;
      default:
        break;
    }
    n = node.next;
  }
}

std::string ExpandNodes(const VarSet& set, NodeId n) {
  std::string out;
  ExpandNodesInto(out, set, n);
  return out;
}

}  // namespace snapcrate
