#include "cut_search_runs.h"

#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "calc/calc_zevo_cable.h"
#include "calc/reference/literal_cut_search.h"
#include "calc/reference/trial_records.h"
#include "report/json_report.h"
#include "report/network_graph.h"

namespace zevo::bench {
namespace {

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool in_loop(const CALC_CONNECTION* cc) {
  return cc->results->sub_network1 == cc->results->sub_network2;
}

std::string describe(const CALC_CONNECTION* a, const CALC_CONNECTION* b) {
  char text[256];
  std::snprintf(text, sizeof text, "cable %s: %.17g (loop %d) against %.17g (loop %d)",
                a->name ? a->name : "(NULL)", a->results->val, in_loop(a) ? 1 : 0, b->results->val,
                in_loop(b) ? 1 : 0);
  return text;
}

double mb_of_kb(long kb) { return static_cast<double>(kb) / 1024.0; }

// ---- Runs made alone ----

struct PeakRequest {
  Builder build;
  Way way;
};

struct PeakReply {
  int failure = 0;  // 1: no pipe or fork, 2: wait4 failed
  int status = 0;   // as wait4 gives it
  int got_start = 0;
  long start_kb = 0;
  long peak_kb = 0;
};

bool write_all(int fd, const void* data, std::size_t size) {
  return write(fd, data, size) == static_cast<ssize_t>(size);
}

bool read_all(int fd, void* data, std::size_t size) {
  return read(fd, data, size) == static_cast<ssize_t>(size);
}

// Forks a process that builds and computes under the address-space limit, and waits for it.
PeakReply run_alone(const PeakRequest& request) {
  PeakReply reply;
  int ends[2];
  if (pipe(ends) != 0) {
    reply.failure = 1;
    return reply;
  }
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) {
    close(ends[0]);
    close(ends[1]);
    reply.failure = 1;
    return reply;
  }
  if (child == 0) {
    close(ends[0]);
    const auto limit = static_cast<rlim_t>(kChildLimitGb * 1024 * 1024 * 1024);
    const rlimit as_limit{limit, limit};
    setrlimit(RLIMIT_AS, &as_limit);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    if (!write_all(ends[1], &usage.ru_maxrss, sizeof usage.ru_maxrss)) _exit(3);
    close(ends[1]);
    ZEVO_CONTEXT context;
    request.build(&context);
    compute_every_cable(&context, request.way);
    std::fflush(nullptr);
    _exit(0);
  }
  close(ends[1]);
  reply.got_start = read_all(ends[0], &reply.start_kb, sizeof reply.start_kb) ? 1 : 0;
  close(ends[0]);
  rusage usage{};
  if (wait4(child, &reply.status, 0, &usage) != child) {
    reply.failure = 2;
    return reply;
  }
  reply.peak_kb = usage.ru_maxrss;
  return reply;
}

// A process forked while the benchmark process is small, that forks the runs made alone on
// request. It ends when the benchmark process closes its end of the requests.
class RunHelper {
 public:
  RunHelper() {
    int requests[2];
    int replies[2];
    if (pipe(requests) != 0) return;
    if (pipe(replies) != 0) {
      close(requests[0]);
      close(requests[1]);
      return;
    }
    std::fflush(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
      close(requests[1]);
      close(replies[0]);
      PeakRequest request;
      while (read_all(requests[0], &request, sizeof request)) {
        const PeakReply reply = run_alone(request);
        if (!write_all(replies[1], &reply, sizeof reply)) break;
      }
      _exit(0);
    }
    close(requests[0]);
    close(replies[1]);
    if (pid_ < 0) {
      close(requests[1]);
      close(replies[0]);
      return;
    }
    request_fd_ = requests[1];
    reply_fd_ = replies[0];
  }

  ~RunHelper() {
    if (pid_ <= 0) return;
    close(request_fd_);
    close(reply_fd_);
    waitpid(pid_, nullptr, 0);
  }

  RunHelper(const RunHelper&) = delete;
  RunHelper& operator=(const RunHelper&) = delete;

  bool ask(const PeakRequest& request, PeakReply* reply) {
    return pid_ > 0 && write_all(request_fd_, &request, sizeof request) &&
           read_all(reply_fd_, reply, sizeof *reply);
  }

 private:
  pid_t pid_ = -1;
  int request_fd_ = -1;
  int reply_fd_ = -1;
};

RunHelper& helper() {
  static RunHelper the_helper;
  return the_helper;
}

}  // namespace

void compute_every_cable(ZEVO_CONTEXT* context, Way way) {
  if (way != Way::reference) {
    CableSearch search;
    for (CALC_CONNECTION* cc = context->calc_connections; cc; cc = cc->next) {
      calc_zevo_cable(context, cc, &search);
    }
    if (way == Way::explained) {
      FILE* sink = std::fopen("/dev/null", "w");
      if (!sink) return;
      print_zevo_json(sink, context, &search, true);
      print_zevo_graph(sink, context, &search);
      std::fclose(sink);
    }
    return;
  }
  for (CALC_CONNECTION* cc = context->calc_connections; cc; cc = cc->next) {
    literal_calc_zevo_cable(context, cc);
  }
}

double timed_run(Builder build, Way way, ZEVO_CONTEXT* context) {
  build(context);
  const auto start = std::chrono::steady_clock::now();
  compute_every_cable(context, way);
  const auto stop = std::chrono::steady_clock::now();
  return std::chrono::duration<double>(stop - start).count();
}

long nbr_trials(const ZEVO_CONTEXT& context) {
  long trials = 0;
  for (const CALC_CONNECTION* cc = context.calc_connections; cc; cc = cc->next) {
    for (const CALC_CUT_CONNECTION_ZEVO* t = cc->cut_connections; t; t = t->next) ++trials;
  }
  return trials;
}

std::string first_difference(const ZEVO_CONTEXT& a, const ZEVO_CONTEXT& b) {
  const CALC_CONNECTION* x = a.calc_connections;
  const CALC_CONNECTION* y = b.calc_connections;
  for (; x && y; x = x->next, y = y->next) {
    if (std::strcmp(x->name, y->name) != 0) return "the requested cables differ";
    if (!same_bits(x->results->val, y->results->val) || in_loop(x) != in_loop(y)) {
      return describe(x, y);
    }
  }
  if (x || y) return "the numbers of requested cables differ";
  return "";
}

PeakMemory measure_peak(Builder build, Way way) {
  const PeakRequest request{build, way};
  PeakReply reply;
  if (!helper().ask(request, &reply)) reply = run_alone(request);
  PeakMemory result;
  result.peak_mb = mb_of_kb(reply.peak_kb);
  result.start_mb = mb_of_kb(reply.start_kb);
  const int status = reply.status;
  if (reply.failure != 0) {
    result.failure = reply.failure == 1 ? "no pipe or fork" : "wait4 failed";
  } else if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && reply.got_start) {
    result.ok = true;
  } else if (WIFSIGNALED(status)) {
    result.failure = "ended by signal " + std::to_string(WTERMSIG(status));
  } else {
    result.failure = "exit status " + std::to_string(WEXITSTATUS(status));
  }
  return result;
}

}  // namespace zevo::bench
