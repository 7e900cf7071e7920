// Networks for the cut-search benchmarks, made in memory the way the document reader and the
// network construction would leave them: input records in the record store, every cable
// requested once (with a zero-filled result record) under the two conditions "normal" and
// "peak", names resolved and the base network built.
//
// Figures are whole numbers drawn from a generator with a fixed seed, so every run sees the same
// network: panels and plain load centres load 20..200, a few switchboards generate 500..3000
// (some of them stand idle at peak), switchboards carry a small load of their own.
//
// Entry points:
// - build_ring(context, shape): a ring main of switchboards with radial panels and ties.
// - build_grid(context, shape): a rows x cols mesh of switchboards.
// - build_tree(context, lcs): a radial network of branching feeders.
// - nbr_independent_loops(context): cables less load centres plus sub-networks.
// Every builder starts with zevo_init(context); the records stay until release_all_records.
#pragma once

#include "model/run_context.h"

namespace zevo::bench {

struct RingShape {
  int switchboards = 10;
  int panels = 3;         // radial panels fed from each switchboard
  int ties = 2;           // chords from one side of the ring to the opposite one
  bool negative = false;  // one panel's load is negative under "normal"
};

struct GridShape {
  int rows = 3;
  int cols = 4;
  bool negative = false;  // one switchboard's load is negative under "peak"
};

void build_ring(ZEVO_CONTEXT* context, const RingShape& shape);
void build_grid(ZEVO_CONTEXT* context, const GridShape& shape);
void build_tree(ZEVO_CONTEXT* context, int lcs);

int nbr_independent_loops(const ZEVO_CONTEXT& context);

}  // namespace zevo::bench
