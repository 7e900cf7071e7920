// Runs of the cut search over every requested cable of a benchmark network, by the fast search,
// by the previous search or by the reference, each made alone in a child process that reports
// its timing, the values it found and its peak resident memory; and a check of the printed values.
//
// Entry points:
// - Builder: makes a network in a fresh context (see bench_networks.h).
// - compute_every_cable(context, way, nbr_threads): every requested cable, the fast way with one
//   CableSearch for the whole set, cable after cable, the previous way (the frozen copy of
//   the search in previous/, likewise with one search of its own), or the reference way;
//   `explained` is the fast way followed by the JSON document and the graph, both written to
//   /dev/null. Only calc_zevo_cable and CableSearch of either search are used, except that
//   the fast way with nbr_threads > 0 computes as `zevo -j nbr_threads` does
//   (calc_zevo_cables, without a progress line).
// - run_alone(build, way, give_up_seconds, nbr_threads): builds the network and computes every
//   cable alone
//   in a fresh process under an address-space limit, as a run of zevo would: gives the seconds
//   the computation took there (building stays outside), every requested cable's value and
//   loop flag in list order, the network's size, the trial sets of cuts the reference kept,
//   and the peak resident memory of that process (ru_maxrss as wait4 reports it) with the part
//   it held already when it started, both in MB. A process that has not finished after
//   give_up_seconds (0: no limit) is ended, and the result says so. Such processes are forked
//   by a small process of their own, itself forked at the first call, so that they share no
//   pages with whatever the benchmark process comes to hold (when that process cannot be made,
//   they are forked from the caller). The cut-search benchmarks run first, so the first call
//   comes while the benchmark process is still small.
// - first_difference(a, b): empty when both hold the same cables with the same printed values
//   ("%8.1f", as in the results table) and loop flags, else a description of the first
//   difference.
#pragma once

#include <string>
#include <vector>

#include "model/run_context.h"

namespace zevo::bench {

using Builder = void (*)(ZEVO_CONTEXT*);

enum class Way { fast, reference, explained, previous };

void compute_every_cable(ZEVO_CONTEXT* context, Way way, int nbr_threads = 0);

struct CableValue {
  std::string name;
  double val = 0.0;
  bool in_loop = false;
};
using CableValues = std::vector<CableValue>;

std::string first_difference(const CableValues& a, const CableValues& b);

struct AloneRun {
  bool ok = false;       // the child finished normally and reported in full
  double seconds = 0.0;  // what computing every cable took in it
  CableValues values;    // what it found
  int lcs = 0, cables = 0, loops = 0;
  long trials = 0;           // kept by the reference
  double peak_mb = 0.0;      // ru_maxrss of the child
  double cpu_seconds = 0.0;  // user and system time of the child, building included
  double start_mb = 0.0;     // its resident memory when it started
  std::string failure;       // why not, when !ok
};

// No child may map more than this: the reference grows with its trials.
inline constexpr double kChildLimitGb = 8.0;

AloneRun run_alone(Builder build, Way way, int give_up_seconds = 0, int nbr_threads = 0);

}  // namespace zevo::bench
