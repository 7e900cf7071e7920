#include "report/report_header.h"

#include <ctime>

#include "model/program_identity.h"

namespace zevo {

const char* read_report_time() {
  const std::time_t now = std::time(nullptr);
  const char* text = std::ctime(&now);
  // ctime has no text for a year it cannot write; the header then shows the placeholder the
  // echo uses for every missing text.
  return text ? text : "(NULL)\n";
}

void write_report_header(FILE* stream, const char* time_text) {
  std::fprintf(stream, "zevo.exe , VERSION , \"%s\" , \"(%s)\"\n", kVersion, kBuildDate);
  std::fprintf(stream, "%s\n", kNoticeLine);
  std::fprintf(stream, "%s\n\n\n", time_text);
}

void print_report_header(FILE* stream) { write_report_header(stream, read_report_time()); }

}  // namespace zevo
