// The parts of the report header, for a report that does something between reading the time
// and writing the header (the result report traces that moment).
#pragma once

#include <cstdio>

namespace zevo {

// The current local time as ctime gives it: 24 characters and a newline. The text lives in
// ctime's static buffer, so it holds until the next call. "(NULL)\n" if ctime has no text.
const char* read_report_time();

// Writes the version line, the notice line, `time_text` (which brings its own newline) and
// three empty lines.
void write_report_header(FILE* stream, const char* time_text);

}  // namespace zevo
