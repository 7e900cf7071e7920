// The results table: one row per requested cable.
#pragma once

#include <cstdio>

#include "model/run_context.h"

namespace zevo {

// Writes the table of `context` to `stream` (null: the output stream) and returns the result
// of the final flush.
int print_zevo_output(FILE* stream, const ZEVO_CONTEXT* context);

}  // namespace zevo
