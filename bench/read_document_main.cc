// zevo_read_document [--as-first-written] FILE: reads one document into the input records, as
// the run does before anything else, and exits with status 0 (1 when the reading ended the run,
// 2 when the file cannot be opened). With --as-first-written it reads with the document reader
// kept in the tests as the reference.
//
// zevo_read_document --measure PROGRAM ARGS...: runs the program, its output and errors sent to
// /dev/null, and prints its wall-clock seconds, its peak resident memory in kB and its processor
// seconds (user and system), or exits with status 3 when it did not exit with status 0. The reading
// benchmark measures every reading so, beside xmllint: the peak is that of a process started from
// this small one, so it holds nothing of the benchmark process that started this one.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "input/read_xml_file.h"
#include "input/reference/literal_read_xml_file.h"
#include "model/messages.h"
#include "model/run_context.h"

namespace {

int measure(char** program) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) return 3;
  if (pid == 0) {
    const int sink = open("/dev/null", O_WRONLY);
    dup2(sink, 1);
    dup2(sink, 2);
    execvp(program[0], program);
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid) return 3;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 3;
  const auto in_seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  std::printf("%.6f %ld %.6f\n", seconds, usage.ru_maxrss,
              in_seconds(usage.ru_utime) + in_seconds(usage.ru_stime));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--measure") == 0) return measure(argv + 2);
  const bool as_first_written = argc == 3 && std::strcmp(argv[1], "--as-first-written") == 0;
  if (argc != (as_first_written ? 3 : 2)) {
    std::fprintf(stderr, "usage: zevo_read_document [--as-first-written] FILE\n");
    return 2;
  }
  zevo::ZEVO_CONTEXT context;
  zevo::zevo_init(&context);
  context.xmlfile = argv[argc - 1];
  context.xin = zevo::open_input_file(context.xmlfile);
  if (!context.xin) return 2;
  try {
    if (as_first_written) {
      zevo::literal_read_xml_file(&context);
    } else {
      zevo::read_xml_file(&context);
    }
  } catch (const zevo::RunEnded& ended) {
    return ended.status;
  }
  std::printf("%d load centres, %d cables\n", context.nbr_nodes, context.nbr_connections);
  return 0;
}
