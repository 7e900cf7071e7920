// The case that sets a cable's value, told in the network's terms: which condition, which other
// cables are open, and which load centres lie on each side.
//
// Entry point:
// - GoverningCases::describe(analysis, slot, end1, end2, opening, r): for the cable in nc slot
//   `slot` (ends in nn slots end1, end2) whose result `r` and `opening` compute() gave. Returns
//   the description; reads, never changes, the analysis. Keeps scratch arrays between calls,
//   so that a cable costs what its sides cost, not what the network does. Each side is found by a
//   search from its end that crosses neither the cable nor an open cable; a cable in no loop takes
//   its sides from the depth-first forest instead. When the two sides together make up the cable's
//   whole sub-network, only the smaller one is listed (side 1 when they are equal) and the other is
//   "the rest": so the cost of every cable in no loop is the size of its smaller side, not of
//   its sub-network. Exhausted memory throws std::bad_alloc.
#pragma once

#include <vector>

#include "calc/cable_analysis.h"
#include "model/network_records.h"

namespace zevo {

struct CableSide {
  int nbr_nodes = 0;
  bool listed = false;     // false: the rest of the sub-network, not listed
  std::vector<int> nodes;  // nn slots, ascending, when listed
};

struct GoverningCase {
  int sub_network = 0;    // the cable's own, in the base network
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
  std::vector<int> reach(const CableGraph& graph, int start);

  std::vector<char> closed_, seen_;  // by nc slot, by nn slot; all zero between calls
};

}  // namespace zevo
