// Runs of the cut search over every requested cable of a benchmark network, by the fast search,
// by the previous search or by the reference, with their timing, a bitwise check of the values,
// and the peak resident memory of a run made alone in a child process.
//
// Entry points:
// - Builder: makes a network in a fresh context (see bench_networks.h).
// - compute_every_cable(context, way): every requested cable, the fast way with one
//   CableSearch for the whole set (as the driver does), the previous way (the frozen copy of
//   the search in previous/, likewise with one search of its own), or the reference way;
//   `explained` is the fast way followed by the JSON document and the graph, both written to
//   /dev/null. Only calc_zevo_cable and CableSearch of either search are used.
// - timed_run(build, way, context): builds, then returns the seconds compute_every_cable took;
//   the records stay for the caller to check and release.
// - nbr_trials(context): the trial sets of cuts the reference kept for the requested cables.
// - values_of(context): every requested cable's name, value and loop flag, in list order, to
//   be kept after the records are released.
// - first_difference(a, b): empty when both hold the same cables with bitwise equal values and
//   loop flags, else a description of the first difference.
// - measure_peak(build, way, give_up_seconds): builds the network and computes, alone in a
//   process under an address-space limit, and gives the peak resident memory of that process
//   (ru_maxrss as wait4 reports it) and the part it held already when it started, both in MB,
//   with the seconds the computation took there and the values it found. A process that has
//   not finished after give_up_seconds (0: no limit) is ended, and the result says so. Such
//   processes are forked by a small process of their own, itself forked at the first call, so
//   that they share no pages with whatever the benchmark process comes to hold (when that
//   process cannot be made, they are forked from the caller). The cut-search benchmarks run
//   first, so the first call comes while the benchmark process is still small.
#pragma once

#include <string>
#include <vector>

#include "model/run_context.h"

namespace zevo::bench {

using Builder = void (*)(ZEVO_CONTEXT*);

enum class Way { fast, reference, explained, previous };

void compute_every_cable(ZEVO_CONTEXT* context, Way way);

double timed_run(Builder build, Way way, ZEVO_CONTEXT* context);

long nbr_trials(const ZEVO_CONTEXT& context);

struct CableValue {
  std::string name;
  double val = 0.0;
  bool in_loop = false;
};
using CableValues = std::vector<CableValue>;

CableValues values_of(const ZEVO_CONTEXT& context);

std::string first_difference(const CableValues& a, const CableValues& b);

struct PeakMemory {
  bool ok = false;        // the child finished normally
  double peak_mb = 0.0;   // ru_maxrss of the child
  double start_mb = 0.0;  // its resident memory when it started
  double seconds = 0.0;   // what computing every cable took in it
  CableValues values;     // what it found
  std::string failure;    // why not, when !ok
};

// No child may map more than this: the reference grows with its trials.
inline constexpr double kChildLimitGb = 8.0;

PeakMemory measure_peak(Builder build, Way way, int give_up_seconds = 0);

}  // namespace zevo::bench
