// The exact sums of a network's depth-first subtrees, and what follows from them: the two sides
// of a cable in no loop, and a looped part with everything that hangs from each of its nodes,
// ready for the bond search of chain_bonds.h. All sums are exact fixed sums (exact_sums.h);
// they are the balance's figures only once settle_figures has judged them.
//
// Entry points:
// - ExactParts::build(figures, graph, forest, component, tree_root): borrows its arguments,
//   which must outlive it and stay unchanged; sums every subtree under every condition (when
//   the network's figures can be scaled at all) and lists the nodes and cables of every looped
//   part. Linear in the network's size times the conditions.
// - split_radial(slot, end1, sub, out): the sums of the two sides of the bridge in nc slot
//   `slot`, side 1 being end1's: the subtree below it and the rest of its tree, with the
//   sub-network's bus transfers. O(1) plus the sub-network's bus transfers.
// - make_part(component, sub, part): the looped part with all its cables; its nodes are
//   numbered by their place in members(component), its cables by their place in
//   cables(component) (nc slots, ascending). Costs the part's size, its nodes' degrees, and,
//   for a bus transfer, the depth of its ends below the part.
// - settle_figures(figures, sub, split, out): the doubles nearest to the exact sums, and their
//   value; returns false when the printed value of the prescribed sums is not settled by them
//   (the value lies within the sums' error bound of a rounding boundary of the results table),
//   so the caller must balance in the prescribed order.
// Nothing here prints or ends the run; the standard containers throw std::bad_alloc.
#pragma once

#include <span>
#include <vector>

#include "calc/balance.h"
#include "calc/cable_graph.h"
#include "calc/chain_bonds.h"
#include "calc/side_figures.h"

namespace zevo {

class ExactParts {
 public:
  void build(const SideFigures& figures, const CableGraph& graph, const DepthFirst& forest,
             const std::vector<int>& component, const std::vector<int>& tree_root);

  void split_radial(int slot, int end1, int sub, ExactSplit* out) const;
  void make_part(int component, int sub, ExactPart* part) const;

  std::span<const int> members(int component) const {
    return slice(member_first_, member_nodes_, component);
  }
  std::span<const int> cables(int component) const {
    return slice(cable_first_, cable_slots_, component);
  }
  int local(int node) const { return local_[node]; }

 private:
  std::size_t at(int ci, int x) const { return static_cast<std::size_t>(ci) * nbr_nodes_ + x; }
  int hang_of(int x, int component, int top) const;

  const SideFigures* figures_ = nullptr;
  const CableGraph* graph_ = nullptr;
  const DepthFirst* dfs_ = nullptr;
  const std::vector<int>* component_ = nullptr;
  const std::vector<int>* tree_root_ = nullptr;
  int nbr_nodes_ = 0;
  std::vector<Fixed> subtree_g_, subtree_l_;  // [ci * nodes + x]
  static std::span<const int> slice(const std::vector<int>& first, const std::vector<int>& items,
                                    int component) {
    return {items.data() + first[component], items.data() + first[component + 1]};
  }
  // Per looped part, as ranges [first[c], first[c + 1]): a tree has as many parts as nodes.
  std::vector<int> member_first_, member_nodes_, cable_first_, cable_slots_;
  std::vector<int> local_;
};

bool settle_figures(const SideFigures& figures, int sub, const ExactSplit& split, SideBalance* out);

}  // namespace zevo
