// Branch and bound over the splits that sets of cuts give a cable's part of the network: S1, the
// load centres still joined to the cable's end s, and S2, those still joined to its end t; the
// rest lies on neither side. A node of the search holds S1 and S2 so far, each joined, and the
// load centres kept off each. Its two children take the heaviest load centre next to S1 onto S1
// or keep it off (next to S2 once S1 has none left), so each pair of joined sides is met once.
// A node is bounded, per condition and direction, by each side's exact sums over its members
// plus the positive parts of what may still join it; and as a side that lacks generation must
// take the load centres on the way to more, whose loads the other side then loses, by the
// shortest such paths to the generating load centres that may join it. The bound is widened by
// a few times the problem's `error` for sums taken in another order than the balance's.
//
// Which splits count (cut_set_search.h tells which sets of cuts the growth reaches):
// - reached(side): some reached set of cuts gives the split;
// - fits(side): some reached set T gives it whose J (T less y, y being the lowest-index cable of
//   T joining S1 to S2 other than T's first) agrees with the decisions taken so far on the
//   cables 0 .. decided() - 1, each put in J or left out of it (y may be one left out).
//
// Entry points (SplitSearch over an ExporterProblem, with the prescribed balance):
// - search_largest(floor, best, side): the reached splits worth more than `best` and at least
//   `floor`; keeps the largest in `best` and `side` and lists the splits tied with it, up to
//   the problem's max_ties (ties(); overflowed() once there were more).
// - search_fitting(target, side): a split that fits the decisions and is worth exactly `target`.
// - decide(in_j) for the next cable, undecide() for the last; first_in_j(), nbr_in_j().
// - The graph helpers the second step of exporter_search.h shares.
// Every search counts its steps; past the work limit it stops, and gave_up() tells.
#pragma once

#include <functional>
#include <vector>

#include "calc/balance.h"
#include "calc/cable_graph.h"

namespace zevo {

struct ExporterProblem {
  CableGraph graph;  // edge 0 has the highest nc slot
  int s = -1, t = -1;
  int nbr_loops = 0;
  int nbr_conditions = 0;
  // Each node's generation and load, everything at that node summed: [ci * nodes + x].
  std::vector<double> node_g, node_l;
  // Bus transfers: their ends as nodes of the graph (-1: outside it), figures [ci * nbr_bus + i].
  std::vector<int> bus_a, bus_b;
  std::vector<double> bus_g, bus_l;
  // How far any side's sum, added in any order, may lie from the exact sum (0: sums are exact).
  double error = 0.0;
  // Splits of the largest value kept to settle ties from; with more, ties are settled by
  // searching again, which costs time rather than memory.
  int max_ties = 4096;
};

using BalanceSplit = std::function<void(const std::vector<signed char>& side, SideBalance* out)>;

class SplitSearch {
 public:
  SplitSearch(const ExporterProblem& problem, const BalanceSplit& balance, double work_limit);

  double bound_of_all();
  bool search_largest(double floor, SideBalance* best, std::vector<signed char>* side);
  bool search_fitting(double target, std::vector<signed char>* side);
  const std::vector<signed char>& ties() const { return ties_; }  // n entries per split
  bool overflowed() const { return overflow_; }

  void decide(bool in_j);
  void undecide();
  int decided() const { return decided_; }
  bool in_j(int e) const { return e < decided_ && in_j_[e]; }
  int first_in_j() const { return first_; }
  int nbr_in_j() const { return nbr_in_j_; }

  bool reached(const std::vector<signed char>& side);
  bool fits(const std::vector<signed char>& side);

  // A cable that alone separates s from t: never in a set of two or more cuts.
  bool between_ends(int e) const { return between_ends_[e]; }
  // side = 1 for what `cut` leaves joined to s, 2 for what it leaves joined to t, 0 elsewhere.
  void label_components(const std::vector<char>& cut, std::vector<signed char>* side);
  // Whether side `label` of `side` stays joined once the cables in `cut` are out.
  bool side_joined(const std::vector<signed char>& side, signed char label,
                   const std::vector<char>& cut);
  // The lowest cable below `limit` that may be cut on top of the split's boundary without
  // disconnecting a side, or -1.
  int optional_cable_below(const std::vector<signed char>& side, int limit);

  // Counts `steps` of work: false, with the search stopping, once past the limit.
  bool afford(double steps);
  bool gave_up() const { return gave_up_; }

 private:
  bool fits_decided_cables(const std::vector<signed char>& side) const;
  bool consistent() const;
  int reach(unsigned char label);
  double bound_node() const;
  double bound_fetching_generation(int ci, unsigned char label, double other_load) const;
  bool may_touch() const;
  void mark(int x, unsigned char bits);
  void undo(std::size_t size);
  void start();
  void enter();
  void explore();

  const ExporterProblem& p_;
  const CableGraph& g_;
  const BalanceSplit& balance_;
  const int n_, m_, nbr_bus_;
  const double margin_, work_limit_;
  double work_ = 0.0;
  bool gave_up_ = false;
  std::vector<char> between_ends_, seen_, scratch_cut_;
  std::vector<int> queue_;
  std::vector<double> weight_;                               // heaviest first in the frontier
  std::vector<double> node_gp_, node_lp_, bus_gp_, bus_lp_;  // positive parts of the figures

  // A node of the search: what was decided of each load centre, what it may still become and
  // which sides it may still reach; the trail undoes decisions, a frame is a branching.
  struct Frame {
    int v, phase, step;
    std::size_t trail;
  };
  std::vector<unsigned char> state_, may_, reach_;
  std::vector<std::pair<int, unsigned char>> trail_;
  std::vector<Frame> frames_;
  std::vector<signed char> side_;
  SideBalance candidate_;
  mutable std::vector<double> dist_;  // shortest paths of bound_fetching_generation()
  mutable std::vector<std::pair<double, int>> heap_;     // (distance, node), nearest on top
  mutable std::vector<std::pair<double, double>> gens_;  // (distance, generation) in order
  bool find_mode_ = false, stop_ = false;
  double floor_ = 0.0, target_ = 0.0;
  double threshold_ = 0.0;  // what a node's bound must reach, to tighten it only then
  SideBalance* best_ = nullptr;
  std::vector<signed char>* found_ = nullptr;
  bool improved_ = false;

  std::vector<signed char> ties_;
  bool overflow_ = false;

  // Decisions on cables 0 .. decided_ - 1.
  std::vector<char> in_j_;
  int decided_ = 0, nbr_in_j_ = 0, first_ = -1;
};

}  // namespace zevo
