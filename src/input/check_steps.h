// The parts of the input check, each printing its problems and adding them to one count.
#pragma once

#include "model/name_index.h"
#include "model/run_context.h"
#include "model/same_name.h"

namespace zevo {

// Prints one problem on the error stream and counts it.
void report_problem(int* count, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The names of the run's lcs and cables, indexed once for all checks.
struct InputNames {
  NameIndex lcs;
  NameIndex cables;
};

// Indexes the names of a condition list, in list order.
NameIndex index_condition_names(const CONDITION* conditions);

// Reports every condition of one lc or bus transfer that has no name (`unnamed_format`, with
// the owner's name, generation and load) or whose name a later condition repeats
// (`repeated_format`, with the condition's and the owner's names), once per later repeat.
void check_condition_names(const CONDITION* conditions, const NameIndex& names, const char* owner,
                           const char* unnamed_format, const char* repeated_format, int* count);

// Every lc: its name, repeated names, its conditions, and every requested condition.
void check_load_centres(const ZEVO_CONTEXT* context, const InputNames& names, int* count);

// Every cable: its name, repeated names, its two end lcs.
void check_cables(const ZEVO_CONTEXT* context, const InputNames& names, int* count);

// Every bus transfer: its name, its two lcs, its conditions.
void check_bus_transfers(const ZEVO_CONTEXT* context, const InputNames& names, int* count);

}  // namespace zevo
