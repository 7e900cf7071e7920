// The input check: consistency of the input model before anything is computed.
//
// Entry point:
//   check_zevo_input(context) takes the model as the reader left it and changes nothing. It
//   prints every problem found, one line each on the error stream, in a fixed order (the
//   requests of `output`, the lcs, the cables, the bus transfers), then a summary line when there
//   was any, and returns the number of problems (0: the input may be used).
// Ends the run: never; the caller ends it when problems were found.
#pragma once

#include <cstdint>

#include "model/run_context.h"

namespace zevo {

std::int64_t check_zevo_input(const ZEVO_CONTEXT* context);

}  // namespace zevo
