#include "calc/governing_case.h"

#include <algorithm>

namespace zevo {
namespace {

void add_slice(int first, int end, CableSide* side) {
  if (first < end) side->slices.emplace_back(first, end);
}

// A cable in no loop: one side is the subtree below it, the other the rest of its tree.
void describe_radial_sides(const CableAnalysis& analysis, int slot, int end1, int base,
                           GoverningCase* governing) {
  const DepthFirst& forest = analysis.forest();
  const int below = forest.tree_child(analysis.graph(), slot);
  const int from = forest.tin[below] - base, to = forest.tout[below] - base;
  const int size = static_cast<int>(analysis.nodes_of(governing->sub_network).size());
  CableSide& below_side = end1 == below ? governing->side1 : governing->side2;
  CableSide& above_side = end1 == below ? governing->side2 : governing->side1;
  below_side.nbr_nodes = to - from;
  add_slice(from, to, &below_side);
  above_side.nbr_nodes = size - (to - from);
  add_slice(0, from, &above_side);
  add_slice(to, size, &above_side);
}

}  // namespace

// The nodes reached from `start` over cables not marked closed, as slices of the depth-first
// order counted from `base`.
CableSide GoverningCases::reach(const CableAnalysis& analysis, int start, int base) {
  const CableGraph& graph = analysis.graph();
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
  for (int& x : found) {
    seen_[x] = 0;
    x = analysis.forest().tin[x] - base;
  }
  std::sort(found.begin(), found.end());
  CableSide side;
  side.nbr_nodes = static_cast<int>(found.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    if (i > 0 && found[i] == found[i - 1] + 1) {
      side.slices.back().second = found[i] + 1;
    } else {
      side.slices.emplace_back(found[i], found[i] + 1);
    }
  }
  return side;
}

GoverningCase GoverningCases::describe(const CableAnalysis& analysis, int slot, int end1, int end2,
                                       const Opening& opening, const ZEVO_RESULT* r) {
  GoverningCase governing;
  governing.sub_network = analysis.sub_network_of(end1);
  governing.bounded = opening.bounded;
  governing.found_val = opening.found_val;
  governing.found = opening.found;
  if (!opening.found) return governing;
  const double val = opening.bounded ? opening.found_val : r->val;
  for (int ci = 0; ci < r->nbr_conditions && governing.condition < 0; ++ci) {
    if (r->c_val[ci] == val) governing.condition = ci;
  }
  governing.open = opening.open;
  const int base = analysis.first_position(governing.sub_network);
  if (!analysis.in_loop(slot)) {
    describe_radial_sides(analysis, slot, end1, base, &governing);
    return governing;
  }
  closed_.resize(analysis.graph().nbr_edges(), 0);
  seen_.resize(analysis.graph().nbr_nodes(), 0);
  closed_[slot] = 1;
  for (int k : opening.open) closed_[k] = 1;
  governing.side1 = reach(analysis, end1, base);
  governing.side2 = reach(analysis, end2, base);
  closed_[slot] = 0;
  for (int k : opening.open) closed_[k] = 0;
  return governing;
}

}  // namespace zevo
