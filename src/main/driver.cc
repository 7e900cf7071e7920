#include "main/driver.h"

#include <cstdio>
#include <cstring>

#include "calc/calc_zevo_cable.h"
#include "input/check_zevo_input.h"
#include "input/read_xml_file.h"
#include "model/messages.h"
#include "model/program_identity.h"
#include "model/record_store.h"
#include "network/base_network.h"
#include "report/echo.h"
#include "report/results_table.h"

namespace zevo {
namespace {

const char kUsage[] =
    "Usage: zevo NETWORK.xml\n"
    "       zevo --help | -h | --version\n"
    "\n"
    "Computes, for every cable that the document's <output> element names, the largest power\n"
    "flow the cable may have to carry, and writes the figures into a comma-separated results\n"
    "file (the document's <output><filename>, else NETWORK.csv), followed by an echo of the\n"
    "input. Included files are taken relative to the working directory. The exit status is 0\n"
    "when the run completed, 1 otherwise.\n"
    "\n"
    "  -h, --help   show this text and exit\n"
    "  --version    show the version line and exit\n"
    "\n"
    "More in the manual page zevo(1).\n";

void print_version_line() {
  print_message(Stream::out, "zevo.exe Version %s (%s)\n", kVersion, kBuildDate);
}

// A first argument that is exactly --help, -h or --version is answered on the output stream;
// any other one, even "-help", names the document.
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

// Closes the output file. A write that failed anywhere, in the final flush or in the close
// leaves the results incomplete: the run must not end as if they had been written. The output
// stream, used when the file could not be opened, stays open and unchecked.
void close_output_stream(const ZEVO_CONTEXT& context, FILE* output) {
  if (output == out_stream()) return;
  const bool write_failed = std::ferror(output) != 0;
  if (std::fclose(output) != 0 || write_failed) {
    exit_with_message(Stream::err, " *** ERROR: Unable to write file %s\n", context.outfile);
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

  if (argc < 2) {
    exit_with_message(Stream::err, " *** ERROR: input xml filename not specified\n");
  }
  if (answer_option(argv[1])) return 0;
  context.xmlfile = argv[1];
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

  FILE* output = open_output_stream(context);
  context.xout = output;
  print_trace(context.debug, "starting printing outputs \n");
  print_zevo_output(output, &context);
  print_zevo_input(output, &context);

  context.xout = nullptr;
  close_output_stream(context, output);
  print_trace(context.debug, ".\n");
  return 0;
}

}  // namespace zevo
