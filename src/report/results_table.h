// The results table: one row per requested cable with its two ends, its figure and whether it
// lies in a loop.
//
// Entry point:
// - print_zevo_output(stream, context): writes the report header, the column line, one row
//   per requested cable in list order and three empty lines to `stream` (null: the output
//   stream). Borrows both; returns the result of the final flush. With debug set, traces its
//   entry, the reading of the time and its exit on the console. A null context prints its two
//   lines on the output stream and ends the run.
#pragma once

#include <cstdio>

#include "model/run_context.h"

namespace zevo {

int print_zevo_output(FILE* stream, const ZEVO_CONTEXT* context);

}  // namespace zevo
