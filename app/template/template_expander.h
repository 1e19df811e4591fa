#pragma once
// Turns a compiled node chain and a variable set into output text. A walk of
// the nodes with appends; no text is searched.

#include <string>

#include "app/template/node_pool.h"
#include "app/template/var_set.h"

namespace snapcrate {

/// The expanded text of the chain starting at node `n`.
std::string ExpandNodes(const VarSet& set, NodeId n);
/// Appends the expanded text of the chain starting at node `n` to `out`.
void ExpandNodesInto(std::string& out, const VarSet& set, NodeId n);

}  // namespace snapcrate
