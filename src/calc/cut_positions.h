// Where to cut the chains that one bond of a reduced graph cuts. Along each cut chain, moving the
// cut one node toward side 2 hands that node to side 1: the sums of side 1 grow and those of
// side 2 shrink. For one condition and one direction of flow the flow is min(rising, falling),
// where `rising` (the generation of side 1, or the load of side 1 for the other direction) grows
// with every position and `falling` (the load, or the generation, of side 2) shrinks.
//
// With one chain, the largest min lies where the two cross, found by halving. With two, the
// crossing along the second moves back as the first advances, so one sweep of both finds it.
// With more, the first chain's positions are halved into ranges, each bounded by the best of
// the other chains with the first taken at its most favourable ends (rising at the range's
// top, falling at its bottom); ranges that cannot beat the best found are dropped.
//
// When many cables share the chains of such a bond (the cables of one ring segment all meet the
// same three other segments), the two longer chains are combined once into their frontier, the
// positions of one that another dominates dropped; each cable then halves the third chain with
// a look-up per range.
//
// Entry points:
// - PositionAxis: one cut chain seen through two windows of prefix sums (len + 1 entries each,
//   borrowed), read from the front or from the back: rise(p) and fall(p) for p = 0 .. len are
//   what side 1 takes when it holds the first p nodes of the chain, each non-decreasing.
// - CutPositions::search(rise0, fall0, axes, best, weigh): over every position vector, the
//   flow is min(rise0 + sum rise_i[p_i], fall0 - sum fall_i[p_i]). Calls weigh(at) for
//   positions whose flow exceeds *best at the time they are met, in a fixed order; weigh may
//   raise *best (to the positions' value over every condition), which prunes what follows.
//   Finds every flow above the final *best: after it, no position has a flow above *best.
//   Borrows the axes for the call. Memory: a few vectors of the number of axes.
// - build_pair_frontier(first, second, out) and CutPositions::search_three(...): the same for
//   three axes, two of them given by their frontier, built once for any number of searches.
//   Building costs the product of the two axes' undominated positions.
// Nothing here prints or ends the run.
#pragma once

#include <functional>
#include <vector>

#include "calc/exact_sums.h"

namespace zevo {

struct PositionAxis {
  const Fixed* rise_pre = nullptr;
  const Fixed* fall_pre = nullptr;
  int len = 0;
  bool forward = true;  // side 1 takes the window's first nodes, else its last
  Fixed rise(int p) const { return taken(rise_pre, p); }
  Fixed fall(int p) const { return taken(fall_pre, p); }

 private:
  Fixed taken(const Fixed* pre, int p) const {
    return forward ? pre[p] - pre[0] : pre[len] - pre[len - p];
  }
};

using WeighPositions = std::function<void(const std::vector<int>& at)>;

// The positions of two axes worth combining: for every fall their sums can have, the most rise,
// ascending in both, with the positions on each axis that give it (the first in order of the
// first axis's positions, then the second's, among equals).
struct PairFrontier {
  std::vector<Fixed> fall, rise;
  std::vector<int> first, second;
};

void build_pair_frontier(const PositionAxis& first, const PositionAxis& second, PairFrontier* out);

class CutPositions {
 public:
  void search(Fixed rise0, Fixed fall0, const std::vector<PositionAxis>& axes, const Fixed* best,
              const WeighPositions& weigh);
  // Three axes, the other two (b before c) given by their frontier: ranges of axis `a` are each
  // bounded by one look-up in it.
  void search_three(Fixed rise0, Fixed fall0, const std::vector<PositionAxis>& axes, std::size_t a,
                    std::size_t b, std::size_t c, const PairFrontier& pairs, const Fixed* best,
                    const WeighPositions& weigh);

 private:
  struct Range {
    int lo, hi;
    Fixed bound;
  };

  Fixed solve(std::size_t d, Fixed rise, Fixed fall, bool exact);
  Fixed solve_one(std::size_t d, Fixed rise, Fixed fall, bool exact);
  Fixed solve_two(std::size_t d, Fixed rise, Fixed fall, bool exact);
  Fixed solve_ranges(std::size_t d, Fixed rise, Fixed fall, bool exact);
  template <typename Bound>
  static void push_halves(const Range& range, const Bound& bound, std::vector<Range>* stack);
  Fixed bound_range(std::size_t d, int lo, int hi, Fixed rise, Fixed fall);
  void offer(Fixed flow, bool exact);

  const PositionAxis& axis(std::size_t d) const { return (*axes_)[order_[d]]; }

  const std::vector<PositionAxis>* axes_ = nullptr;
  std::vector<std::size_t> order_;  // the shortest axis first: it is the one halved
  const Fixed* best_ = nullptr;
  const WeighPositions* weigh_ = nullptr;
  std::vector<int> at_;
  std::vector<std::vector<Range>> ranges_;  // a stack of ranges per axis being halved
  std::vector<Range> three_;
};

}  // namespace zevo
