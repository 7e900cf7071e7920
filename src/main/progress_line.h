// The line that shows on a terminal how far the computation of the requested cables has come.
//
// Entry points:
// - ProgressLine(time_limit): starts its clock (the computation's start) with the run's time
//   limit in seconds (0: none). Shows nothing at all when the error stream is not a terminal:
//   nothing of it reaches a pipe or a file.
// - active(): whether the error stream is a terminal, so that progress is worth reporting.
// - show(nbr_done, nbr_cables): once the computation has lasted more than a second, and then at
//   most four times a second, rewrites the line in place (it begins with '\r'): the cables
//   done, the time so far, and an estimate of the time left from the pace so far (never beyond
//   the time limit). Printed on standard error through the message path, flushed at once.
// - clear(): blanks out the line shown, if any, and returns to its start, so that what comes
//   next on the terminal begins at the left margin. The destructor clears it too, so that an
//   error message ending the run never lands on it.
#pragma once

#include <chrono>
#include <cstddef>

namespace zevo {

class ProgressLine {
 public:
  explicit ProgressLine(double time_limit);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  bool active() const { return active_; }
  void show(int nbr_done, int nbr_cables);
  void clear();

 private:
  using Clock = std::chrono::steady_clock;

  bool active_ = false;
  double time_limit_ = 0.0;
  Clock::time_point start_, last_shown_;
  std::size_t shown_length_ = 0;  // of the text on the line now; 0 when none
};

}  // namespace zevo
