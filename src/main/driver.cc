#include "main/driver.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "calc/cable_jobs.h"
#include "calc/calc_zevo_cable.h"
#include "input/check_zevo_input.h"
#include "input/read_xml_file.h"
#include "main/progress_line.h"
#include "model/messages.h"
#include "model/program_identity.h"
#include "model/record_store.h"
#include "network/base_network.h"
#include "report/echo.h"
#include "report/json_report.h"
#include "report/network_graph.h"
#include "report/results_table.h"

namespace zevo {
namespace {

const char kUsage[] =
    "Usage: zevo [--json FILE] [--dot FILE] [-j N] [--time-limit SECONDS] [--] NETWORK.xml\n"
    "       zevo --help | -h | --version\n"
    "\n"
    "Computes, for every cable that the document's <output> element names, the largest power\n"
    "flow the cable may have to carry, and writes the figures into a comma-separated results\n"
    "file (the document's <output><filename>, else NETWORK.csv), followed by an echo of the\n"
    "input. Included files are taken relative to the working directory. The exit status is 0\n"
    "when the run completed, 1 otherwise.\n"
    "\n"
    "  --json FILE  also write the results as a JSON document into FILE\n"
    "  --dot FILE   also write the network as a Graphviz graph into FILE\n"
    "  -j, --jobs N compute the cables on N threads (default: every core the process may\n"
    "               use); the files written are the same whatever N is\n"
    "  --time-limit SECONDS\n"
    "               stop the search of a cable that cannot finish in its share of SECONDS;\n"
    "               its value is then an upper bound, with a warning naming the cable\n"
    "  --           end of the options: the next argument is the document\n"
    "  -h, --help   show this text and exit\n"
    "  --version    show the version line and exit\n"
    "\n"
    "More in the manual page zevo(1).\n";

void print_version_line() {
  print_message(Stream::out, "zevo.exe Version %s (%s)\n", kVersion, kBuildDate);
}

// An argument that is exactly --help, -h or --version is answered on the output stream.
bool answer_option(const char* argument) {
  if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
    print_message(Stream::out, "%s", kUsage);
    return true;
  }
  if (std::strcmp(argument, "--version") == 0) {
    print_version_line();
    return true;
  }
  return false;
}

// What the command line asks for: the document, the files to write beside the results, the
// threads (0: one per usable core) and the time limit in seconds (0: none).
struct CommandLine {
  const char* document = nullptr;
  const char* json_file = nullptr;
  const char* dot_file = nullptr;
  int nbr_threads = 0;
  double time_limit = 0.0;
};

// The option that takes the next argument as its file name, or null.
const char** file_option(const char* argument, CommandLine* line) {
  if (std::strcmp(argument, "--json") == 0) return &line->json_file;
  if (std::strcmp(argument, "--dot") == 0) return &line->dot_file;
  return nullptr;
}

// The value of -j: a positive whole number, digits only. No more threads start than there are
// cables, so a huge number is as good as the number of cables.
int read_nbr_threads(const char* option, const char* text) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  const bool digits = text[0] >= '0' && text[0] <= '9' && *end == '\0';
  if (!digits || value < 1) {
    exit_with_message(Stream::err, " *** ERROR: option %s needs a positive whole number (%s)\n",
                      option, text);
  }
  return static_cast<int>(std::min<long>(value, INT_MAX));
}

// The value of --time-limit: a positive number of seconds, as a decimal number.
double read_seconds(const char* option, const char* text) {
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  const bool number = (text[0] >= '0' && text[0] <= '9') || text[0] == '.';
  if (!number || *end != '\0' || !std::isfinite(value) || !(value > 0)) {
    exit_with_message(Stream::err,
                      " *** ERROR: option %s needs a positive number of seconds (%s)\n", option,
                      text);
  }
  return value;
}

// Reads the value of an option that takes a number, `argument`; false when it is none.
bool read_number_option(const char* argument, const char* value, CommandLine* line) {
  const bool threads = std::strcmp(argument, "-j") == 0 || std::strcmp(argument, "--jobs") == 0;
  const bool seconds = std::strcmp(argument, "--time-limit") == 0;
  if (!threads && !seconds) return false;
  if (!value && threads) {
    exit_with_message(Stream::err, " *** ERROR: option %s needs a positive whole number\n",
                      argument);
  }
  if (!value) {
    exit_with_message(Stream::err, " *** ERROR: option %s needs a positive number of seconds\n",
                      argument);
  }
  if (threads) line->nbr_threads = read_nbr_threads(argument, value);
  if (seconds) line->time_limit = read_seconds(argument, value);
  return true;
}

// Reads the options up to the document, which is the first argument that is no option (one
// with a single leading '-', "-help" too, is a document) or the one after "--". Returns false
// when an option was answered: the run is then over. Arguments after the document are ignored.
bool read_command_line(int argc, char** argv, CommandLine* line) {
  int i = 1;
  for (; i < argc; ++i) {
    const char* argument = argv[i];
    if (answer_option(argument)) return false;
    if (read_number_option(argument, i + 1 < argc ? argv[i + 1] : nullptr, line)) {
      ++i;
      continue;
    }
    if (std::strncmp(argument, "--", 2) != 0) break;
    if (std::strcmp(argument, "--") == 0) {
      ++i;
      break;
    }
    const char** file = file_option(argument, line);
    if (!file) exit_with_message(Stream::err, " *** ERROR: unknown option %s\n", argument);
    if (i + 1 == argc) {
      exit_with_message(Stream::err, " *** ERROR: option %s needs a file name\n", argument);
    }
    *file = argv[++i];
  }
  if (i == argc) exit_with_message(Stream::err, " *** ERROR: input xml filename not specified\n");
  line->document = argv[i];
  return true;
}

// Opens the output file, or falls back to the output stream with both messages. A name that
// is one of the run's input files is never opened: writing would destroy the input.
FILE* open_output_stream(const ZEVO_CONTEXT& context) {
  const char* name = context.outfile;
  if (names_input_file(&context, name)) {
    print_message(Stream::err, " *** ERROR: Output file %s would overwrite an input file\n", name);
    print_message(Stream::out, " can't open file %s\n", name);
    return out_stream();
  }
  FILE* file = std::fopen(name, "wt");
  if (!file) {
    print_message(Stream::err, " *** ERROR: Unable to open file %s for writing\n", name);
    print_message(Stream::out, " can't open file %s\n", name);
    return out_stream();
  }
  print_trace(context.debug, " successfully opened %s for output \n", name);
  return file;
}

// Closes a file the run wrote. A write that failed anywhere, in the final flush or in the close
// leaves the file incomplete: the run must not end as if it had been written.
void close_written_file(FILE* file, const char* name) {
  const bool write_failed = std::ferror(file) != 0;
  if (std::fclose(file) != 0 || write_failed) {
    exit_with_message(Stream::err, " *** ERROR: Unable to write file %s\n", name);
  }
}

// Writes one of the files asked for on the command line beside the results into `name`, and
// adds it to `written`, the files the run has written. Unlike the results file, such a file has
// no fallback: a name that is an input file or a file already written, or a file that cannot
// be opened or written, ends the run.
void write_extra_file(const ZEVO_CONTEXT& context, const char* name,
                      std::vector<FileIdentity>* written, const std::function<void(FILE*)>& write) {
  if (names_input_file(&context, name)) {
    exit_with_message(Stream::err, " *** ERROR: Output file %s would overwrite an input file\n",
                      name);
  }
  const FileIdentity identity = identify_named_file(name);
  for (const FileIdentity& other : *written) {
    if (is_same_file(other, identity)) {
      exit_with_message(Stream::err,
                        " *** ERROR: Output file %s would overwrite another output file\n", name);
    }
  }
  FILE* file = std::fopen(name, "w");
  if (!file) {
    exit_with_message(Stream::err, " *** ERROR: Unable to open file %s for writing\n", name);
  }
  write(file);
  written->push_back(identify_open_file(file));
  close_written_file(file, name);
}

// Writes the results table and the echo into the results file, or onto the output stream when
// that file cannot be opened; then the files that the command line asks for.
void write_reports(ZEVO_CONTEXT* context, const CommandLine& line, CableSearch* search) {
  FILE* output = open_output_stream(*context);
  const bool results_opened = output != out_stream();
  context->xout = output;
  print_trace(context->debug, "starting printing outputs \n");
  print_zevo_output(output, context);
  print_zevo_input(output, context);

  context->xout = nullptr;
  // The output stream, used when the results file could not be opened, stays open.
  std::vector<FileIdentity> written;
  if (results_opened) {
    written.push_back(identify_open_file(output));
    close_written_file(output, context->outfile);
  }
  if (line.json_file) {
    write_extra_file(*context, line.json_file, &written,
                     [&](FILE* file) { print_zevo_json(file, context, search, results_opened); });
  }
  if (line.dot_file) {
    write_extra_file(*context, line.dot_file, &written,
                     [&](FILE* file) { print_zevo_graph(file, context, search); });
  }
}

}  // namespace

void create_default_outfile(ZEVO_CONTEXT* context) {
  if (!context || context->outfile || !context->xmlfile) return;
  const std::size_t length = std::strlen(context->xmlfile);
  char* name =
      alloc_array<char>(length + 5, " *** ERROR: Out of Memory in create_default_outfile()\n");
  std::memcpy(name, context->xmlfile, length);
  char* dot = name + length;
  while (dot > name && *dot != '.') --dot;
  if (dot == name) {
    dot = name + length;
    *dot = '.';
  }
  std::memcpy(dot + 1, "csv", 4);
  context->outfile = name;
}

int run_zevo(int argc, char** argv) {
  ZEVO_CONTEXT context;
  zevo_init(&context);

  CommandLine line;
  if (!read_command_line(argc, argv, &line)) return 0;
  context.xmlfile = line.document;
  context.xin = open_input_file(context.xmlfile);
  if (!context.xin) {
    exit_with_message(Stream::err, " *** ERROR: Unable to open file (%s)\n", context.xmlfile);
  }
  record_input_file(&context, context.xmlfile, context.xin);

  print_version_line();
  print_message(Stream::out, "%s\n\n", kNoticeLine);

  read_xml_file(&context);
  warn_figures_not_plain(&context);
  print_trace(context.debug, ".");

  if (!context.outfile) create_default_outfile(&context);
  print_trace(context.debug, ".");

  if (check_zevo_input(&context) != 0) return 1;
  print_trace(context.debug, ".");

  calc_connection(&context);
  create_base_network(&context);
  print_trace(context.debug, ".\n");
  if (context.debug) print_zevo_input(out_stream(), &context);

  CableSearch search;
  {
    // The debug trace keeps the run on one thread.
    const CableJobs jobs{line.nbr_threads > 0 ? line.nbr_threads : nbr_usable_cores(),
                         line.time_limit, context.debug != 0};
    ProgressLine progress(line.time_limit);
    ReportProgress report;
    if (progress.active()) report = [&](int done, int cables) { progress.show(done, cables); };
    calc_zevo_cables(&context, &search, jobs, report);
  }
  warn_bounded_cables(&context, search);

  print_trace(context.debug, " Done with calculations -- time to print results\n");
  print_trace(context.debug, "Outfile = %s\n", context.outfile);

  write_reports(&context, line, &search);
  print_trace(context.debug, ".\n");
  return 0;
}

}  // namespace zevo
