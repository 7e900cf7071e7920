// The echo: what the run read and the base network it built, for checking the input.
//
// Entry point:
// - print_zevo_input(stream, context): writes the report header, the file names and the debug
//   flag, every node, cable and bus transfer with its conditions, the requested conditions,
//   and then the network (sub-networks with their loop counts, every node, cable and bus
//   transfer with its sub-network numbers), each list in stored order, to `stream` (null: the
//   output stream). Borrows both; returns the result of the final flush. A text the document
//   did not give shows as (NULL). A null context prints its message on the output stream and
//   ends the run.
#pragma once

#include <cstdio>

#include "model/run_context.h"

namespace zevo {

int print_zevo_input(FILE* stream, const ZEVO_CONTEXT* context);

}  // namespace zevo
