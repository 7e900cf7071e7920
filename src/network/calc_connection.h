// Resolution of name references and construction of the base network.
#pragma once

#include "model/run_context.h"

namespace zevo {

// Sets n1/n2 of every cable and bus transfer and c of every requested cable; a name that does
// not resolve prints its message on the output stream and ends the run.
void calc_connection(ZEVO_CONTEXT* context);

// Fills context->nw from the three lists (arrays in list order) and numbers its sub-networks.
void create_base_network(ZEVO_CONTEXT* context);

}  // namespace zevo
