// The computation of every requested cable on one thread against two and four, on networks
// where the search dominates, each computed as `zevo -j N` computes it (calc_zevo_cables).
//
// Entry point (Google Benchmark):
// - BM_Jobs/<network>/<N>: every cable of the network on N threads. Every iteration is one run
//   made alone in a child process (cut_search_runs.h), which gives the time of the computation
//   and the peak memory of that process. Counters: peak_MB, and for N > 1, when the network ran
//   on one thread just before, j1/jN: the mean time on one thread over this one, in this run.
//   Values that do not print as those of the run on one thread end the benchmark with an
//   error. The machine's cores bound what a ratio can reach: cores shows how many the process
//   may use, and cpu_s the processor time of the child (building the network included), which
//   stays that of one thread when the threads add no work.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "bench_networks.h"
#include "calc/cable_jobs.h"
#include "cut_search_runs.h"

namespace zevo::bench {
namespace {

struct JobsNetwork {
  const char* name;
  Builder build;
  int give_up_seconds = 600;
};

// The mean seconds and the values of the run on one thread, by network.
struct OneThread {
  double seconds = 0.0;
  CableValues values;
};
std::map<std::string, OneThread>& one_thread_runs() {
  static std::map<std::string, OneThread> runs;
  return runs;
}

void BM_Jobs(benchmark::State& state, JobsNetwork network) {
  const int nbr_threads = static_cast<int>(state.range(0));
  double total = 0.0, peak_mb = 0.0, cpu = 0.0;
  int runs = 0;
  AloneRun last;
  for (auto _ : state) {
    AloneRun run = run_alone(network.build, Way::fast, network.give_up_seconds, nbr_threads);
    std::string error = run.ok ? "" : "run alone failed: " + run.failure;
    const auto one = one_thread_runs().find(network.name);
    if (error.empty() && nbr_threads > 1 && one != one_thread_runs().end()) {
      const std::string difference = first_difference(run.values, one->second.values);
      if (!difference.empty()) error = "values differ from one thread's: " + difference;
    }
    if (!error.empty()) {
      state.SkipWithError(error.c_str());
      return;
    }
    state.SetIterationTime(run.seconds);
    total += run.seconds;
    ++runs;
    peak_mb = std::max(peak_mb, run.peak_mb);
    cpu += run.cpu_seconds;
    last = std::move(run);
  }
  if (runs == 0) return;
  const double mean = total / runs;
  state.counters["peak_MB"] = peak_mb;
  state.counters["cables"] = last.cables;
  state.counters["cores"] = nbr_usable_cores();
  state.counters["cpu_s"] = cpu / runs;
  if (nbr_threads == 1) {
    one_thread_runs()[network.name] = OneThread{mean, std::move(last.values)};
    return;
  }
  const auto one = one_thread_runs().find(network.name);
  if (one != one_thread_runs().end() && mean > 0) {
    state.counters["j1/jN"] = one->second.seconds / mean;
  }
}

// A ring main of 1,000 switchboards with two ties, each feeding a tree of 9 panels (10,000 lcs),
// figures of one decimal under four conditions.
void ring_main_10k(ZEVO_CONTEXT* context) {
  build_ring(context, RingShape{1000, 9, 2, false, 3, 1, 4, FigureKind::one_decimal});
}

// Two 8 x 8 meshes side by side, all figures equal, under two conditions.
void grids_8x8(ZEVO_CONTEXT* context) {
  build_grid(context, GridShape{8, 8, false, 2, FigureKind::equal, 2});
}

BENCHMARK_CAPTURE(BM_Jobs, ring_main_10k_decimal, JobsNetwork{"ring_main_10k", ring_main_10k})
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK_CAPTURE(BM_Jobs, two_grids_8x8_equal, JobsNetwork{"grids_8x8", grids_8x8})
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
}  // namespace zevo::bench
