// The per-condition arrays of a result record.
#pragma once

#include "model/messages.h"
#include "model/network_records.h"

namespace zevo {

// Sets r->nbr_conditions to `nbr` and gives r its `condition` array and its five number arrays,
// nbr + 1 zero-filled entries each, in that order. Exhausted memory prints `oom_message` on
// `stream` and ends the run.
void allocate_result_arrays(ZEVO_RESULT* r, int nbr, const char* oom_message, Stream stream);

}  // namespace zevo
