// Frozen copy, in namespace zevo::previous, of the cut search as it stood before the search on
// reduced graphs, kept so that the benchmarks can state their ratios to it in the same run.
// Change nothing here but what keeps it building.
//
// The balance of one network state: generation and load on the two sides of a cable under each
// requested condition, the flow the cable carries under it, and the per-condition arrays of a
// result record.
//
// Entry points:
// - calculate_zevo_ci(l, ci): sets entry ci of l's five number arrays from the sides
//   l->sub_network1 and l->sub_network2 of l->nw (numbered by identify_sub_networks). Adds in a
//   fixed order: node slots ascending, each node's matching condition entries from the list's
//   head, then bus-transfer slots; a bus transfer counts on every side one of its load centres
//   lies on. A null record or an index outside 0 .. nbr_conditions - 1 prints its message on
//   standard output and ends the run.
// - calculate_zevo(l): calculate_zevo_ci for every condition; l->val = the largest c_val, 0.0
//   when none is above it (a NaN never counts). A null record ends the run the same way.
// - allocate_result_arrays(r, nbr, oom_message, stream): gives r nbr + 1 zero-filled entries
//   in `condition` and each number array; exhausted memory prints oom_message on `stream` and
//   ends the run.
// - SideBalance and copy_figures(balance, r): the same figures for a split balanced elsewhere
//   (the cut search), and their copy into a result record.
#pragma once

#include <vector>

#include "model/messages.h"
#include "model/network_records.h"

namespace zevo::previous {

void calculate_zevo_ci(ZEVO_RESULT* l, int ci);
void calculate_zevo(ZEVO_RESULT* l);

void allocate_result_arrays(ZEVO_RESULT* r, int nbr, const char* oom_message, Stream stream);

// The outcome of balancing one split: per condition index, as in ZEVO_RESULT.
struct SideBalance {
  std::vector<double> c_val, c_g1, c_g2, c_l1, c_l2;
  double val = 0.0;

  void resize(int nbr_conditions);
};

// Sets r->val and the five number arrays (below r->nbr_conditions) from `balance`.
void copy_figures(const SideBalance& balance, ZEVO_RESULT* r);

}  // namespace zevo::previous
