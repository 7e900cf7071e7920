// The bond search over a looped part of a network with exact sums, on the part reduced to its
// branch points: the load centres where three or more cables meet, the cable's two ends and the
// ends of bus transfers. Between them run chains of load centres with two cables each (ring
// segments between the points where ties join). A bond (both sides joined in themselves) takes
// a chain whose ends lie on one side whole, and cuts a chain whose ends lie on different sides
// exactly once; where it cuts follows from prefix sums along the chain, since moving the cut
// toward side 2 adds to side 1's sums and takes from side 2's.
//
// Over the reduced graph the bonds are explored with branch and bound as in bond_search.h; for
// each bond of the reduced graph the cut positions along its cut chains are found condition by
// condition and for each direction of flow by cut_positions.h.
//
// Entry points:
// - ChainBonds::reduce(part): takes a looped part with every one of its cables (borrowed; it
//   must outlive the searches), with its nodes' figures and everything that hangs from them, its
//   bus transfers, all as exact fixed sums (exact_sums.h), and no negative figure; finds its
//   branch points and chains once. Linear in the part's size times the conditions.
// - ChainBonds::search(cable, s, t, best, budget): the part without the cable (an index into
//   part's cables) whose ends are nodes s and t. Finds the largest value of any bond between s
//   and t, if it is above best->val (0 for a fresh search), with its per-condition sums and in
//   best->cuts the part's cables that it cuts (ascending). Returns whether it found one; among
//   bonds of equal value the first found is kept. Costs the reduced graph's size per node of
//   the search, not the part's. Memory: a few arrays of the part's size. `budget` (null: none)
//   is asked before every search node and every condition and direction of a bond's cut
//   positions; once it has run out the search stops, with `best` the best bond found so far.
// - pending_bound(): after a search that stopped, the largest bound of the search nodes it left
//   on its stack that could still beat best->val: every bond it did not explore is worth at
//   most that. 0 when none could, or when the search ran to its end: `best` is then exact.
#pragma once

#include <array>
#include <map>
#include <vector>

#include "calc/cut_positions.h"
#include "calc/exact_sums.h"
#include "calc/search_budget.h"

namespace zevo {

struct ExactPart {
  int nbr_nodes = 0;
  int nbr_conditions = 0;
  std::vector<int> end1, end2;  // cables, as node pairs
  std::vector<Fixed> g, l;      // [ci * nbr_nodes + x]
  // Bus transfers: ends as nodes (-1: outside the part), figures at [ci * nbr_bus + i].
  std::vector<int> bus_a, bus_b;
  std::vector<Fixed> bus_g, bus_l;
};

struct ExactSplit {
  Fixed val = 0;
  std::vector<Fixed> g1, l1, g2, l2;  // by condition
  std::vector<int> cuts;              // cables of the part
};

class ChainBonds {
 public:
  void reduce(const ExactPart& part);
  bool search(int cable, int s, int t, ExactSplit* best, SearchBudget* budget);
  Fixed pending_bound() const;

 private:
  // A chain of the part: between keys u and v, its interior nodes chain_nodes_[nodes, + len)
  // from u, its cables chain_edges_[edges, + len + 1) (cable i joins interior nodes i - 1 and
  // i, u and v standing at -1 and len), prefix sums pre_g_[pre + ci * (len + 1) + j].
  struct Chain {
    int u, v, nodes, edges, len;
    std::size_t pre;
  };
  // A chain, or the piece of one that the cable leaves, as an edge of the reduced graph: the
  // chain's interior nodes [from, from + len).
  struct View {
    int u, v, chain, from, len;
  };
  struct Cut {
    int view;
    bool from_u;  // u lies on side 1
  };
  struct Sums {
    std::vector<Fixed> g1, l1, g2, l2;
    void assign(int nbr);
    Fixed value() const;
  };
  struct Frame {
    std::size_t first, last, next, trail;
    bool child_open;
    Fixed bound;  // of every bond below the frame's search node
  };

  Fixed prefix(const std::vector<Fixed>& pre, const View& v, int ci, int j) const;
  Fixed total(const std::vector<Fixed>& pre, const View& v, int ci) const {
    return prefix(pre, v, ci, v.len);
  }
  Fixed taken(const std::vector<Fixed>& pre, const Cut& cut, int ci, int p) const;
  int cut_edge(const Cut& cut, int p) const;
  int add_key(int node);
  int add_key_index(int node) const;
  void cut_out(int cable, int s, int t);
  std::size_t key_index(int ci, int k) const {
    return static_cast<std::size_t>(ci) * nbr_keys_ + k;
  }
  int across(int view, int k) const;
  bool close_side(int v);
  void take_sums();
  void sum_at(const std::vector<int>& at, Sums* out) const;
  void weigh_point(const std::vector<int>& at);
  void weigh_bond();
  bool enter_node();
  void keep_out(int v);
  bool child_may_beat(int v) const;
  void explore();

  const ExactPart* p_ = nullptr;
  ExactSplit* best_ = nullptr;
  bool found_ = false;
  SearchBudget* budget_ = nullptr;

  // The part once reduced.
  std::vector<int> first_, half_edge_, half_to_;
  std::vector<int> base_key_;
  int nbr_base_keys_ = 0;
  std::vector<Chain> chains_;
  std::vector<int> chain_nodes_, chain_edges_, edge_chain_, edge_place_;
  std::vector<Fixed> pre_g_, pre_l_;

  // The reduced graph without the cable.
  std::vector<int> key_node_;
  std::vector<Fixed> key_g_, key_l_;  // [k * conditions + ci], as keys are added
  int nbr_keys_ = 0, ks_ = -1, kt_ = -1;
  std::vector<Fixed> wg_, wl_;  // key_index
  std::vector<View> views_;
  std::vector<int> long_views_;  // those with interior nodes
  std::vector<int> key_first_, key_view_;

  // The search.
  std::vector<char> in_a_, in_x_;
  std::vector<int> a_trail_, frontier_, queue_, mark_, seen_;
  std::vector<Frame> frames_;
  // Per frame and condition, what side 1 and side 2 may still hold: g1, l1, g2, l2.
  std::vector<Fixed> frame_most_;
  int stamp_ = 0, seen_stamp_ = 0;
  Sums base_, most_, point_;
  std::vector<Cut> cuts_;        // cut chains with interior nodes
  std::vector<int> short_cuts_;  // the cables of the others
  std::vector<PositionAxis> axes_;
  CutPositions positions_;
  // Frontiers of pairs of cut chains, by condition, direction and the two chains' views.
  std::map<std::array<int, 10>, PairFrontier> frontiers_;
};

}  // namespace zevo
