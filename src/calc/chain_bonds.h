// The bond search over a looped part of a network with exact sums, on the part reduced to its
// branch points: the load centres where three or more cables meet, the cable's two ends and the
// ends of bus transfers. Between them run chains of load centres with two cables each (ring
// segments between the points where ties join). A bond (both sides joined in themselves) takes
// a chain whose ends lie on one side whole, and cuts a chain whose ends lie on different sides
// exactly once; where it cuts follows from prefix sums along the chain, since moving the cut
// toward side 2 adds to side 1's sums and takes from side 2's.
//
// Over the reduced graph the bonds are explored with branch and bound as in bond_search.h; for
// each bond of the reduced graph the cut positions along its cut chains are found by a branch
// and bound over boxes of positions, bounded by the sums at the box's corners.
//
// Entry point:
// - search_chain_bonds(part, best): part holds the looped part without the cable: its nodes'
//   figures with everything that hangs from them, its cables, the cable's ends s and t and its
//   bus transfers, all as exact fixed sums (exact_sums.h), and no negative figure. Finds the
//   largest value of any bond between s and t, if it is above best->val (0 on entry for a
//   fresh search), with its per-condition sums and each node's side (1 or 2) in best->side.
//   Returns whether it found one. Among bonds of equal value the first found is kept. Memory:
//   a few arrays of the part's size.
#pragma once

#include <vector>

#include "calc/exact_sums.h"

namespace zevo {

struct ExactPart {
  int nbr_nodes = 0;
  int nbr_conditions = 0;
  std::vector<int> end1, end2;  // cables, as node pairs
  int s = -1, t = -1;
  std::vector<Fixed> g, l;  // [ci * nbr_nodes + x]
  // Bus transfers: ends as nodes (-1: outside the part), figures at [ci * nbr_bus + i].
  std::vector<int> bus_a, bus_b;
  std::vector<Fixed> bus_g, bus_l;
};

struct ExactSplit {
  Fixed val = 0;
  std::vector<Fixed> g1, l1, g2, l2;  // by condition
  std::vector<signed char> side;      // by node of the part
};

bool search_chain_bonds(const ExactPart& part, ExactSplit* best);

}  // namespace zevo
