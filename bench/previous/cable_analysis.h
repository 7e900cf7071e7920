// Frozen copy, in namespace zevo::previous, of the cut search as it stood before the search on
// reduced graphs, kept so that the benchmarks can state their ratios to it in the same run.
// Change nothing here but what keeps it building.
//
// What the cut search knows of the base network, worked out once per run, and the computation
// of one cable's value from it.
//
// Entry points:
// - CableAnalysis::build(nw, names, nbr_conditions): reads the base network (numbered by
//   identify_sub_networks; borrowed, and it must not change afterwards) and the requested
//   condition names: figures by condition, the cables as a graph, a depth-first forest with
//   its bridges, the looped parts (two-edge-connected components), and what renumbering
//   without one cable would give. Linear in the network's size times the conditions.
// - cable_slot(c), node_slot(n): the first nc / nn slot holding the record, or -1.
// - compute(slot, end1, end2, r, opening): the value, the per-condition figures and the side
//   numbers of the cable in nc slot `slot` whose ends are in nn slots end1 and end2, into r
//   (whose arrays are allocated and zeroed), and into `opening` the split those
//   figures come from. A cable in no loop costs O(1) plus its sub-network's bus transfers when
//   its sub-network's sums are exact, else one pass over its sub-network; a cable in a loop
//   costs the search over its looped part.
// - Read access to the analysis (graph, forest, sub-networks), for describing a split.
// Nothing here prints or ends the run; the standard containers throw std::bad_alloc.
#pragma once

#include <unordered_map>
#include <vector>

#include "model/network_records.h"
#include "previous/bond_search.h"
#include "previous/cable_graph.h"
#include "previous/side_figures.h"

namespace zevo::previous {

// The split that gave a cable its figures. `open` holds the other cables that must be open for
// it: those joining the two sides, or a side to load centres on neither (nc slots, ascending).
// `found` is false when no split gives a flow above zero; the figures are then all zero.
struct Opening {
  bool found = false;
  std::vector<int> open;
};

class CableAnalysis {
 public:
  void build(const NETWORK* nw, const char* const* names, int nbr_conditions);

  int cable_slot(const CONNECTION* c) const;
  int node_slot(const NODE* n) const;

  void compute(int slot, int end1, int end2, ZEVO_RESULT* r, Opening* opening);

  const CableGraph& graph() const { return graph_; }
  const DepthFirst& forest() const { return dfs_; }
  int tree_root(int node) const { return tree_root_[node]; }
  int sub_network_of(int node) const { return figures_.sub_network_of(node); }
  const std::vector<int>& nodes_of(int sub) const { return figures_.nodes_of(sub); }
  // The preorder position in the forest of a sub-network's first node: its nodes take the
  // positions [first, first + size) of forest().order.
  int first_position(int sub) const { return dfs_.tin[tree_root_[figures_.nodes_of(sub)[0]]]; }
  // A cable in a loop: its ends stay joined without it (a cable from a node to itself too).
  bool in_loop(int slot) const { return !dfs_.bridge(graph_, slot); }

 private:
  void number_groups();
  void sum_subtrees();
  void number_sides(int slot, int end1, int end2, ZEVO_RESULT* r) const;
  int number_of_part(int sub, int min_slot, int lone, int other_min, int other_lone,
                     bool distinct) const;
  void compute_radial(int slot, int end1, ZEVO_RESULT* r);
  bool compute_by_bonds(int slot, int end1, int end2, ZEVO_RESULT* r);
  bool compute_by_cut_sets(int slot, int end1, int end2, ZEVO_RESULT* r);
  void collect_open_cables(int slot, int sub, std::vector<int>* open) const;
  void attach_to_component(int component, int sub);

  const NETWORK* nw_ = nullptr;
  int nbr_conditions_ = 0;
  SideFigures figures_;
  CableGraph graph_;  // nodes: nn slots; edges: nc slots
  DepthFirst dfs_;
  std::unordered_map<const CONNECTION*, int> cable_slot_;
  std::unordered_map<const NODE*, int> node_slot_;

  std::vector<int> cable_sub_;                // base sub-network of each nc slot
  std::vector<std::vector<int>> sub_cables_;  // nc slots of each sub-network, ascending
  std::vector<int> component_;                // looped part (two-edge-connected) of each node
  std::vector<int> tree_root_;                // root of each node's depth-first tree

  // Renumbering: the lowest nc slot of each cable group (group number g at index g - 1, so
  // ascending), the number of cable-less nodes before each nn slot, and the lowest nc slot in
  // a node's subtree (below_min_) and in preorder prefixes and suffixes of its tree.
  std::vector<int> group_min_, lone_before_, below_min_, prefix_min_, suffix_min_;
  int nbr_groups_ = 0;

  // Sums over every depth-first subtree, [ci * nodes + x]; used where they are exact.
  std::vector<double> subtree_g_, subtree_l_;

  // The looped part last attached to: where each node of its sub-network hangs from it, and
  // the part as a bond problem without its cables.
  int attached_ = -1, members_ = 0;
  std::vector<int> hang_, local_;
  std::vector<int> part_edges_;
  BondProblem problem_;

  std::vector<signed char> side_;       // by nn slot; 0 outside the split being balanced
  std::vector<signed char> best_side_;  // by nn slot: the split of the best figures so far
  SideBalance best_;
};

}  // namespace zevo::previous
