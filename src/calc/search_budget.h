// How long the cut search of one cable may run, and what a search that had to stop has proved.
//
// A search that runs out of its budget stops where it stands. Everything it has not explored
// lies under the bounds it still held (in a depth-first branch and bound, those of the frames
// on its stack), so the largest of them, with the best value found, bounds the exact value from
// above: a cable sized on it is safe.
//
// Entry points:
// - SearchBudget(): no limit; run_out() never turns true.
// - SearchBudget::until(deadline): runs out once the steady clock has passed `deadline`.
// - SearchBudget::share_of(end, nbr_threads, nbr_cables_left): the budget of the next cable of
//   a run that must end at `end`, with nbr_cables_left cables (this one included) still to
//   start on nbr_threads threads: its share of the time left, so that every cable gets some
//   and the last ends by `end`. Time a cable leaves unused goes to those after it.
// - SearchBudget::of_nodes(n): runs out at the (n + 1)-th call of run_out(), the same on every
//   machine: tests and benchmarks stop a search at a node of their choosing with it.
// - run_out(): a search calls it once per node (or box, or set of cuts) it is about to explore,
//   and stops when it returns true. The clock is read at the first call and then once every
//   kNodesPerLook calls, so a check costs a count. Once true, it stays true.
// - stopped(): whether run_out() has returned true.
// - raise_bound(b), bound(): the largest bound reported by the search that stopped: every split
//   it left unexplored is worth at most bound(). 0 until a bound is raised.
// Nothing here prints or ends the run.
#pragma once

#include <chrono>
#include <cmath>

namespace zevo {

class SearchBudget {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int kNodesPerLook = 256;

  SearchBudget() = default;
  static SearchBudget until(Clock::time_point deadline);
  static SearchBudget share_of(Clock::time_point end, int nbr_threads, int nbr_cables_left);
  static SearchBudget of_nodes(long nbr_nodes);

  bool run_out() {
    if (!limited_ || stopped_) return stopped_;
    if (by_nodes_) {
      stopped_ = nbr_left_-- <= 0;
    } else if (--countdown_ <= 0) {
      countdown_ = kNodesPerLook;
      stopped_ = Clock::now() >= deadline_;
    }
    return stopped_;
  }
  bool stopped() const { return stopped_; }

  // A NaN bound proves nothing: it counts as infinite.
  void raise_bound(double bound) {
    if (std::isnan(bound)) bound = HUGE_VAL;
    if (bound > bound_) bound_ = bound;
  }
  double bound() const { return bound_; }

 private:
  bool limited_ = false;
  bool by_nodes_ = false;
  bool stopped_ = false;
  int countdown_ = 1;
  long nbr_left_ = 0;
  Clock::time_point deadline_{};
  double bound_ = 0.0;
};

}  // namespace zevo
