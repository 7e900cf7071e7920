// What the cut search knows of the base network, worked out once per run, and the computation
// of one cable's value from it.
//
// Entry points:
// - CableAnalysis::build(nw, names, nbr_conditions): reads the base network (numbered by
//   identify_sub_networks; borrowed, and it must not change afterwards) and the requested
//   condition names: figures by condition, the cables as a graph, a depth-first forest with
//   its bridges, the looped parts (two-edge-connected components), and what renumbering
//   without one cable would give. Linear in the network's size times the conditions.
// - share(): an analysis for another thread. It shares what build() worked out, which is only
//   read from then on (the analysis it came from must stay alive and must not be built again),
//   and has scratch arrays of its own: a few arrays of the network's size. Analyses made this
//   way may compute at the same time as each other and as the one they came from.
// - cable_slot(c), node_slot(n): the first nc / nn slot holding the record, or -1.
// - compute(slot, end1, end2, r, opening, budget): the value, the per-condition figures and
//   the side numbers of the cable in nc slot `slot` whose ends are in nn slots end1 and end2,
//   into r (whose arrays are allocated and zeroed), and into `opening` the split those figures
//   come from. A cable in no loop costs O(1) plus its sub-network's bus transfers when its
//   sub-network's sums are exact, else one pass over its sub-network; a cable in a loop costs
//   the search over its looped part. `budget` (null: none) limits that search: when it runs
//   out before the search has settled the value, r keeps the figures of the best split found,
//   r->val becomes a proven upper bound of the value the whole search would give (at least
//   as large, also as the results table prints it), and `opening` says so (bounded, with the
//   best split's value in found_val). A sub-network with a NaN figure searched that way gets
//   an infinite bound.
// - Read access to the analysis (graph, forest, sub-networks), for describing a split.
// Nothing here prints or ends the run; the standard containers throw std::bad_alloc.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "calc/bond_search.h"
#include "calc/cable_graph.h"
#include "calc/exact_parts.h"
#include "calc/search_budget.h"
#include "calc/side_figures.h"
#include "model/network_records.h"

namespace zevo {

// The split that gave a cable its figures. `open` holds the other cables that must be open for
// it: those joining the two sides, or a side to load centres on neither (nc slots, ascending).
// `found` is false when no split gives a flow above zero; the figures are then all zero.
// `bounded`: the search ran out of its budget; the result's val is then an upper bound, and
// found_val the value of this split, the best found.
struct Opening {
  bool found = false;
  std::vector<int> open;
  bool bounded = false;
  double found_val = 0.0;
};

class CableAnalysis {
 public:
  CableAnalysis();
  ~CableAnalysis();
  CableAnalysis(const CableAnalysis&) = delete;
  CableAnalysis& operator=(const CableAnalysis&) = delete;

  void build(const NETWORK* nw, const char* const* names, int nbr_conditions);
  std::unique_ptr<CableAnalysis> share() const;

  int cable_slot(const CONNECTION* c) const;
  int node_slot(const NODE* n) const;

  void compute(int slot, int end1, int end2, ZEVO_RESULT* r, Opening* opening,
               SearchBudget* budget);

  const CableGraph& graph() const { return t_.graph; }
  const DepthFirst& forest() const { return t_.dfs; }
  int tree_root(int node) const { return t_.tree_root[node]; }
  int sub_network_of(int node) const { return t_.figures.sub_network_of(node); }
  const std::vector<int>& nodes_of(int sub) const { return t_.figures.nodes_of(sub); }
  // The preorder position in the forest of a sub-network's first node: its nodes take the
  // positions [first, first + size) of forest().order.
  int first_position(int sub) const {
    return t_.dfs.tin[t_.tree_root[t_.figures.nodes_of(sub)[0]]];
  }
  // A cable in a loop: its ends stay joined without it (a cable from a node to itself too).
  bool in_loop(int slot) const { return !t_.dfs.bridge(t_.graph, slot); }

 private:
  // What build() works out: only read afterwards, by this analysis and those it shares it with.
  struct Tables {
    const NETWORK* nw = nullptr;
    int nbr_conditions = 0;
    SideFigures figures;
    CableGraph graph;  // nodes: nn slots; edges: nc slots
    DepthFirst dfs;
    std::unordered_map<const CONNECTION*, int> cable_slot;
    std::unordered_map<const NODE*, int> node_slot;

    std::vector<int> cable_sub;                // base sub-network of each nc slot
    std::vector<std::vector<int>> sub_cables;  // nc slots of each sub-network, ascending
    std::vector<int> component;                // looped part (two-edge-connected) of each node
    std::vector<int> tree_root;                // root of each node's depth-first tree

    // Renumbering: the lowest nc slot of each cable group (group number g at index g - 1, so
    // ascending), the number of cable-less nodes before each nn slot, and the lowest nc slot in
    // a node's subtree (below_min) and in preorder prefixes and suffixes of its tree.
    std::vector<int> group_min, lone_before, below_min, prefix_min, suffix_min;
    int nbr_groups = 0;

    // Exact sums over subtrees and looped parts.
    ExactParts exact;
  };

  explicit CableAnalysis(std::shared_ptr<Tables> tables);
  void clear_scratch();
  void number_groups();
  void number_sides(int slot, int end1, int end2, ZEVO_RESULT* r) const;
  int number_of_part(int sub, int min_slot, int lone, int other_min, int other_lone,
                     bool distinct) const;
  void compute_radial(int slot, int end1, ZEVO_RESULT* r);
  bool compute_exactly(int slot, int end1, int end2, ZEVO_RESULT* r, Opening* opening,
                       SearchBudget* budget);
  bool compute_by_bonds(int slot, int end1, int end2, ZEVO_RESULT* r, SearchBudget* budget);
  bool compute_by_cut_sets(int slot, int end1, int end2, ZEVO_RESULT* r, SearchBudget* budget);
  void collect_open_cables(int slot, const std::vector<int>& cables, std::vector<int>* open) const;
  void attach_to_component(int component, int sub);

  std::shared_ptr<Tables> tables_;
  const Tables& t_;

  // The part and split of the last cable, kept for the next cable of the same part.
  int reduced_ = -1;  // the looped part last reduced
  ExactPart part_;
  ChainBonds chains_;
  ExactSplit split_;

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

}  // namespace zevo
