// The echo of the input and of the base network, and the header both reports open with.
#pragma once

#include <cstdio>

#include "model/run_context.h"

namespace zevo {

// Writes the version line, the notice line and the current local time (as ctime gives it,
// read once here) followed by three empty lines.
void print_report_header(FILE* stream);

// Writes the echo of `context` to `stream` (null: the output stream) and returns the result
// of the final flush.
int print_zevo_input(FILE* stream, const ZEVO_CONTEXT* context);

}  // namespace zevo
