#include "app/template/node_dump.h"

#include <string>

#include "app/template/var_names.h"

namespace snapcrate {

bool DumpNodes(TextFile* file, NodeId n, int level) {
  const std::string indent(static_cast<size_t>(2 * level), ' ');
  auto line = [&](const std::string& text) {
    if (file) file->WriteLine(indent + text);
  };
  bool suspect = false;
  while (n != 0) {
    const TemplateNode& node = Node(n);
    switch (node.type) {
      case kNodeStr:
        line("STR \"" + node.text + "\"");
        if (node.text.find("$(") != std::string::npos) {
          line("+++ Warning: Misspelled variable??");
          suspect = true;
        }
        if (node.text.find("SYNTAX ERROR") != std::string::npos &&
            node.text.find("+++") != std::string::npos) {
          line("+++ SYNTAX ERROR ?!");
          suspect = true;
        }
        break;
      case kNodeVar:
        line("VAR " + GetVarName(node.kind, node.index));
        break;
      case kNodeFunc:
        line("FUNC " + node.text + "(" + GetVarName(node.kind, node.index) + ")");
        break;
      case kNodeIfdef:
      case kNodeIfndef:
        line((node.type == kNodeIfdef ? "IFDEF " : "IFNDEF ") + GetVarName(node.kind, node.index) +
             " THEN");
        if (DumpNodes(file, node.child, level + 1)) suspect = true;
        line("ENDIF");
        break;
      default:
        break;
    }
    n = node.next;
  }
  return suspect;
}

}  // namespace snapcrate
