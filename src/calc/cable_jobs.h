// Every requested cable computed, on one thread or on several, within an optional time limit.
//
// The cables are independent: the search of one never reads another's result. Each thread
// computes with an analysis of its own (the search's own for the first thread, one shared from
// it for the others: CableAnalysis::share), takes the next cable from a shared counter and
// writes only that cable's result record. The splits found are remembered in the search
// afterwards, in list order, so the reports written after it are the same on any number of
// threads, byte for byte.
//
// Entry points:
// - CableJobs: nbr_threads (at least 1; no more start than there are cables), time_limit in
//   seconds (0: none), on_caller (compute on the calling thread alone, as the debug trace
//   wants).
// - calc_zevo_cables(context, search, jobs, progress): first places every cable of
//   context->calc_connections, in list order (place_cable: its failures end the run before any
//   value is computed, exactly as computing cable after cable would show them); then computes
//   them all. `progress` (may be empty) is called with the number of cables done and the number
//   of cables, on the calling thread only: every quarter second while threads compute, or after
//   each cable when the calling thread computes them itself (on_caller, or one thread and no
//   progress to report). With a time limit, counted from the call, each cable's search gets its
//   share of the time left (SearchBudget::share_of), so the last ends by the limit. Memory for
//   each thread beyond the first: the scratch arrays of its analysis. Exhausted memory in a
//   thread stops the others; the std::bad_alloc of the first such cable in list order is
//   thrown here once every thread has ended.
// - warn_bounded_cables(context, search): one warning on standard error, in list order, for
//   each cable whose search the time limit stopped, naming the cable with its bound (the value
//   in the results table) and the value of the best opening found.
// - nbr_usable_cores(): the cores this process may run on (at least 1).
#pragma once

#include <functional>

#include "calc/calc_zevo_cable.h"
#include "model/run_context.h"

namespace zevo {

struct CableJobs {
  int nbr_threads = 1;
  double time_limit = 0.0;
  bool on_caller = false;
};

using ReportProgress = std::function<void(int nbr_done, int nbr_cables)>;

void calc_zevo_cables(ZEVO_CONTEXT* context, CableSearch* search, const CableJobs& jobs,
                      const ReportProgress& progress);

void warn_bounded_cables(const ZEVO_CONTEXT* context, const CableSearch& search);

int nbr_usable_cores();

}  // namespace zevo
