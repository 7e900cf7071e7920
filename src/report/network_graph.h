// The network as a Graphviz graph, for a drawing that needs no coordinates.
//
// Entry point:
// - print_zevo_graph(stream, context, search): writes an undirected graph in the dot language
//   to `stream`: every load centre a node, grouped into one cluster per sub-network (labelled
//   with its number and loop count); every cable an edge labelled with its name and, when it is
//   requested, its Zevo value as the table prints it; cables in a loop bold and blue, radial
//   ones thin and black; bus transfers dotted grey edges. `search` is the one calc_zevo_cable
//   computed the requested cables with (its analysis is made here when no cable was computed).
//   Names are quoted for dot; text that is not valid UTF-8 gets U+FFFD in place of each
//   invalid byte. Write errors are left on the stream for the caller to check; exhausted memory
//   throws std::bad_alloc.
#pragma once

#include <cstdio>

#include "calc/calc_zevo_cable.h"
#include "model/run_context.h"

namespace zevo {

void print_zevo_graph(FILE* stream, const ZEVO_CONTEXT* context, CableSearch* search);

}  // namespace zevo
