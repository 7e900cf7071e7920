// The per-condition balance of generation and load on the two sides of a cable.
#pragma once

#include "model/network_records.h"

namespace zevo {

// Sets entry `ci` of the five number arrays of `l` from the sides l->sub_network1/2 of l->nw.
void calculate_zevo_ci(ZEVO_RESULT* l, int ci);

// Runs calculate_zevo_ci for every condition and sets l->val to the largest c_val (>= 0.0).
void calculate_zevo(ZEVO_RESULT* l);

}  // namespace zevo
