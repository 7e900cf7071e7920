// The cut search as first written: every trial set of cuts gets its own copy of the network, is
// renumbered and, when it separates the cable's ends, balanced; every trial is kept. It is slow
// and its memory grows with the trials, so it lives in the tests only, as the reference that
// randomized comparisons and benchmarks hold the fast search in src/calc to.
//
// Entry points:
// - literal_calc_zevo_cable(context, cc): fills cc->results (with a copy of the base network
//   without the cable in results->nw) and cc->cut_connections (every trial, newest first).
// - alloc_CALC_CUT_CONNECTION_ZEVO, calculate_calc_connection_zevo, eliminate_connection: one
//   trial's allocation, computation and removal of cuts.
// Every failure prints its message and ends the run (exit_with_message); records live in the
// record store until release_all_records.
#pragma once

#include "calc/reference/trial_records.h"
#include "model/run_context.h"

namespace zevo {

// Fills cc->results and cc->cut_connections from the context's base network.
void literal_calc_zevo_cable(ZEVO_CONTEXT* context, CALC_CONNECTION* cc);
// A new trial whose result record has `nbr` (at least 1) conditions named by `condition` and a
// fresh copy of `nw`.
CALC_CUT_CONNECTION_ZEVO* alloc_CALC_CUT_CONNECTION_ZEVO(int nbr, const char** condition,
                                                         const NETWORK* nw);

// Removes the trial's cuts from its network, renumbers it, finds the sides of the cable and,
// when the cuts separate them, computes the trial's result.
void calculate_calc_connection_zevo(CALC_CUT_CONNECTION_ZEVO* ccc);

// Empties every slot of nw->nc that holds `c`; returns 0 if any did, 1 if none.
int eliminate_connection(NETWORK* nw, const CONNECTION* c);

}  // namespace zevo
