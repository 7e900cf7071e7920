// What explaining the results costs: the JSON document and the graph of a network of 10^5 load
// centres, each timed against the run as it was before them (every requested cable computed,
// the results table and the echo written), with the bytes written and the peak resident memory
// of a run made alone with and without them.
//
// Counters: run_ms (of which calc_ms computing), json_ms, dot_ms; json/run and dot/run, the
// ratios; json_MB, the document's size; peak_MB with both written, plain_peak_MB without.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "bench_networks.h"
#include "calc/calc_zevo_cable.h"
#include "cut_search_runs.h"
#include "model/record_store.h"
#include "report/echo.h"
#include "report/json_report.h"
#include "report/network_graph.h"
#include "report/results_table.h"

namespace zevo::bench {
namespace {

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Times `write` into a temporary file; returns the seconds, and the bytes in `bytes`.
template <typename Write>
double timed_write(Write write, long* bytes) {
  FILE* file = std::tmpfile();
  if (!file) return 0.0;
  const auto start = std::chrono::steady_clock::now();
  write(file);
  std::fflush(file);
  const double seconds = seconds_since(start);
  *bytes = std::ftell(file);
  std::fclose(file);
  return seconds;
}

void BM_Explain(benchmark::State& state, Builder build) {
  const AloneRun plain = run_alone(build, Way::fast);
  const AloneRun explained = run_alone(build, Way::explained);
  if (!plain.ok || !explained.ok) {
    state.SkipWithError(("run alone failed: " + plain.failure + explained.failure).c_str());
    return;
  }
  double run = 0.0, calc = 0.0, json = 0.0, dot = 0.0;
  long json_bytes = 0, dot_bytes = 0;
  for (auto _ : state) {
    ZEVO_CONTEXT context;
    build(&context);
    CableSearch search;
    const auto start = std::chrono::steady_clock::now();
    for (CALC_CONNECTION* cc = context.calc_connections; cc; cc = cc->next) {
      calc_zevo_cable(&context, cc, &search);
    }
    const double calc_s = seconds_since(start);
    long report_bytes = 0;
    const double run_s = calc_s + timed_write(
                                      [&](FILE* f) {
                                        print_zevo_output(f, &context);
                                        print_zevo_input(f, &context);
                                      },
                                      &report_bytes);
    const double json_s =
        timed_write([&](FILE* f) { print_zevo_json(f, &context, &search, true); }, &json_bytes);
    const double dot_s =
        timed_write([&](FILE* f) { print_zevo_graph(f, &context, &search); }, &dot_bytes);
    state.SetIterationTime(run_s + json_s + dot_s);
    run += run_s, calc += calc_s, json += json_s, dot += dot_s;
    release_all_records();
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["run_ms"] = 1e3 * run / runs;
  state.counters["calc_ms"] = 1e3 * calc / runs;
  state.counters["json_ms"] = 1e3 * json / runs;
  state.counters["dot_ms"] = 1e3 * dot / runs;
  state.counters["json/run"] = json / run;
  state.counters["dot/run"] = dot / run;
  state.counters["json_MB"] = static_cast<double>(json_bytes) / (1024.0 * 1024.0);
  state.counters["peak_MB"] = explained.peak_mb;
  state.counters["plain_peak_MB"] = plain.peak_mb;
}

void tree100k(ZEVO_CONTEXT* context) { build_tree(context, TreeShape{100000}); }
// 100 switchboards in a ring, 999 panels each: 10^5 load centres, every cable requested.
void ring100(ZEVO_CONTEXT* context) { build_ring(context, RingShape{100, 999, 2, false}); }

BENCHMARK_CAPTURE(BM_Explain, tree100k, tree100k)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Explain, ring100_999panels_2ties, ring100)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zevo::bench
