#include "cut_search_runs.h"

#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "bench_networks.h"
#include "calc/cable_jobs.h"
#include "calc/calc_zevo_cable.h"
#include "calc/reference/literal_cut_search.h"
#include "calc/reference/trial_records.h"
#include "previous/calc_zevo_cable.h"
#include "report/json_report.h"
#include "report/network_graph.h"

namespace zevo::bench {
namespace {

// The value as the results table prints it: what two ways must agree on. Where the sums are
// exact the values are bitwise equal too; elsewhere they may differ beyond that digit.
bool printed_alike(double a, double b) {
  char x[400], y[400];
  std::snprintf(x, sizeof x, "%8.1f", a);
  std::snprintf(y, sizeof y, "%8.1f", b);
  return std::strcmp(x, y) == 0;
}

bool in_loop(const CALC_CONNECTION* cc) {
  return cc->results->sub_network1 == cc->results->sub_network2;
}

std::string describe(const CableValue& a, const CableValue& b) {
  char text[256];
  std::snprintf(text, sizeof text, "cable %s: %.17g (loop %d) against %.17g (loop %d)",
                a.name.c_str(), a.val, a.in_loop ? 1 : 0, b.val, b.in_loop ? 1 : 0);
  return text;
}

double mb_of_kb(long kb) { return static_cast<double>(kb) / 1024.0; }

// ---- Runs made alone ----

struct RunRequest {
  Builder build;
  Way way;
  int give_up_seconds;
  int nbr_threads;
};

struct RunReply {
  int failure = 0;  // 1: no pipe or fork, 2: wait4 failed
  int status = 0;   // as wait4 gives it
  int got_start = 0;
  long start_kb = 0;
  long peak_kb = 0;
  double cpu_seconds = 0.0;
};

bool write_all(int fd, const void* data, std::size_t size) {
  const auto* at = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t put = write(fd, at, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    at += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

bool read_all(int fd, void* data, std::size_t size) {
  auto* at = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t got = read(fd, at, size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    at += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

std::string read_to_end(int fd) {
  std::string bytes;
  char chunk[1 << 16];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return bytes;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
}

long nbr_trials(const ZEVO_CONTEXT& context) {
  long trials = 0;
  for (const CALC_CONNECTION* cc = context.calc_connections; cc; cc = cc->next) {
    for (const CALC_CUT_CONNECTION_ZEVO* t = cc->cut_connections; t; t = t->next) ++trials;
  }
  return trials;
}

struct OutcomeHead {
  double seconds;
  long trials;
  int lcs, cables, loops;
};

// What a child reports once it has computed: the head, then each cable as the length of its
// name, the name, the value and the loop flag. Written through stdio, so that the report adds
// no more than a buffer to the child's peak.
bool write_outcome(FILE* out, double seconds, const ZEVO_CONTEXT& context) {
  const OutcomeHead head{seconds, nbr_trials(context), context.nbr_nodes, context.nbr_connections,
                         nbr_independent_loops(context)};
  bool ok = std::fwrite(&head, sizeof head, 1, out) == 1;
  for (const CALC_CONNECTION* cc = context.calc_connections; ok && cc; cc = cc->next) {
    const char* name = cc->name ? cc->name : "(NULL)";
    const auto length = static_cast<std::uint32_t>(std::strlen(name));
    const double val = cc->results->val;
    const char loop = in_loop(cc) ? 1 : 0;
    ok = std::fwrite(&length, sizeof length, 1, out) == 1 &&
         std::fwrite(name, 1, length, out) == length &&
         std::fwrite(&val, sizeof val, 1, out) == 1 && std::fwrite(&loop, 1, 1, out) == 1;
  }
  return ok;
}

bool parse_outcome(const std::string& bytes, AloneRun* run) {
  std::size_t at = 0;
  auto take = [&](void* data, std::size_t size) {
    if (bytes.size() - at < size) return false;
    std::memcpy(data, bytes.data() + at, size);
    at += size;
    return true;
  };
  OutcomeHead head{};
  if (!take(&head, sizeof head)) return false;
  run->seconds = head.seconds;
  run->trials = head.trials;
  run->lcs = head.lcs;
  run->cables = head.cables;
  run->loops = head.loops;
  run->values.clear();
  while (at < bytes.size()) {
    CableValue value;
    std::uint32_t length = 0;
    char loop = 0;
    if (!take(&length, sizeof length) || bytes.size() - at < length) return false;
    value.name.assign(bytes, at, length);
    at += length;
    if (!take(&value.val, sizeof value.val) || !take(&loop, 1)) return false;
    value.in_loop = loop != 0;
    run->values.push_back(std::move(value));
  }
  return true;
}

// Forks a process that builds and computes under the address-space limit, and waits for it;
// what it reported once it had computed goes into `outcome`.
RunReply fork_and_run(const RunRequest& request, std::string* outcome) {
  RunReply reply;
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
    if (request.give_up_seconds > 0) alarm(static_cast<unsigned>(request.give_up_seconds));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    if (!write_all(ends[1], &usage.ru_maxrss, sizeof usage.ru_maxrss)) _exit(3);
    FILE* out = fdopen(ends[1], "w");
    if (!out) _exit(3);
    ZEVO_CONTEXT context;
    request.build(&context);
    const auto start = std::chrono::steady_clock::now();
    compute_every_cable(&context, request.way, request.nbr_threads);
    const auto stop = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(stop - start).count();
    const bool reported = write_outcome(out, seconds, context);
    if (std::fclose(out) != 0 || !reported) _exit(3);
    std::fflush(nullptr);
    _exit(0);
  }
  close(ends[1]);
  reply.got_start = read_all(ends[0], &reply.start_kb, sizeof reply.start_kb) ? 1 : 0;
  *outcome = read_to_end(ends[0]);
  close(ends[0]);
  rusage usage{};
  if (wait4(child, &reply.status, 0, &usage) != child) {
    reply.failure = 2;
    return reply;
  }
  reply.peak_kb = usage.ru_maxrss;
  reply.cpu_seconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
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
      RunRequest request;
      while (read_all(requests[0], &request, sizeof request)) {
        std::string outcome;
        const RunReply reply = fork_and_run(request, &outcome);
        const std::uint64_t size = outcome.size();
        if (!write_all(replies[1], &reply, sizeof reply) ||
            !write_all(replies[1], &size, sizeof size) ||
            !write_all(replies[1], outcome.data(), outcome.size())) {
          break;
        }
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

  bool ask(const RunRequest& request, RunReply* reply, std::string* outcome) {
    std::uint64_t size = 0;
    if (pid_ <= 0 || !write_all(request_fd_, &request, sizeof request) ||
        !read_all(reply_fd_, reply, sizeof *reply) || !read_all(reply_fd_, &size, sizeof size)) {
      return false;
    }
    outcome->resize(size);
    return read_all(reply_fd_, outcome->data(), size);
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

void compute_every_cable(ZEVO_CONTEXT* context, Way way, int nbr_threads) {
  if (way == Way::previous) {
    previous::CableSearch search;
    for (CALC_CONNECTION* cc = context->calc_connections; cc; cc = cc->next) {
      previous::calc_zevo_cable(context, cc, &search);
    }
    return;
  }
  if (way != Way::reference) {
    CableSearch search;
    if (nbr_threads > 0) {
      calc_zevo_cables(context, &search, CableJobs{nbr_threads}, {});
    } else {
      for (CALC_CONNECTION* cc = context->calc_connections; cc; cc = cc->next) {
        calc_zevo_cable(context, cc, &search);
      }
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

std::string first_difference(const CableValues& a, const CableValues& b) {
  if (a.size() != b.size()) return "the numbers of requested cables differ";
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name) return "the requested cables differ";
    if (!printed_alike(a[i].val, b[i].val) || a[i].in_loop != b[i].in_loop) {
      return describe(a[i], b[i]);
    }
  }
  return "";
}

AloneRun run_alone(Builder build, Way way, int give_up_seconds, int nbr_threads) {
  const RunRequest request{build, way, give_up_seconds, nbr_threads};
  RunReply reply;
  std::string outcome;
  if (!helper().ask(request, &reply, &outcome)) reply = fork_and_run(request, &outcome);
  AloneRun result;
  result.peak_mb = mb_of_kb(reply.peak_kb);
  result.start_mb = mb_of_kb(reply.start_kb);
  result.cpu_seconds = reply.cpu_seconds;
  const int status = reply.status;
  if (reply.failure != 0) {
    result.failure = reply.failure == 1 ? "no pipe or fork" : "wait4 failed";
  } else if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && reply.got_start) {
    result.ok = parse_outcome(outcome, &result);
    if (!result.ok) result.failure = "its report was cut short";
  } else if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) {
    result.failure = "not finished after " + std::to_string(give_up_seconds) + " s, given up";
  } else if (WIFSIGNALED(status)) {
    result.failure = "ended by signal " + std::to_string(WTERMSIG(status));
  } else {
    result.failure = "exit status " + std::to_string(WEXITSTATUS(status));
  }
  return result;
}

}  // namespace zevo::bench
