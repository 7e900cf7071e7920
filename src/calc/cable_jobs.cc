#include "calc/cable_jobs.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "calc/cable_analysis.h"
#include "calc/search_budget.h"
#include "model/messages.h"

namespace zevo {
namespace {

using Clock = SearchBudget::Clock;

// A limit this long never ends a run, and keeps the clock's arithmetic far from overflow.
constexpr double kLongestLimit = 1e7;

struct Job {
  CALC_CONNECTION* cc;
  CablePlace place;
  Opening opening;
  std::exception_ptr failure;
};

class JobRun {
 public:
  // With a time limit, the computation ends by `end`.
  JobRun(std::vector<Job>* jobs, int nbr_threads, bool limited, Clock::time_point end)
      : jobs_(*jobs), nbr_threads_(nbr_threads), limited_(limited), end_(end) {}

  // Computes the next cable with `analysis`; false when none is left or a cable has failed.
  bool work_one(CableAnalysis* analysis) {
    const int nbr_jobs = static_cast<int>(jobs_.size());
    if (failed_.load()) return false;
    const int i = next_.fetch_add(1);
    if (i >= nbr_jobs) return false;
    Job& job = jobs_[i];
    try {
      SearchBudget budget =
          limited_ ? SearchBudget::share_of(end_, nbr_threads_, nbr_jobs - i) : SearchBudget();
      analysis->compute(job.place.slot, job.place.end1, job.place.end2, job.cc->results,
                        &job.opening, &budget);
    } catch (...) {
      job.failure = std::current_exception();
      failed_.store(true);
    }
    done_.fetch_add(1);
    return true;
  }

  // Whatever ends the run early, no thread outlives the records it writes into.
  ~JobRun() {
    failed_.store(true);
    for (std::thread& thread : threads_) {
      if (thread.joinable()) thread.join();
    }
  }

  // The threads that compute: the first with the search's own analysis, the others with
  // analyses shared from it. Fewer start when the system refuses more (threads or memory for
  // their analyses); returns how many did.
  int start_threads(CableAnalysis* first) {
    threads_.reserve(nbr_threads_);
    analyses_.reserve(nbr_threads_);
    for (int t = 0; t < nbr_threads_; ++t) {
      try {
        analyses_.push_back(t == 0 ? nullptr : first->share());
        CableAnalysis* analysis = t == 0 ? first : analyses_.back().get();
        threads_.emplace_back([this, analysis] {
          while (work_one(analysis)) continue;
          std::lock_guard<std::mutex> lock(mutex_);
          ++nbr_ended_;
          ended_.notify_one();
        });
      } catch (const std::exception&) {
        break;
      }
    }
    return static_cast<int>(threads_.size());
  }

  // Waits for every thread, reporting progress a few times a second meanwhile.
  void wait(const ReportProgress& progress) {
    std::unique_lock<std::mutex> lock(mutex_);
    const int nbr_threads = static_cast<int>(threads_.size());
    while (nbr_ended_ < nbr_threads) {
      ended_.wait_for(lock, std::chrono::milliseconds(250));
      if (progress) {
        lock.unlock();
        progress(done(), static_cast<int>(jobs_.size()));
        lock.lock();
      }
    }
    lock.unlock();
    for (std::thread& thread : threads_) thread.join();
  }

  int done() const { return done_.load(); }

 private:
  std::vector<Job>& jobs_;
  const int nbr_threads_;
  const bool limited_;
  const Clock::time_point end_;
  std::atomic<int> next_{0}, done_{0};
  std::atomic<bool> failed_{false};

  std::vector<std::unique_ptr<CableAnalysis>> analyses_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable ended_;
  int nbr_ended_ = 0;
};

}  // namespace

void calc_zevo_cables(ZEVO_CONTEXT* context, CableSearch* search, const CableJobs& jobs,
                      const ReportProgress& progress) {
  const Clock::time_point end =
      Clock::now() + std::chrono::duration_cast<Clock::duration>(
                         std::chrono::duration<double>(std::min(jobs.time_limit, kLongestLimit)));
  std::vector<Job> list;
  for (CALC_CONNECTION* cc = context->calc_connections; cc; cc = cc->next) {
    list.push_back(Job{cc, place_cable(context, cc, search), Opening{}, nullptr});
  }
  if (list.empty()) return;
  CableAnalysis& analysis = search->analysis(context, list.front().cc->results->condition);
  const int nbr_threads =
      jobs.on_caller ? 1 : std::clamp(jobs.nbr_threads, 1, static_cast<int>(list.size()));

  JobRun run(&list, nbr_threads, jobs.time_limit > 0, end);
  if (jobs.on_caller || (nbr_threads == 1 && !progress) || run.start_threads(&analysis) == 0) {
    // One cable after the other on this thread, as the run did before it had threads.
    while (run.work_one(&analysis)) {
      if (progress) progress(run.done(), static_cast<int>(list.size()));
    }
  } else {
    run.wait(progress);
  }
  for (Job& job : list) {
    if (job.failure) std::rethrow_exception(job.failure);
  }
  for (Job& job : list) search->remember(job.cc, job.place.slot, std::move(job.opening));
}

void warn_bounded_cables(const ZEVO_CONTEXT* context, const CableSearch& search) {
  for (const CALC_CONNECTION* cc = context->calc_connections; cc; cc = cc->next) {
    const Opening* opening = search.loop_opening(cc);
    if (!opening || !opening->bounded) continue;
    print_message(Stream::err,
                  " *** WARNING: time limit reached for cable (%s): value at most %.1f (in the "
                  "table), best opening found %.1f\n",
                  shown_text(cc->name), cc->results->val, opening->found_val);
  }
}

int nbr_usable_cores() {
  cpu_set_t cores;
  if (sched_getaffinity(0, sizeof cores, &cores) == 0 && CPU_COUNT(&cores) > 0) {
    return CPU_COUNT(&cores);
  }
  return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace zevo
