// Networks for the cut-search benchmarks, made in memory the way the document reader and the
// network construction would leave them: input records in the record store, every cable
// requested once (with a zero-filled result record) under the first `conditions` of "normal",
// "peak", "light" and "maintenance", names resolved and the base network built.
//
// Figures are drawn from a generator with a fixed seed, so every run sees the same network:
// panels and plain load centres load 20..200, a few switchboards generate 500..3000 (under
// every condition but "normal" some of them stand idle), switchboards carry a small load of
// their own, 0..60. FigureKind says how a figure is taken from its range:
// - integer: a whole number in it;
// - one_decimal: a number with one decimal in it, as a document giving kW to 0.1 reads it
//   (12.3 is the double nearest to 12.3);
// - equal: its midpoint, for every figure of that kind, and no switchboard stands idle;
// - near_equal: a whole number within 5 % of its midpoint, and no switchboard stands idle;
// - exporters: as integer, but every 7th load centre made loads -40 under every condition.
// integer, one_decimal and exporters draw alike, so a shape has the same cables in each.
//
// Entry points:
// - build_ring(context, shape): ring mains of switchboards with radial panels and ties, one or
//   several chained by a cable from each ring to the next.
// - build_grid(context, shape): a rows x cols mesh of switchboards (or several).
// - build_tree(context, shape): a radial network of branching feeders.
// - nbr_independent_loops(context): cables less load centres plus sub-networks.
// Every builder starts with zevo_init(context); the records stay until release_all_records.
#pragma once

#include "model/run_context.h"

namespace zevo::bench {

enum class FigureKind { integer, one_decimal, equal, near_equal, exporters };

inline constexpr int kMaxConditions = 4;

struct RingShape {
  int switchboards = 10;  // in each ring
  int panels = 3;         // radial panels fed from each switchboard
  int ties = 2;           // chords from one side of a ring to the opposite one
  bool negative = false;  // one panel's load is negative under "normal"
  // 0: every panel hangs from its switchboard; else the panels form a tree under it in which
  // the switchboard and each panel feed up to this many.
  int panel_fanout = 0;
  int rings = 1;
  int conditions = 2;
  FigureKind figures = FigureKind::integer;
};

struct GridShape {
  int rows = 3;
  int cols = 4;
  bool negative = false;  // one switchboard's load is negative under "peak"
  int conditions = 2;
  FigureKind figures = FigureKind::integer;
  int grids = 1;  // meshes side by side, not joined, each with figures of its own
};

struct TreeShape {
  int lcs = 1000;
  int conditions = 2;
  FigureKind figures = FigureKind::integer;
};

void build_ring(ZEVO_CONTEXT* context, const RingShape& shape);
void build_grid(ZEVO_CONTEXT* context, const GridShape& shape);
void build_tree(ZEVO_CONTEXT* context, const TreeShape& shape);

int nbr_independent_loops(const ZEVO_CONTEXT& context);

}  // namespace zevo::bench
