#include "app/template/node_pool.h"

#include <vector>

#include "app/ui_port.h"

namespace snapcrate {
namespace {

struct Pool {
  std::vector<TemplateNode> nodes = std::vector<TemplateNode>(kNodePoolSize);
  int counter = 1;
};

Pool& ThePool() {
  static Pool pool;
  return pool;
}

}  // namespace

void ResetNodes() { ThePool().counter = 1; }

NodeId AllocNode() {
  Pool& pool = ThePool();
  const int n = pool.counter;
  ++pool.counter;
  // The counter may pass the limit only through requests that all end here.
  if (pool.counter >= kNodeLimit) FatalEnd("out of nodes");
  pool.nodes[n] = TemplateNode{};
  return static_cast<NodeId>(n);
}

TemplateNode& Node(NodeId n) { return ThePool().nodes.at(static_cast<size_t>(n)); }

int NodeCounter() { return ThePool().counter; }

}  // namespace snapcrate
