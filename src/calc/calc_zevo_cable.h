// The Zevo value of a requested cable: the largest flow it may have to carry over the requested
// conditions and over every way of opening the loops around it.
//
// Entry points:
// - CableSearch: what the search needs to know of the base network (the figures by condition,
//   the cables as a graph with its bridges and looped parts, slot lookups). Built on the first
//   cable it is given and reused for every later one; the caller owns it (the driver keeps one
//   for the whole run) and must not change the base network while it is in use. It remembers,
//   for every cable computed with it, the split that set the value: governing_case(cc) tells
//   it in the network's terms (governing_case.h), and is "not found" for a cable not computed
//   with this search. remember(cc, slot, opening) records the split of a cable computed with
//   an analysis shared from this search's (CableAnalysis::share), on another thread;
//   loop_opening(cc) gives back that of a cable in a loop (null for any other).
// - place_cable(context, cc, search): what must be done before a cable's value is computed, in
//   list order: allocates and names cc->results's arrays, builds the search's analysis on the
//   first call, and finds the cable's nc slot and the nn slots of its ends (CablePlace). The
//   failures below end the run here, so computing prints nothing.
// - calc_zevo_cable(context, cc, search, budget): fills cc->results: its per-condition arrays
//   (names shared with calc_conditions), `val`, and `sub_network1`/`sub_network2`, the numbers
//   the two ends get when the network without the cable is numbered again; they are equal
//   exactly when the cable lies in a loop. `nw` stays null: no copy of the network is made,
//   and cc->cut_connections stays empty. The base network is only read. `budget` (null: none)
//   limits the search; a search stopped by it leaves an upper bound in `val`
//   (CableAnalysis::compute), and governing_case(cc) says so.
// - calc_zevo_cable(context, cc): the same with a search of its own, for a single cable.
//
// A cable in no loop is balanced on its two sides at once. For a cable in a loop the value is
// the largest over the sets of other cables whose cutting separates its ends, as found by
// bond_search.h (when no figure is negative or NaN), exporter_search.h (a negative figure among
// many loops) or cut_set_search.h (otherwise). Either way the value is the sum the balance
// prescribes, bit for bit.
//
// Failures print their message and end the run: a null context, cable or result (standard
// error), a result array that cannot be allocated, a calc_conditions list whose length is not
// nbr_calc_conditions, a cable or cable end that the base network does not hold (standard
// output). Memory grows with the network and the number of conditions, never with the number
// of sets of cuts looked at.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "calc/governing_case.h"
#include "model/run_context.h"

namespace zevo {

class CableSearch {
 public:
  CableSearch();
  ~CableSearch();
  CableSearch(const CableSearch&) = delete;
  CableSearch& operator=(const CableSearch&) = delete;

  // The analysis of `context`'s base network under the conditions named by `names`, made on the
  // first call.
  CableAnalysis& analysis(const ZEVO_CONTEXT* context, const char* const* names);
  // The same, naming the conditions from context->calc_conditions.
  const CableAnalysis& analysis(const ZEVO_CONTEXT* context);

  void remember(const CALC_CONNECTION* cc, int slot, Opening opening);
  GoverningCase governing_case(const CALC_CONNECTION* cc);
  const Opening* loop_opening(const CALC_CONNECTION* cc) const;

 private:
  std::unique_ptr<CableAnalysis> analysis_;
  // The split of a cable in no loop is known from the forest, so only the openings of cables in
  // a loop are kept: a radial plant costs a flag per cable.
  std::vector<char> computed_;  // by nc slot
  std::unordered_map<const CALC_CONNECTION*, Opening> loop_openings_;
  GoverningCases cases_;
};

// Where a requested cable lies in the base network: its nc slot and the nn slots of its ends.
struct CablePlace {
  int slot = -1, end1 = -1, end2 = -1;
};

CablePlace place_cable(ZEVO_CONTEXT* context, CALC_CONNECTION* cc, CableSearch* search);
void calc_zevo_cable(ZEVO_CONTEXT* context, CALC_CONNECTION* cc, CableSearch* search,
                     SearchBudget* budget = nullptr);
void calc_zevo_cable(ZEVO_CONTEXT* context, CALC_CONNECTION* cc);

}  // namespace zevo
