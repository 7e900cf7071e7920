// Timing and peak memory of the cut search over every cable of a network: the fast search
// against the reference and against the previous search (bench/previous/) where they finish.
//
// Entry points (Google Benchmark):
// - BM_Reference/<network>: the reference over every cable.
// - BM_Previous/<network>: the previous search over every cable.
// - BM_Fast/<network>: the fast search over every cable with one CableSearch. When the
//   reference or the previous search ran on the same network just before, the counters
//   ref/fast and prev/fast give the ratio of their mean times to this one's in this run, and a
//   value (or loop flag) that does not print as theirs does ends the benchmark with an error.
//   On a network with figures of one decimal whose shape was benchmarked with whole numbers
//   just before, dec/int gives the ratio of this mean time to that one's (BM_Previous too).
// Every iteration is one run made alone in a child process (run_alone), which gives the time of
// the computation, the values and the peak memory at once, so a search of minutes runs once,
// and every way is timed alike, in a fresh process as a run of zevo would be (the CPU column is
// that of the benchmark process, which only waits). Counters: peak_MB, the largest peak
// resident memory of these runs (start_MB of it held already when the process started); lcs,
// cables and loops of the network; for the reference, the trials it kept. The label compares
// the figures with the goals.
//
// A run that has not finished after its network's give-up time ends the benchmark with an
// error, so that `make bench` always ends. The networks on which the search had not finished
// after two minutes in the last measurements come last, with one iteration and a give-up time
// of two minutes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "bench_networks.h"
#include "cut_search_runs.h"

namespace zevo::bench {
namespace {

struct Goal {
  double max_seconds = 0.0;  // 0: no goal
  double min_ratio = 0.0;    // of the reference's time to the fast one's
  double max_peak_mb = 0.0;
  double max_to_integer = 0.0;  // of the time to that of the same shape with whole numbers
};

struct Network {
  const char* name;
  Builder build;
  // The same shape with whole-number figures, benchmarked just before (null: none).
  const char* integer_twin = nullptr;
  int give_up_seconds = 600;
};

// What one way gave on each network: the mean seconds, the largest peak and the values of its
// last run.
struct WayRun {
  double seconds = 0.0;
  double peak_mb = 0.0;
  CableValues values;
};
std::map<std::string, WayRun>& runs_of(Way way) {
  static std::map<Way, std::map<std::string, WayRun>> runs;
  return runs[way];
}

const char* name_of(Way way) {
  switch (way) {
    case Way::fast:
      return "fast";
    case Way::reference:
      return "reference";
    case Way::previous:
      return "previous";
    case Way::explained:
      break;
  }
  return "explained";
}

struct Measured {
  double seconds = 0.0;
  double ratio = 0.0;  // of the reference's time
  double peak_mb = 0.0;
  double to_integer = 0.0;
};

std::string verdict(const Goal& goal, const Measured& figures) {
  std::string text;
  auto add = [&](bool met, const char* what, double bound, const char* unit) {
    char figure[64];
    std::snprintf(figure, sizeof figure, "%s%g%s", what, bound, unit);
    text += (text.empty() ? "" : ", ") + std::string(figure) + (met ? " met" : " MISSED");
  };
  if (goal.max_seconds > 0) add(figures.seconds < goal.max_seconds, "time<", goal.max_seconds, "s");
  if (goal.min_ratio > 0) add(figures.ratio >= goal.min_ratio, "ref/fast>=", goal.min_ratio, "");
  if (goal.max_peak_mb > 0) {
    add(figures.peak_mb < goal.max_peak_mb, "peak<", goal.max_peak_mb, "MB");
  }
  if (goal.max_to_integer > 0) {
    const bool met = figures.to_integer > 0 && figures.to_integer <= goal.max_to_integer;
    add(met, "dec/int<=", goal.max_to_integer, "");
  }
  return text.empty() ? text : "goals: " + text;
}

// The ratio of `seconds` to the mean of the same shape with whole numbers by `way`, 0 if none.
double to_integer_twin(const Network& network, Way way, double seconds) {
  if (!network.integer_twin) return 0.0;
  const auto twin = runs_of(way).find(network.integer_twin);
  return twin == runs_of(way).end() || !(twin->second.seconds > 0) ? 0.0
                                                                   : seconds / twin->second.seconds;
}

// Why the fast values differ from those of the reference or the previous search on the same
// network, empty when they do not.
std::string fast_mismatch(const Network& network, const CableValues& fast) {
  for (Way way : {Way::reference, Way::previous}) {
    const auto other = runs_of(way).find(network.name);
    if (other == runs_of(way).end()) continue;
    const std::string difference = first_difference(fast, other->second.values);
    if (!difference.empty())
      return std::string("fast and ") + name_of(way) + " differ: " + difference;
  }
  return "";
}

// One run alone of `way` per iteration; keeps the mean seconds and the last values under the
// network's name and sets the counters of the run. False, with the benchmark ended with an
// error, when a run failed or the fast values differ.
bool run_iterations(benchmark::State& state, const Network& network, Way way) {
  double total = 0.0, peak_mb = 0.0;
  int runs = 0;
  AloneRun last;
  std::string error;
  for (auto _ : state) {
    AloneRun run = run_alone(network.build, way, network.give_up_seconds);
    if (!run.ok) {
      error = std::string(name_of(way)) + " run alone failed: " + run.failure;
    } else if (runs == 0 && way == Way::fast) {
      error = fast_mismatch(network, run.values);
    }
    if (!error.empty()) {
      state.SkipWithError(error.c_str());
      break;
    }
    state.SetIterationTime(run.seconds);
    total += run.seconds;
    ++runs;
    peak_mb = std::max(peak_mb, run.peak_mb);
    last = std::move(run);
  }
  if (runs == 0 || !error.empty()) return false;
  state.counters["lcs"] = last.lcs;
  state.counters["cables"] = last.cables;
  state.counters["loops"] = last.loops;
  if (way == Way::reference) state.counters["trials"] = static_cast<double>(last.trials);
  state.counters["peak_MB"] = peak_mb;
  state.counters["start_MB"] = last.start_mb;
  runs_of(way)[network.name] = WayRun{total / runs, peak_mb, std::move(last.values)};
  return true;
}

void BM_Reference(benchmark::State& state, Network network) {
  run_iterations(state, network, Way::reference);
}

void BM_Previous(benchmark::State& state, Network network) {
  if (!run_iterations(state, network, Way::previous)) return;
  const double to_integer =
      to_integer_twin(network, Way::previous, runs_of(Way::previous)[network.name].seconds);
  if (to_integer > 0) state.counters["dec/int"] = to_integer;
}

void BM_Fast(benchmark::State& state, Network network, Goal goal) {
  if (!run_iterations(state, network, Way::fast)) return;
  const WayRun& fast = runs_of(Way::fast)[network.name];
  Measured figures;
  figures.seconds = fast.seconds;
  figures.peak_mb = fast.peak_mb;
  for (Way way : {Way::reference, Way::previous}) {
    const auto other = runs_of(way).find(network.name);
    if (other == runs_of(way).end() || !(figures.seconds > 0)) continue;
    const double ratio = other->second.seconds / figures.seconds;
    state.counters[way == Way::reference ? "ref/fast" : "prev/fast"] = ratio;
    if (way == Way::reference) figures.ratio = ratio;
  }
  figures.to_integer = to_integer_twin(network, Way::fast, figures.seconds);
  if (figures.to_integer > 0) state.counters["dec/int"] = figures.to_integer;
  state.SetLabel(verdict(goal, figures));
}

// ---- Networks ----

void ring10(ZEVO_CONTEXT* context) { build_ring(context, RingShape{10, 3, 2, false}); }
void ring10_negative(ZEVO_CONTEXT* context) { build_ring(context, RingShape{10, 3, 2, true}); }
void ring40(ZEVO_CONTEXT* context) { build_ring(context, RingShape{40, 4, 2, false}); }
void grid3x4(ZEVO_CONTEXT* context) { build_grid(context, GridShape{3, 4, false}); }
void grid3x4_negative(ZEVO_CONTEXT* context) { build_grid(context, GridShape{3, 4, true}); }
void grid5x5(ZEVO_CONTEXT* context) { build_grid(context, GridShape{5, 5, false}); }
void grid6x6(ZEVO_CONTEXT* context) { build_grid(context, GridShape{6, 6, false}); }
void tree200k(ZEVO_CONTEXT* context) { build_tree(context, TreeShape{200000}); }

// Plants: four conditions. A ring main of S switchboards with two ties, each switchboard
// feeding a tree of 9 panels (3 from the switchboard, 3 from each of the first two): 10 S lcs.
constexpr int kPlantConditions = 4;
template <int Switchboards, FigureKind Kind>
void ring_main(ZEVO_CONTEXT* context) {
  build_ring(context, RingShape{Switchboards, 9, 2, false, 3, 1, kPlantConditions, Kind});
}
// 500 rings of 20 switchboards with a tie each and panels as above, each ring joined to the
// next by a cable: 10^5 lcs.
template <FigureKind Kind>
void chained_rings(ZEVO_CONTEXT* context) {
  build_ring(context, RingShape{20, 9, 1, false, 3, 500, kPlantConditions, Kind});
}
template <FigureKind Kind>
void tree100k(ZEVO_CONTEXT* context) {
  build_tree(context, TreeShape{100000, kPlantConditions, Kind});
}
// One ring of switchboards alone, and meshes, under the two conditions of the first networks.
template <FigureKind Kind>
void ring20k(ZEVO_CONTEXT* context) {
  build_ring(context, RingShape{20000, 0, 0, false, 0, 1, 2, Kind});
}
template <int Side, FigureKind Kind>
void grid(ZEVO_CONTEXT* context) {
  build_grid(context, GridShape{Side, Side, false, 2, Kind});
}

using benchmark::kMillisecond;
using enum FigureKind;

// Bonds of the looped parts (no negative figure): the reference where it finishes, then fast.
BENCHMARK_CAPTURE(BM_Reference, ring10_3panels_2ties, Network{"ring10", ring10})
    ->UseManualTime()
    ->Unit(kMillisecond);
BENCHMARK_CAPTURE(BM_Fast, ring10_3panels_2ties, Network{"ring10", ring10}, Goal{0.0, 100.0})
    ->UseManualTime()
    ->Unit(kMillisecond);
BENCHMARK_CAPTURE(BM_Fast, grid3x4, Network{"grid3x4", grid3x4}, Goal{0.1})
    ->UseManualTime()
    ->Unit(kMillisecond);
BENCHMARK_CAPTURE(BM_Fast, grid5x5, Network{"grid5x5", grid5x5}, Goal{2.0})
    ->UseManualTime()
    ->Unit(kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_Previous, grid6x6, Network{"grid6x6", grid6x6})
    ->UseManualTime()
    ->Unit(kMillisecond);
BENCHMARK_CAPTURE(BM_Fast, grid6x6, Network{"grid6x6", grid6x6}, Goal{60.0})
    ->UseManualTime()
    ->Unit(kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_Fast, ring40_4panels_2ties, Network{"ring40", ring40}, Goal{1.0})
    ->UseManualTime()
    ->Unit(kMillisecond);
BENCHMARK_CAPTURE(BM_Fast, tree200k, Network{"tree200k", tree200k}, Goal{5.0, 0.0, 1024.0})
    ->UseManualTime()
    ->Unit(kMillisecond)
    ->Iterations(1);

// Sets of cuts (a negative figure): the previous search balances every one; the fast search
// bounds splits or, with few loops, balances every set too.
BENCHMARK_CAPTURE(BM_Previous, grid3x4_negative, Network{"grid3x4_negative", grid3x4_negative})
    ->UseManualTime()
    ->Unit(kMillisecond);
BENCHMARK_CAPTURE(BM_Fast, grid3x4_negative, Network{"grid3x4_negative", grid3x4_negative},
                  Goal{0.0, 0.0, 100.0})
    ->UseManualTime()
    ->Unit(kMillisecond);
BENCHMARK_CAPTURE(BM_Reference, ring10_negative, Network{"ring10_negative", ring10_negative})
    ->UseManualTime()
    ->Unit(kMillisecond);
BENCHMARK_CAPTURE(BM_Previous, ring10_negative, Network{"ring10_negative", ring10_negative})
    ->UseManualTime()
    ->Unit(kMillisecond);
BENCHMARK_CAPTURE(BM_Fast, ring10_negative, Network{"ring10_negative", ring10_negative},
                  Goal{0.0, 5.0, 100.0})
    ->UseManualTime()
    ->Unit(kMillisecond);

// Plants and meshes on which the previous search finishes: it runs first, then the fast one.
#define ZEVO_PREVIOUS_AND_FAST(name, network, goal)                                   \
  BENCHMARK_CAPTURE(BM_Previous, name, network)->UseManualTime()->Unit(kMillisecond); \
  BENCHMARK_CAPTURE(BM_Fast, name, network, goal)->UseManualTime()->Unit(kMillisecond)

ZEVO_PREVIOUS_AND_FAST(ring_main_1k_decimal,
                       (Network{"ring_main_1k_decimal", ring_main<100, one_decimal>}), Goal{});
ZEVO_PREVIOUS_AND_FAST(tree100k_integer, (Network{"tree100k_integer", tree100k<integer>}), Goal{});
ZEVO_PREVIOUS_AND_FAST(tree100k_decimal,
                       (Network{"tree100k_decimal", tree100k<one_decimal>, "tree100k_integer"}),
                       Goal{.max_to_integer = 1.5});
ZEVO_PREVIOUS_AND_FAST(chained_rings100k_integer,
                       (Network{"chained_rings100k_integer", chained_rings<integer>}), Goal{});
ZEVO_PREVIOUS_AND_FAST(chained_rings100k_decimal,
                       (Network{"chained_rings100k_decimal", chained_rings<one_decimal>,
                                "chained_rings100k_integer"}),
                       Goal{.max_to_integer = 1.5});
ZEVO_PREVIOUS_AND_FAST(grid6x6_equal, (Network{"grid6x6_equal", grid<6, equal>}), Goal{});
ZEVO_PREVIOUS_AND_FAST(grid6x6_near_equal, (Network{"grid6x6_near_equal", grid<6, near_equal>}),
                       Goal{});
ZEVO_PREVIOUS_AND_FAST(grid6x6_decimal, (Network{"grid6x6_decimal", grid<6, one_decimal>}), Goal{});
// Every seventh load centre exporting: ring mains with two ties (few sets of cuts, many splits)
// and grids (the other way round).
ZEVO_PREVIOUS_AND_FAST(ring_main_100_exporters,
                       (Network{"ring_main_100_exporters", ring_main<10, exporters>}), Goal{});
ZEVO_PREVIOUS_AND_FAST(ring_main_200_exporters,
                       (Network{"ring_main_200_exporters", ring_main<20, exporters>}), Goal{});
ZEVO_PREVIOUS_AND_FAST(grid4x4_exporters, (Network{"grid4x4_exporters", grid<4, exporters>}),
                       Goal{});

// Where the search had not finished after two minutes in the last measurements: the fast search
// alone, once, giving up after two minutes.
constexpr int kGiveUp = 120;
#define ZEVO_FAST_ONCE(name, build, goal)                                           \
  BENCHMARK_CAPTURE(BM_Fast, name, (Network{#name, build, nullptr, kGiveUp}), goal) \
      ->UseManualTime()                                                             \
      ->Unit(kMillisecond)                                                          \
      ->Iterations(1)

ZEVO_FAST_ONCE(ring_main_10k_decimal, (ring_main<1000, one_decimal>), Goal{1.0});
ZEVO_FAST_ONCE(ring_main_100k_decimal, (ring_main<10000, one_decimal>), Goal{10.0});
ZEVO_FAST_ONCE(ring20k_integer, ring20k<integer>, Goal{2.0});
ZEVO_FAST_ONCE(ring20k_equal, ring20k<equal>, Goal{2.0});
ZEVO_FAST_ONCE(ring20k_decimal, ring20k<one_decimal>, Goal{2.0});
ZEVO_FAST_ONCE(grid8x8_integer, (grid<8, integer>), Goal{10.0});
ZEVO_FAST_ONCE(grid8x8_equal, (grid<8, equal>), Goal{10.0});
ZEVO_FAST_ONCE(grid8x8_decimal, (grid<8, one_decimal>), Goal{10.0});
ZEVO_FAST_ONCE(grid5x5_exporters, (grid<5, exporters>), Goal{});
ZEVO_FAST_ONCE(grid6x6_exporters, (grid<6, exporters>), Goal{5.0});
ZEVO_FAST_ONCE(grid7x7_exporters, (grid<7, exporters>), Goal{});
ZEVO_FAST_ONCE(grid8x8_exporters, (grid<8, exporters>), Goal{});
ZEVO_FAST_ONCE(grid10x10_integer, (grid<10, integer>), Goal{60.0});
ZEVO_FAST_ONCE(grid10x10_equal, (grid<10, equal>), Goal{});
ZEVO_FAST_ONCE(grid10x10_decimal, (grid<10, one_decimal>), Goal{});

}  // namespace
}  // namespace zevo::bench
