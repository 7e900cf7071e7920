#include "main/driver.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "calc/calc_zevo_cable.h"
#include "input/check_zevo_input.h"
#include "input/read_xml_file.h"
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
    "Usage: zevo [--json FILE] [--dot FILE] [--] NETWORK.xml\n"
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

// What the command line asks for: the document and the files to write beside the results.
struct CommandLine {
  const char* document = nullptr;
  const char* json_file = nullptr;
  const char* dot_file = nullptr;
};

// The option that takes the next argument as its file name, or null.
const char** file_option(const char* argument, CommandLine* line) {
  if (std::strcmp(argument, "--json") == 0) return &line->json_file;
  if (std::strcmp(argument, "--dot") == 0) return &line->dot_file;
  return nullptr;
}

// Reads the options up to the document, which is the first argument that is no option (one
// with a single leading '-', "-help" too, is a document) or the one after "--". Returns false
// when an option was answered: the run is then over. Arguments after the document are ignored.
bool read_command_line(int argc, char** argv, CommandLine* line) {
  int i = 1;
  for (; i < argc; ++i) {
    const char* argument = argv[i];
    if (answer_option(argument)) return false;
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
  for (CALC_CONNECTION* cc = context.calc_connections; cc; cc = cc->next) {
    calc_zevo_cable(&context, cc, &search);
  }

  print_trace(context.debug, " Done with calculations -- time to print results\n");
  print_trace(context.debug, "Outfile = %s\n", context.outfile);

  write_reports(&context, line, &search);
  print_trace(context.debug, ".\n");
  return 0;
}

}  // namespace zevo
