// Consistency checks of the input model before anything is computed.
#pragma once

#include "model/run_context.h"

namespace zevo {

// Prints every problem found, one line each on the error stream, then a summary line when
// there was any; returns the number of problems (0: the input may be used). Changes nothing.
int check_zevo_input(const ZEVO_CONTEXT* context);

}  // namespace zevo
