// The base network of a run: the name references of the input resolved to records, then the
// network's arrays built from the lists and numbered.
//
// Entry points:
// - calc_connection(context): sets n1/n2 of every cable and bus transfer and c of every
//   requested cable from the names they were read with. Allocates nothing that outlives the
//   call. A name that does not resolve prints its message on the output stream and ends the
//   run.
// - create_base_network(context): fills context->nw (which zevo_init gives every context) with
//   nc, nn and nbt, one new entry per record in list order and a null slot after the last, all
//   allocated for the run, and numbers its sub-networks (identify_sub_networks). Needs
//   calc_connection first. A null context or network, a count that differs from the length of
//   its list, or exhausted memory prints its message on standard error and ends the run.
#pragma once

#include "model/run_context.h"

namespace zevo {

void calc_connection(ZEVO_CONTEXT* context);

void create_base_network(ZEVO_CONTEXT* context);

}  // namespace zevo
