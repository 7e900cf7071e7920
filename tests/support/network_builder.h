// Input records made by hand, the way the document reader makes them: every add_* puts the new
// record at the head of its list in the run context and raises the list's count, so the lists
// end up in the reverse of the order of the calls. Names are copied into the record store
// (null stays null), so callers may pass temporaries.
#pragma once

#include "model/run_context.h"

namespace zevo::testing {

NODE* add_node(ZEVO_CONTEXT* context, const char* name);
CONNECTION* add_connection(ZEVO_CONTEXT* context, const char* name, const char* lc1,
                           const char* lc2);
BUS_TRANSFER* add_bus_transfer(ZEVO_CONTEXT* context, const char* name, const char* lc1,
                               const char* lc2);
CALC_CONDITION* add_calc_condition(ZEVO_CONTEXT* context, const char* name);
// Comes with its zero-filled result record, as the reader gives it.
CALC_CONNECTION* add_calc_connection(ZEVO_CONTEXT* context, const char* name);

// Conditions of a node or a bus transfer, put at the head of its list as well.
CONDITION* add_condition(NODE* node, const char* name, double generation, double load);
CONDITION* add_condition(BUS_TRANSFER* bt, const char* name, double generation, double load);

// Resolves the names and builds the base network: calc_connection, then create_base_network.
void build_network(ZEVO_CONTEXT* context);

// The cable of the list whose name is `name` (first match in list order), or null.
CONNECTION* find_connection(const ZEVO_CONTEXT* context, const char* name);

}  // namespace zevo::testing
