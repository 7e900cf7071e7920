// The parts of the input check, each printing its problems and adding them to one count.
#pragma once

#include "model/run_context.h"

namespace zevo {

// Prints one problem on the error stream and counts it.
void report_problem(int* count, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Exact comparison of two names; a missing name equals nothing, not even another missing one.
bool same_name(const char* a, const char* b);

// True when some lc of `nodes` has the name `name`.
bool names_defined_lc(const NODE* nodes, const char* name);

// Every lc: its name, repeated names, its conditions, and every requested condition.
void check_load_centres(const ZEVO_CONTEXT* context, int* count);

// Every cable: its name, repeated names, its two end lcs.
void check_cables(const ZEVO_CONTEXT* context, int* count);

// Every bus transfer: its name, its two lcs, its conditions.
void check_bus_transfers(const ZEVO_CONTEXT* context, int* count);

}  // namespace zevo
