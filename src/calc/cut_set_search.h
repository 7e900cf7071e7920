// The search over sets of cuts for a cable whose part of the network has a negative or NaN
// figure. There a side may be worth more when a cut drops part of it, so bonds alone do not
// decide the value: every set of cuts that the growth of single cuts can reach is balanced, each
// exactly once.
//
// A set T of cables (the cable itself out already) is reached exactly when T is one cable that
// separates the ends, or T holds 2 to nbr_loops + 1 cables, none of which separates the ends
// alone, T separates them, and putting back some cable of T other than its highest-slot one
// leaves them joined. Sets are grown from joined sets in descending slot order; a set T made
// from J and y (T = J + y) is balanced only for the highest-slot such y, so no set twice.
//
// Entry point:
// - search_cut_sets(graph, s, t, nbr_loops, balance, budget): the graph's edges are numbered in
//   descending slot order (edge 0 has the highest slot). Calls balance(side) for every reached
//   set, with side[x] = 1 for the nodes still joined to s, 2 for those joined to t, 0 for
//   the rest. Memory: a few arrays of the graph's size per cut in a set; none per set looked at.
//   `budget` (null: none) is asked before every set is grown or balanced; once it has run out
//   the search stops, leaving sets unbalanced, and the caller bounds them.
#pragma once

#include <functional>
#include <vector>

#include "calc/cable_graph.h"
#include "calc/search_budget.h"

namespace zevo {

using BalanceSides = std::function<void(const std::vector<signed char>& side)>;

void search_cut_sets(const CableGraph& graph, int s, int t, int nbr_loops,
                     const BalanceSides& balance, SearchBudget* budget);

}  // namespace zevo
