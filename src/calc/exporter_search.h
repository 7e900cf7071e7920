// The search over sets of cuts for a cable whose part of the network has a negative figure
// (an exporting load centre) and no NaN or infinite one. It keeps the split that balancing
// every set of cuts with cut_set_search.h keeps (the largest value, the first set met of it),
// without visiting every set.
//
// A set's value depends only on its split (split_search.h). cut_set_search.h meets the single
// cuts that separate the ends first, by index; then each other set T as J + y (J = T less y, y
// the lowest-index cable of T joining the two sides other than T's first), in the
// lexicographic order of J, a prefix before its extensions, then by y. So the search:
// 1. balances the single cuts;
// 2. finds the largest value of the splits reached, by branch and bound under a floor lowered
//    step by step from the bound of all splits: the bound is tight near the best split, so few
//    nodes lie above a floor close to it, and the best split is found before the search wanders;
// 3. when a split beats the single cuts, finds the first set met of that value: J is fixed one
//    cable at a time in index order, each taken into J when a split of that value still fits
//    what J holds and leaves out (split_search.h), and ends once some y completes such a set.
//    A split known to fit answers most of these questions; the others are settled from the
//    list of tied splits that step 2 keeps, or by searching again when there were too many.
//
// Entry points:
// - gather_exporter_figures(figures, sub, local, problem): fills the problem's figures from
//   sub-network `sub`, whose node slots `local` maps to nodes of the graph. False when a figure
//   is NaN or infinite or sums might overflow: bounds then say nothing.
// - estimate_every_set_cost(problem), estimate_split_cost(problem): rough costs, in steps of a
// search over
//   the graph, of balancing every set (one step per set J of up to nbr_loops cables) and of
//   searching the splits (one per choice of up to nbr_loops + 1 load centres where the sides
//   stop). Not bounds: they tell the cheaper way apart.
// - search_exporter_splits(problem, balance, work_limit, best, best_side): `balance` gives the
//   figures of a split as the balance prescribes. found: `best` holds the figures of the set
//   that balancing every set keeps (the largest value above best's value on entry) and
//   `best_side` its split (1: side of s, 2: side of t, 0: neither); none: no set beats `best`;
//   gave_up: the work passed `work_limit` steps, and `best` must be set again.
// Memory: a few arrays of the graph's size, and the tied splits kept (problem.max_ties).
#pragma once

#include <vector>

#include "calc/side_figures.h"
#include "calc/split_search.h"

namespace zevo {

bool gather_exporter_figures(const SideFigures& figures, int sub, const std::vector<int>& local,
                             ExporterProblem* problem);

double estimate_every_set_cost(const ExporterProblem& problem);
double estimate_split_cost(const ExporterProblem& problem);

enum class SplitOutcome { found, none, gave_up };

SplitOutcome search_exporter_splits(const ExporterProblem& problem, const BalanceSplit& balance,
                                    double work_limit, SideBalance* best,
                                    std::vector<signed char>* best_side);

}  // namespace zevo
