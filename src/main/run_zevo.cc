#include "main/run_zevo.h"

#include <cstdarg>
#include <cstdio>

#include "calc/calc_zevo_cable.h"
#include "input/check_zevo_input.h"
#include "input/read_xml_file.h"
#include "main/create_default_outfile.h"
#include "model/messages.h"
#include "model/program_identity.h"
#include "model/run_context.h"
#include "network/calc_connection.h"
#include "report/print_zevo_input.h"
#include "report/print_zevo_output.h"

namespace zevo {
namespace {

// A progress line of the debug trace: printed and flushed at once.
void trace(const ZEVO_CONTEXT& context, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void trace(const ZEVO_CONTEXT& context, const char* format, ...) {
  if (!context.debug) return;
  va_list args;
  va_start(args, format);
  vprint_message(Stream::out, format, args);
  va_end(args);
  fflush(out_stream());
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
  trace(context, " successfully opened %s for output \n", name);
  return file;
}

}  // namespace

int run_zevo(int argc, char** argv) {
  ZEVO_CONTEXT context;
  zevo_init(&context);

  if (argc < 2) {
    exit_with_message(Stream::err, " *** ERROR: input xml filename not specified\n");
  }
  context.xmlfile = argv[1];
  context.xin = std::fopen(context.xmlfile, "r");
  if (!context.xin) {
    exit_with_message(Stream::err, " *** ERROR: Unable to open file (%s)\n", context.xmlfile);
  }
  record_input_file(&context, context.xmlfile, context.xin);

  print_message(Stream::out, "zevo.exe Version %s (%s)\n", kVersion, kBuildDate);
  print_message(Stream::out, "%s\n\n", kNoticeLine);

  read_xml_file(&context);
  trace(context, ".");

  if (!context.outfile) create_default_outfile(&context);
  trace(context, ".");

  if (check_zevo_input(&context) != 0) return 1;
  trace(context, ".");

  calc_connection(&context);
  create_base_network(&context);
  trace(context, ".\n");
  if (context.debug) print_zevo_input(out_stream(), &context);

  CableSearch search;
  for (CALC_CONNECTION* cc = context.calc_connections; cc; cc = cc->next) {
    calc_zevo_cable(&context, cc, &search);
  }

  trace(context, " Done with calculations -- time to print results\n");
  trace(context, "Outfile = %s\n", context.outfile);

  FILE* output = open_output_stream(context);
  context.xout = output;
  trace(context, "starting printing outputs \n");
  print_zevo_output(output, &context);
  print_zevo_input(output, &context);

  if (output != out_stream()) std::fclose(output);
  context.xout = nullptr;
  trace(context, ".\n");
  return 0;
}

}  // namespace zevo
