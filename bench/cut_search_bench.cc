// Timing and peak memory of the cut search over every cable of a network, the fast search
// against the reference where the reference finishes.
//
// Entry points (Google Benchmark):
// - BM_Reference/<network>: the reference over every cable. Each iteration also runs the fast
//   search on the same network and ends the benchmark with an error unless every cable's value
//   is bitwise equal (and both agree on which cables lie in a loop).
// - BM_Fast/<network>: the fast search over every cable with one CableSearch. When the
//   reference ran on the same network just before, the counter ref/fast gives the ratio of the
//   two mean times of this run.
// Times are those of the computation alone (manual timing): building the network and releasing
// the records stay outside. Counters: peak_MB, the peak resident memory of one build and
// computation made alone in a child process (start_MB of it held already when it started);
// lcs, cables and loops of the network; for the reference, the trials it kept. The label
// compares the figures with the goals.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "bench_networks.h"
#include "cut_search_runs.h"
#include "model/record_store.h"

namespace zevo::bench {
namespace {

struct Goal {
  double max_seconds = 0.0;  // 0: no goal
  double min_ratio = 0.0;
  double max_peak_mb = 0.0;
};

// The reference's mean seconds per set of cables and the outcome of the check, by network.
struct ReferenceRun {
  double seconds = 0.0;
  std::string mismatch;
};
std::map<std::string, ReferenceRun>& reference_runs() {
  static std::map<std::string, ReferenceRun> runs;
  return runs;
}

// Measured once per network and way, however often the framework calls the benchmark.
const PeakMemory& peak_of(const std::string& network, Builder build, Way way) {
  static std::map<std::string, PeakMemory> peaks;
  const std::string key = network + (way == Way::fast ? "/fast" : "/reference");
  auto found = peaks.find(key);
  if (found == peaks.end()) found = peaks.emplace(key, measure_peak(build, way)).first;
  return found->second;
}

std::string verdict(const Goal& goal, double seconds, double ratio, double peak_mb) {
  std::string text;
  auto add = [&](bool met, const std::string& what) {
    text += (text.empty() ? "" : ", ") + what + (met ? " met" : " MISSED");
  };
  char figure[32];
  if (goal.max_seconds > 0) {
    std::snprintf(figure, sizeof figure, "%g", goal.max_seconds);
    add(seconds < goal.max_seconds, std::string("time<") + figure + "s");
  }
  if (goal.min_ratio > 0) {
    std::snprintf(figure, sizeof figure, "%g", goal.min_ratio);
    add(ratio >= goal.min_ratio, std::string("ref/fast>=") + figure);
  }
  if (goal.max_peak_mb > 0) {
    std::snprintf(figure, sizeof figure, "%g", goal.max_peak_mb);
    add(peak_mb < goal.max_peak_mb, std::string("peak<") + figure + "MB");
  }
  return text.empty() ? text : "goals: " + text;
}

void count_network(benchmark::State& state, const ZEVO_CONTEXT& context) {
  state.counters["lcs"] = context.nbr_nodes;
  state.counters["cables"] = context.nbr_connections;
  state.counters["loops"] = nbr_independent_loops(context);
}

void report_peak(benchmark::State& state, const PeakMemory& peak) {
  state.counters["peak_MB"] = peak.peak_mb;
  state.counters["start_MB"] = peak.start_mb;
}

void BM_Reference(benchmark::State& state, const char* network, Builder build) {
  const PeakMemory& peak = peak_of(network, build, Way::reference);
  if (!peak.ok) {
    state.SkipWithError(("reference run alone failed: " + peak.failure).c_str());
    return;
  }
  double total = 0.0;
  int runs = 0;
  std::string mismatch;
  for (auto _ : state) {
    ZEVO_CONTEXT reference;
    const double seconds = timed_run(build, Way::reference, &reference);
    state.SetIterationTime(seconds);
    total += seconds;
    ++runs;
    ZEVO_CONTEXT fast;
    build(&fast);
    compute_every_cable(&fast, Way::fast);
    mismatch = first_difference(values_of(fast), values_of(reference));
    count_network(state, reference);
    state.counters["trials"] = static_cast<double>(nbr_trials(reference));
    release_all_records();
    if (!mismatch.empty()) {
      state.SkipWithError(("fast and reference differ: " + mismatch).c_str());
      break;
    }
  }
  reference_runs()[network] = ReferenceRun{runs > 0 ? total / runs : 0.0, mismatch};
  report_peak(state, peak);
}

void BM_Fast(benchmark::State& state, const char* network, Builder build, Goal goal) {
  const PeakMemory& peak = peak_of(network, build, Way::fast);
  if (!peak.ok) {
    state.SkipWithError(("fast run alone failed: " + peak.failure).c_str());
    return;
  }
  const auto reference = reference_runs().find(network);
  if (reference != reference_runs().end() && !reference->second.mismatch.empty()) {
    state.SkipWithError(("fast and reference differ: " + reference->second.mismatch).c_str());
    return;
  }
  double total = 0.0;
  int runs = 0;
  for (auto _ : state) {
    ZEVO_CONTEXT context;
    const double seconds = timed_run(build, Way::fast, &context);
    state.SetIterationTime(seconds);
    total += seconds;
    ++runs;
    count_network(state, context);
    release_all_records();
  }
  const double mean = total / runs;
  double ratio = 0.0;
  if (reference != reference_runs().end() && mean > 0) {
    ratio = reference->second.seconds / mean;
    state.counters["ref/fast"] = ratio;
  }
  report_peak(state, peak);
  state.SetLabel(verdict(goal, mean, ratio, peak.peak_mb));
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

using benchmark::kMillisecond;

// Bonds of the looped parts (no negative figure): the reference where it finishes, then fast.
BENCHMARK_CAPTURE(BM_Reference, ring10_3panels_2ties, "ring10", ring10)
    ->UseManualTime()
    ->Unit(kMillisecond);
BENCHMARK_CAPTURE(BM_Fast, ring10_3panels_2ties, "ring10", ring10, Goal{0.0, 100.0, 0.0})
    ->UseManualTime()
    ->Unit(kMillisecond);
BENCHMARK_CAPTURE(BM_Fast, grid3x4, "grid3x4", grid3x4, Goal{0.1, 0.0, 0.0})
    ->UseManualTime()
    ->Unit(kMillisecond);
BENCHMARK_CAPTURE(BM_Fast, grid5x5, "grid5x5", grid5x5, Goal{2.0, 0.0, 0.0})
    ->UseManualTime()
    ->Unit(kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_Fast, grid6x6, "grid6x6", grid6x6, Goal{60.0, 0.0, 0.0})
    ->UseManualTime()
    ->Unit(kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_Fast, ring40_4panels_2ties, "ring40", ring40, Goal{1.0, 0.0, 0.0})
    ->UseManualTime()
    ->Unit(kMillisecond);
BENCHMARK_CAPTURE(BM_Fast, tree200k, "tree200k", tree200k, Goal{5.0, 0.0, 1024.0})
    ->UseManualTime()
    ->Unit(kMillisecond)
    ->Iterations(1);

// Distinct sets of cuts (one negative figure).
BENCHMARK_CAPTURE(BM_Fast, grid3x4_negative, "grid3x4_negative", grid3x4_negative,
                  Goal{0.0, 0.0, 100.0})
    ->UseManualTime()
    ->Unit(kMillisecond);
BENCHMARK_CAPTURE(BM_Reference, ring10_negative, "ring10_negative", ring10_negative)
    ->UseManualTime()
    ->Unit(kMillisecond);
BENCHMARK_CAPTURE(BM_Fast, ring10_negative, "ring10_negative", ring10_negative,
                  Goal{0.0, 5.0, 100.0})
    ->UseManualTime()
    ->Unit(kMillisecond);

}  // namespace
}  // namespace zevo::bench
