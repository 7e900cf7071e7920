#include "calc/governing_case.h"

#include <algorithm>

namespace zevo {
namespace {

void list_side(std::vector<int> nodes, CableSide* side) {
  side->nbr_nodes = static_cast<int>(nodes.size());
  side->listed = true;
  side->nodes = std::move(nodes);
}

// The rest of the sub-network when the sides cover it: only the smaller side stays listed.
void leave_larger_side_unlisted(int sub_size, CableSide* side1, CableSide* side2) {
  if (side1->nbr_nodes + side2->nbr_nodes != sub_size) return;
  CableSide* larger = side2->nbr_nodes >= side1->nbr_nodes ? side2 : side1;
  larger->listed = false;
  larger->nodes.clear();
  larger->nodes.shrink_to_fit();
}

// A cable in no loop: one side is the subtree below it, the other the rest of its tree. The
// smaller one is read off the preorder, in one range or two.
void describe_radial_sides(const CableAnalysis& analysis, int slot, int end1,
                           GoverningCase* governing) {
  const DepthFirst& forest = analysis.forest();
  const int below = forest.tree_child(analysis.graph(), slot);
  const int root = analysis.tree_root(below);
  const int below_size = forest.tout[below] - forest.tin[below];
  const int tree_size = forest.tout[root] - forest.tin[root];
  CableSide& below_side = end1 == below ? governing->side1 : governing->side2;
  CableSide& above_side = end1 == below ? governing->side2 : governing->side1;
  below_side.nbr_nodes = below_size;
  above_side.nbr_nodes = tree_size - below_size;
  const bool list_below = below_size < tree_size - below_size ||
                          (below_size == tree_size - below_size && end1 == below);
  CableSide& listed = list_below ? below_side : above_side;
  listed.listed = true;
  auto from = forest.order.begin();
  if (list_below) {
    listed.nodes.assign(from + forest.tin[below], from + forest.tout[below]);
  } else {
    listed.nodes.assign(from + forest.tin[root], from + forest.tin[below]);
    listed.nodes.insert(listed.nodes.end(), from + forest.tout[below], from + forest.tout[root]);
  }
  std::sort(listed.nodes.begin(), listed.nodes.end());
}

}  // namespace

// The nodes reached from `start` over cables not marked closed, ascending.
std::vector<int> GoverningCases::reach(const CableGraph& graph, int start) {
  std::vector<int> found = {start};
  seen_[start] = 1;
  for (std::size_t next = 0; next < found.size(); ++next) {
    const int x = found[next];
    for (int h = graph.first(x); h < graph.first(x + 1); ++h) {
      const int y = graph.neighbour(h);
      if (closed_[graph.edge(h)] || seen_[y]) continue;
      seen_[y] = 1;
      found.push_back(y);
    }
  }
  for (int x : found) seen_[x] = 0;
  std::sort(found.begin(), found.end());
  return found;
}

GoverningCase GoverningCases::describe(const CableAnalysis& analysis, int slot, int end1, int end2,
                                       const Opening& opening, const ZEVO_RESULT* r) {
  GoverningCase governing;
  governing.sub_network = analysis.sub_network_of(end1);
  governing.found = opening.found;
  if (!opening.found) return governing;
  for (int ci = 0; ci < r->nbr_conditions && governing.condition < 0; ++ci) {
    if (r->c_val[ci] == r->val) governing.condition = ci;
  }
  governing.open = opening.open;
  if (!analysis.in_loop(slot)) {
    describe_radial_sides(analysis, slot, end1, &governing);
    return governing;
  }
  const CableGraph& graph = analysis.graph();
  closed_.resize(graph.nbr_edges(), 0);
  seen_.resize(graph.nbr_nodes(), 0);
  closed_[slot] = 1;
  for (int k : opening.open) closed_[k] = 1;
  list_side(reach(graph, end1), &governing.side1);
  list_side(reach(graph, end2), &governing.side2);
  closed_[slot] = 0;
  for (int k : opening.open) closed_[k] = 0;
  leave_larger_side_unlisted(static_cast<int>(analysis.nodes_of(governing.sub_network).size()),
                             &governing.side1, &governing.side2);
  return governing;
}

}  // namespace zevo
