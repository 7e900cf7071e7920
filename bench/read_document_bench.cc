// Timing of reading whole documents. In this process: the element tree of an indented plant, and
// the plant (without its indentation) mapped onto the input records, each by the readers of src
// and by the readers as first written. As processes of their own, with the peak resident memory
// of each: zevo_read_document (the reading of a run, nothing after it) now and as first written,
// on the plant of 2 x 10^5 load centres written as one document and as a document including it as
// a fragment, each iteration beside a run of xmllint --noout on the plant as one document; and on
// long chains of fragments each including the next.
//
// Counters: file_MB, the bytes read; peak_MB, ru_maxrss of the process (its largest over the
// iterations); peak/file, their ratio; cpu_s, the processor seconds of one reading. Beside xmllint:
// xmllint_s, xmllint_cpu_s and xmllint_peak_MB, its figures, and per_xmllint and cpu_per_xmllint,
// the reading's wall-clock and processor seconds over xmllint's, both summed over the iterations.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "input/read_xml_file.h"
#include "input/reference/literal_read_xml_file.h"
#include "model/record_store.h"
#include "model/run_context.h"
#include "xml/reference/literal_xml_reader.h"
#include "xml/xml_reader.h"

extern char** environ;

namespace zevo {
namespace {

constexpr int kPlantLcs = 200000;

// The elements of an indented plant, as export tools write them: a radial tree of `lcs` load
// centres, each on its lines with two conditions, each after the first followed by the cable that
// feeds it from its parent.
std::string make_plant_elements(int lcs) {
  std::string text;
  text.reserve(static_cast<std::size_t>(lcs) * 300);
  for (int i = 0; i < lcs; ++i) {
    const std::string name = "LC" + std::to_string(i);
    text += "  <lc>\n    <name>" + name + "</name>\n";
    text += "    <condition><name>normal</name><generation>" + std::to_string(i % 7 ? 0 : 10) +
            "</generation><load>" + std::to_string(i % 13 + 1) + "</load></condition>\n";
    text += "    <condition><name>peak</name><generation>" + std::to_string(i % 7 ? 0 : 20) +
            "</generation><load>" + std::to_string(i % 11 + 2) + ".5</load></condition>\n";
    text += "  </lc>\n";
    if (i > 0) {
      text += "  <cable><name>C" + std::to_string(i) + "</name><lc>LC" +
              std::to_string((i - 1) / 3) + "</lc><lc>" + name + "</lc></cable>\n";
    }
  }
  return text;
}

std::string output_element(int lcs) {
  return "  <output><condition>normal</condition><condition>peak</condition><cable>C" +
         std::to_string(lcs - 1) + "</cable></output>\n";
}

// The files of the process benchmarks, written once into a folder of their own that goes when the
// benchmark process ends.
class BenchFiles {
 public:
  static const BenchFiles& get() {
    static const BenchFiles files;
    return files;
  }
  std::string path(const std::string& name) const { return (folder_ / name).string(); }
  // A chain of `depth` fragments, each holding one load centre and including the next; returns
  // the document that includes the first.
  std::string chain(int depth) const {
    const std::string document = path("chain" + std::to_string(depth) + ".xml");
    if (std::filesystem::exists(document)) return document;
    auto fragment = [&](int i) { return this->fragment(depth, i); };
    for (int i = 0; i < depth; ++i) {
      std::string text = "<lc><name>L" + std::to_string(i) +
                         "</name><condition><name>normal</name><load>1</load></condition></lc>\n";
      if (i + 1 < depth) text += "<include>" + fragment(i + 1) + "</include>\n";
      write(fragment(i), text);
    }
    write(document, "<zevo>\n  <include>" + fragment(0) + "</include>\n</zevo>\n");
    return document;
  }
  // The fragment `i` of the chain of `depth` fragments.
  std::string fragment(int depth, int i) const {
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "text" + std::string.
    std::string name = "c";
    name.append(std::to_string(depth)).append("-").append(std::to_string(i)).append(".xml");
    return path(name);
  }
  ~BenchFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

 private:
  BenchFiles() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zevo-read-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    folder_ = pattern;
    const std::string elements = make_plant_elements(kPlantLcs);
    write(path("plant.xml"), "<zevo>\n" + elements + output_element(kPlantLcs) + "</zevo>\n");
    write(path("plant-part.xml"), elements);
    write(path("plant-main.xml"), "<zevo>\n  <include>" + path("plant-part.xml") + "</include>\n" +
                                      output_element(kPlantLcs) + "</zevo>\n");
  }
  static void write(const std::string& name, const std::string& text) {
    FILE* file = std::fopen(name.c_str(), "w");
    if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size()) std::abort();
    std::fclose(file);
  }
  std::filesystem::path folder_;
};

struct ProcessRun {
  bool ok = false;  // started, and exited with status 0
  double seconds = 0.0;
  double peak_mb = 0.0;
  double cpu_seconds = 0.0;
};

// Runs `args` (the program looked up in PATH) through zevo_read_document --measure, which reports
// its time and its peak memory.
ProcessRun run_process(const std::vector<std::string>& args) {
  std::vector<std::string> launch = {ZEVO_READ_DOCUMENT, "--measure"};
  launch.insert(launch.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (const std::string& arg : launch) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  ProcessRun run;
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
  pid_t pid;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_ends[1]);
  char line[128] = {};
  FILE* report = fdopen(pipe_ends[0], "r");
  const bool read = report && std::fgets(line, sizeof line, report) != nullptr;
  if (report) std::fclose(report);
  int status = 0;
  if (spawned != 0 || waitpid(pid, &status, 0) != pid) return run;
  long peak_kb = 0;
  run.ok = read && WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
           std::sscanf(line, "%lf %ld %lf", &run.seconds, &peak_kb, &run.cpu_seconds) == 3;
  run.peak_mb = static_cast<double>(peak_kb) / 1024.0;
  return run;
}

double file_mb(const std::string& document) {
  // The document and, for a document that includes, what it includes.
  std::uintmax_t bytes = std::filesystem::file_size(document);
  if (document.find("plant-main") != std::string::npos) {
    bytes += std::filesystem::file_size(BenchFiles::get().path("plant-part.xml"));
  }
  return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// Times `args` on `document`; with `beside` given, each iteration first runs that program too, on
// the same content, so that both meet the same load of the machine.
void time_process(benchmark::State& state, const std::vector<std::string>& args,
                  const std::string& document, const std::vector<std::string>& beside = {}) {
  ProcessRun sum;
  ProcessRun beside_sum;
  for (auto _ : state) {
    if (!beside.empty()) {
      const ProcessRun run = run_process(beside);
      if (!run.ok) {
        state.SkipWithError(("failed: " + beside[0] + " " + document).c_str());
        return;
      }
      beside_sum.seconds += run.seconds;
      beside_sum.cpu_seconds += run.cpu_seconds;
      if (run.peak_mb > beside_sum.peak_mb) beside_sum.peak_mb = run.peak_mb;
    }
    const ProcessRun run = run_process(args);
    if (!run.ok) {
      state.SkipWithError(("failed: " + args[0] + " " + document).c_str());
      return;
    }
    state.SetIterationTime(run.seconds);
    sum.seconds += run.seconds;
    sum.cpu_seconds += run.cpu_seconds;
    if (run.peak_mb > sum.peak_mb) sum.peak_mb = run.peak_mb;
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["file_MB"] = file_mb(document);
  state.counters["peak_MB"] = sum.peak_mb;
  state.counters["peak/file"] = sum.peak_mb / file_mb(document);
  state.counters["cpu_s"] = sum.cpu_seconds / iterations;
  if (beside.empty()) return;
  state.counters["xmllint_s"] = beside_sum.seconds / iterations;
  state.counters["xmllint_cpu_s"] = beside_sum.cpu_seconds / iterations;
  state.counters["xmllint_peak_MB"] = beside_sum.peak_mb;
  state.counters["per_xmllint"] = sum.seconds / beside_sum.seconds;
  state.counters["cpu_per_xmllint"] = sum.cpu_seconds / beside_sum.cpu_seconds;
}

enum class Tool { zevo, zevo_as_first_written };

// xmllint reads the plant as one document: it does not follow zevo's includes.
void BM_ReadProcess(benchmark::State& state, Tool tool, const char* file) {
  const BenchFiles& files = BenchFiles::get();
  const std::string document = files.path(file);
  const std::vector<std::string> xmllint = {"xmllint", "--noout", files.path("plant.xml")};
  switch (tool) {
    case Tool::zevo:
      time_process(state, {ZEVO_READ_DOCUMENT, document}, document, xmllint);
      break;
    case Tool::zevo_as_first_written:
      time_process(state, {ZEVO_READ_DOCUMENT, "--as-first-written", document}, document, xmllint);
      break;
  }
}
BENCHMARK_CAPTURE(BM_ReadProcess, zevo_plant, Tool::zevo, "plant.xml")
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadProcess, zevo_plant_fragment, Tool::zevo, "plant-main.xml")
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadProcess, as_first_written_plant_fragment, Tool::zevo_as_first_written,
                  "plant-main.xml")
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// The time of a chain grows with its length alone when the include-cycle check costs the same at
// every depth; file_MB counts the fragments too.
void BM_ReadChain(benchmark::State& state, Tool tool) {
  const int depth = static_cast<int>(state.range(0));
  const std::string document = BenchFiles::get().chain(depth);
  if (tool == Tool::zevo) {
    time_process(state, {ZEVO_READ_DOCUMENT, document}, document);
  } else {
    time_process(state, {ZEVO_READ_DOCUMENT, "--as-first-written", document}, document);
  }
  double bytes = static_cast<double>(std::filesystem::file_size(document));
  for (int i = 0; i < depth; ++i) {
    bytes += static_cast<double>(std::filesystem::file_size(BenchFiles::get().fragment(depth, i)));
  }
  state.counters["file_MB"] = bytes / (1024.0 * 1024.0);
  state.counters["peak/file"] = state.counters["peak_MB"] / state.counters["file_MB"];
}
BENCHMARK_CAPTURE(BM_ReadChain, zevo, Tool::zevo)
    ->Arg(20000)
    ->Arg(40000)
    ->Arg(99999)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadChain, as_first_written, Tool::zevo_as_first_written)
    ->Arg(20000)
    ->Arg(40000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// In this process, on the plant's elements held in memory (as a fragment: the readers as first
// written refuse the plant as one indented document).
const std::string& plant_elements() {
  static const std::string text = make_plant_elements(100000);
  return text;
}

void BM_ReadElementTree(benchmark::State& state, bool as_first_written) {
  std::string text = plant_elements();
  for (auto _ : state) {
    FILE* stream = fmemopen(text.data(), text.size(), "r");
    int errflag = 0;
    benchmark::DoNotOptimize(as_first_written ? literal_readfile_XMLENTITY(stream, &errflag)
                                              : readfile_XMLENTITY(stream, &errflag));
    std::fclose(stream);
    state.PauseTiming();
    release_all_records();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK_CAPTURE(BM_ReadElementTree, now, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadElementTree, as_first_written, true)->Unit(benchmark::kMillisecond);

// The plant as one document without its indentation, which the readers as first written count
// toward the root's text.
std::string flat_plant() {
  std::string text;
  for (char c : "<zevo>" + plant_elements() + output_element(100000) + "</zevo>") {
    if (c != '\n' && c != ' ') text.push_back(c);
  }
  return text;
}

void BM_ReadDocumentIntoRecords(benchmark::State& state, bool as_first_written) {
  std::string text = flat_plant();
  for (auto _ : state) {
    ZEVO_CONTEXT context;
    zevo_init(&context);
    context.xin = fmemopen(text.data(), text.size(), "r");
    if (as_first_written) {
      literal_read_xml_file(&context);
    } else {
      read_xml_file(&context);
    }
    benchmark::DoNotOptimize(context.nodes);
    state.PauseTiming();
    release_all_records();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK_CAPTURE(BM_ReadDocumentIntoRecords, now, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadDocumentIntoRecords, as_first_written, true)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zevo
