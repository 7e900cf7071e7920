// The case that sets a cable's value, told in the network's terms: which condition, which other
// cables are open, and which load centres lie on each side.
//
// Entry point:
// - GoverningCases::describe(analysis, slot, end1, end2, opening, r): for the cable in nc slot
//   `slot` (ends in nn slots end1, end2) whose result `r` and `opening` compute() gave. Returns
//   the description; reads, never changes, the analysis. Keeps scratch arrays between calls.
//
// A side is given as slices of its sub-network's load centres in depth-first order (the order
// of analysis.forest().order from analysis.first_position(sub)). In that order the far side of
// a cable in no loop is one slice and the near side at most two, so describing such a cable
// costs O(1) whatever the network's size; a side of a cable in a loop costs its size, found by a
// search from its end that crosses neither the cable nor an open cable. Exhausted memory
// throws std::bad_alloc.
#pragma once

#include <utility>
#include <vector>

#include "calc/cable_analysis.h"
#include "model/network_records.h"

namespace zevo {

struct CableSide {
  int nbr_nodes = 0;
  std::vector<std::pair<int, int>> slices;  // [first, end) positions, ascending, disjoint
};

struct GoverningCase {
  int sub_network = 0;  // the cable's own, in the base network
  // The search ran out of its time: the result's val is an upper bound, found_val the value of
  // the best split found, which is the split described below (found false: none above zero).
  bool bounded = false;
  double found_val = 0.0;
  bool found = false;     // false: no split gives a flow above zero; nothing below is set
  int condition = -1;     // the first condition index whose flow is the value; -1 when none is
  std::vector<int> open;  // nc slots, ascending
  CableSide side1, side2;
};

class GoverningCases {
 public:
  GoverningCase describe(const CableAnalysis& analysis, int slot, int end1, int end2,
                         const Opening& opening, const ZEVO_RESULT* r);

 private:
  CableSide reach(const CableAnalysis& analysis, int start, int first_position);

  std::vector<char> closed_, seen_;  // by nc slot, by nn slot; all zero between calls
};

}  // namespace zevo
