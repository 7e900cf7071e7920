// The header that both reports open with: the version line, the notice line, the date and
// time of the run, and three empty lines.
//
// Entry points:
// - print_report_header(stream): reads the time and writes the header to `stream`.
// - read_report_time() and write_report_header(stream, time_text): the same in two steps, for
//   a report that does something in between (the results table traces that moment).
//   read_report_time returns the current local time as ctime gives it, 24 characters and a
//   newline, in ctime's static buffer (it holds until the next call), or "(NULL)\n" when ctime
//   has no text; write_report_header writes the header around `time_text`, which brings its
//   own newline.
// Nothing here ends the run.
#pragma once

#include <cstdio>

namespace zevo {

void print_report_header(FILE* stream);

const char* read_report_time();

void write_report_header(FILE* stream, const char* time_text);

}  // namespace zevo
