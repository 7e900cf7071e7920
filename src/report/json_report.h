// The results as one JSON document (RFC 8259, UTF-8), for programs that read them without
// scraping the table: for every requested cable its value and the case that sets it.
//
// Entry point:
// - print_zevo_json(stream, context, search, results_opened): writes the document to `stream`.
//   `search` is the one calc_zevo_cable computed every requested cable with (or that the
//   cables' openings were remembered in); its analysis is read, never changed. A cable whose
//   search was stopped by its time limit also has "exact": false and "zevo_found", the value of
//   the best opening found, whose figures the cable's other fields give. `results_opened` tells
//   whether the results file could be opened (else the reports went to the output stream). Holds:
//   the program and its version, the input and output file names, the requested conditions, one
//   object per requested cable in the order of the results table, and the sub-networks with their
//   loop counts, load centres and cables. Numbers are written to full precision; a NaN or infinite
//   figure is null with a sibling field "<name>_nonfinite" that says which. Text that is not valid
//   UTF-8 is written with U+FFFD in place of each invalid byte. One cable per line, so that line
//   tools can pick one. Write errors are left on the stream for the caller to check; exhausted
//   memory throws std::bad_alloc.
#pragma once

#include <cstdio>

#include "calc/calc_zevo_cable.h"
#include "model/run_context.h"

namespace zevo {

void print_zevo_json(FILE* stream, const ZEVO_CONTEXT* context, CableSearch* search,
                     bool results_opened);

}  // namespace zevo
