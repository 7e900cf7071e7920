#include "report/results_table.h"

#include "model/messages.h"
#include "report/quoted_text.h"
#include "report/report_header.h"

namespace zevo {
namespace {

// One row of the table. Equal side numbers mean the cable's ends stay joined without it: the
// cable lies in a loop. A cable not yet resolved shows the name it was requested by and no
// end names; a missing result reads as a fresh, zeroed one.
void print_result_row(FILE* stream, const CALC_CONNECTION& requested) {
  static const ZEVO_RESULT kZeroResult{};
  const CONNECTION* cable = requested.c;
  const ZEVO_RESULT& result = requested.results ? *requested.results : kZeroResult;
  const char* loop = result.sub_network1 == result.sub_network2 ? "YES" : "NO";
  std::fprintf(stream, " %s , %s , %s , %8.1f , \"%s\" \n",
               quoted(cable ? cable->name : requested.name).c_str(),
               quoted(cable ? cable->lc1 : nullptr).c_str(),
               quoted(cable ? cable->lc2 : nullptr).c_str(), result.val, loop);
}

}  // namespace

int print_zevo_output(FILE* stream, const ZEVO_CONTEXT* context) {
  if (!context) {
    print_message(Stream::out, "*** ERROR: NULL Pointer in print_zevo_output\n");
    exit_with_message(Stream::out, " NULL Pointr for zevo in print_zevo_output\n");
  }
  if (!stream) stream = out_stream();

  print_trace(context->debug, " entering print_zevo_output\n");
  const char* time_text = read_report_time();
  print_trace(context->debug, " got time\n");
  write_report_header(stream, time_text);

  std::fprintf(stream, " \"Cable\" , \"Node_1\" , \"Node_2\" , \"Zevo\" , \"Loop\"\n");
  for (const CALC_CONNECTION* requested = context->calc_connections; requested;
       requested = requested->next) {
    print_result_row(stream, *requested);
  }
  std::fprintf(stream, "\n\n\n");
  print_trace(context->debug, " leaving print_zevo_output\n");
  return std::fflush(stream);
}

}  // namespace zevo
