// The search over the bonds of a looped part of a network: the ways of splitting its load
// centres into a part holding one end of the cable and a part holding the other, each part
// joined in itself, the cables between them being cut.
//
// When no figure can lower a side's sums (no negative or NaN figure), a set of cuts that
// separates the ends is worth no more than a bond inside it: its sides lie inside the bond's
// sides, and a sum of non-negative doubles added in a fixed order never falls when terms are
// added. So the largest value over every separating set of cuts is the largest over the bonds,
// and this search looks at bonds alone, with branch and bound on the sides' sums.
//
// Entry point:
// - search_bonds(problem, recompute, best, in_side1, budget): explores the bonds of
//   problem.graph between problem.s and problem.t. Sums are taken from the node weights and bus
//   transfers of the problem, in an order of their own; `margin` (>= 1) bounds how far such a
//   sum may lie from the sum the balance prescribes, as a factor either way. With margin 1 the
//   sums are exact and a bond's figures are final; otherwise every bond that may beat `best` is
//   handed to `recompute`, which balances it in the prescribed order. Ends with `best` holding
//   the largest value above its value on entry (and that bond's figures), `in_side1` the bond's
//   side of s; returns whether any bond beat it. Memory: a few arrays of the graph's size.
//   `budget` (null: none) is asked before every search node; once it has run out the search
//   stops with the best bond found so far, and raises the budget's bound to the largest bound,
//   widened by `margin`, of the search nodes left on its stack that could still beat `best`
//   (none: `best` is the largest value after all).
#pragma once

#include <functional>
#include <vector>

#include "calc/cable_graph.h"
#include "calc/search_budget.h"
#include "calc/side_figures.h"

namespace zevo {

struct BondProblem {
  CableGraph graph;
  int s = -1, t = -1;
  int nbr_conditions = 0;
  // Generation and load of each node with everything that hangs from it: [ci * nodes + x].
  std::vector<double> weight_g, weight_l;
  // Bus transfers: their two ends as nodes of the graph (-1: outside it), their figures at
  // [ci * nbr_bus + i].
  std::vector<int> bus_a, bus_b;
  std::vector<double> bus_g, bus_l;
  double margin = 1.0;
};

// Balances the split that puts the nodes marked in `in_side1` on side 1, the rest on side 2.
using Recompute = std::function<void(const std::vector<char>& in_side1, SideBalance* out)>;

bool search_bonds(const BondProblem& problem, const Recompute& recompute, SideBalance* best,
                  std::vector<char>* in_side1, SearchBudget* budget);

}  // namespace zevo
