// The run of one invocation, stage after stage: read the document, name the output, check the
// input, build the network, compute every requested cable, write the reports.
//
// Entry points:
// - run_zevo(argc, argv): runs zevo on the command line `argv` and returns the exit status, 0
//   or 1. Owns the run context. Options come first, read before the document is opened:
//   --json FILE and --dot FILE (a repeated one replaces the earlier name), -j N or --jobs N (the
//   threads that compute the cables: a positive whole number; by default one per usable core;
//   one whatever N when the document turns the debug trace on), --time-limit SECONDS (a
//   positive number: cable_jobs.h), and "--", after which the next argument is the document
//   whatever it looks like. An argument that is exactly --help or -h prints the usage text,
//   exactly --version the banner's version line, on the output stream; the run then returns 0
//   at once. Any other argument that begins with "--" is an unknown option; --json or --dot as
//   the last argument lacks its file name, and -j, --jobs or --time-limit without a valid
//   number after it lacks its value: each ends the run before the banner. The first other
//   argument (one beginning with a single '-' too, but -j) is the document; further arguments
//   are ignored. Input that fails the consistency checks returns 1 once every problem is
//   listed, and no file is written. No document, an unreadable document and every fatal fault
//   of a later stage print their message and end the run: they throw RunEnded
//   (model/messages.h), which the entry point turns into the status. A results
//   file that cannot be opened, or that would overwrite an input file, is no failure: the
//   reports go to the output stream. A write to the results file that fails (any write, the
//   final flush or the close) is one: " *** ERROR: Unable to write file name" on the error
//   stream, status 1. Once the results file is closed, the JSON file (report/json_report.h)
//   and then the DOT file (report/network_graph.h) are written when asked for. They have no
//   fallback: a name that is an input file or a file already written by the run, a file that
//   cannot be opened, and a failed write each end the run with its message, status 1. While
//   the cables are computed, a progress line shows on standard error when it is a terminal
//   (progress_line.h); the warnings for cables the time limit stopped follow the computation.
// - create_default_outfile(context): when context->outfile is null, sets it to a new name,
//   allocated for the run: xmlfile with csv in place of the text after its last '.' (a name
//   without a '.' after its first character gets ".csv" appended; directory separators do not
//   stop the search). Does nothing for a null context, a set outfile or a null xmlfile.
//   Exhausted memory prints its message on standard error and ends the run.
#pragma once

#include "model/run_context.h"

namespace zevo {

int run_zevo(int argc, char** argv);

void create_default_outfile(ZEVO_CONTEXT* context);

}  // namespace zevo
