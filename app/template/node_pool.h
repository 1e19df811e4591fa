#pragma once
// The pool in which compiled templates live: nodes 1 to 4998 can be handed
// out, node 0 means "no node". Nodes are never freed one by one; ResetNodes
// invalidates every compiled template at once.

#include <cstdint>
#include <string>

namespace snapcrate {

inline constexpr int kNodePoolSize = 5001;
/// The counter value at which the pool counts as exhausted.
inline constexpr int kNodeLimit = 5000;

using NodeId = int16_t;

enum NodeType : int16_t {
  kNodeNone = 0,
  kNodeStr = 1,
  kNodeVar = 2,
  kNodeFunc = 3,
  kNodeIfdef = 4,
  kNodeIfndef = 5,
};

struct TemplateNode {
  int16_t type = kNodeNone;
  int16_t kind = 0;   // variable of VAR, FUNC, IFDEF, IFNDEF
  int16_t index = 0;
  std::string text;   // literal text of STR, function name of FUNC
  int16_t function = 0;  // number of the FUNC node's function, so expansion needs no lookup
  NodeId child = 0;   // first node of a conditional's body
  NodeId next = 0;
};

/// Makes every node free again.
void ResetNodes();
/// A fresh node's number; ends the program with "out of nodes" when the pool is exhausted.
NodeId AllocNode();
/// The node with number `n` (1 to 5000).
TemplateNode& Node(NodeId n);
/// The number the next AllocNode would return.
int NodeCounter();

}  // namespace snapcrate
