// The cut search: the Zevo value of one requested cable.
#pragma once

#include "model/run_context.h"
#include "model/trial_records.h"

namespace zevo {

// Fills cc->results and cc->cut_connections from the context's base network.
void calc_zevo_cable(ZEVO_CONTEXT* context, CALC_CONNECTION* cc);

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
