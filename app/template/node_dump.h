#pragma once
// The indented text form of a compiled template, for the codes dump.

#include "app/file_lib.h"
#include "app/template/node_pool.h"

namespace snapcrate {

/// Writes the chain starting at `n`, one line per node indented by 2 x `level`
/// blanks (nothing when `file` is null); true when it met a suspected error.
bool DumpNodes(TextFile* file, NodeId n, int level);

}  // namespace snapcrate
