#include "input/check_zevo_input.h"

#include <cstdarg>
#include <cstring>

#include "input/check_steps.h"
#include "model/messages.h"

namespace zevo {

void report_problem(int* count, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vprint_message(Stream::err, format, args);
  va_end(args);
  ++*count;
}

bool same_name(const char* a, const char* b) {
  return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

bool names_defined_lc(const NODE* nodes, const char* name) {
  for (const NODE* node = nodes; node; node = node->next) {
    if (same_name(node->name, name)) return true;
  }
  return false;
}

namespace {

bool names_defined_cable(const CONNECTION* cables, const char* name) {
  for (const CONNECTION* cable = cables; cable; cable = cable->next) {
    if (same_name(cable->name, name)) return true;
  }
  return false;
}

// What <output> asks for: at least one condition, and names for everything it requests.
void check_output_requests(const ZEVO_CONTEXT* context, int* count) {
  if (!context->calc_conditions) {
    report_problem(count, " *** ERROR: no <condition> entities in <output>\n");
  }
  for (const CALC_CONDITION* c = context->calc_conditions; c; c = c->next) {
    if (!c->name) report_problem(count, " **** ERROR missing <condition> string in <output>\n");
  }
  for (const CALC_CONNECTION* c = context->calc_connections; c; c = c->next) {
    if (!c->name) {
      report_problem(count, " **** ERROR missing <cable> string in <output>\n");
    } else if (!names_defined_cable(context->connections, c->name)) {
      report_problem(count, " **** ERROR undefined <cable> %s </cable> in <output>\n", c->name);
    }
  }
}

}  // namespace

int check_zevo_input(const ZEVO_CONTEXT* context) {
  int count = 0;
  check_output_requests(context, &count);
  if (context->nbr_nodes < 2) {
    report_problem(&count, " *** ERROR: less than 2 <lc> entitities defined\n");
  }
  check_load_centres(context, &count);
  if (context->nbr_connections < 1) {
    report_problem(&count, " *** ERROR: no <cable> entitities defined\n");
  }
  check_cables(context, &count);
  check_bus_transfers(context, &count);

  if (count > 1) {
    print_message(Stream::err, " *** DETECTED %d ERRORS ***\n", count);
  } else if (count == 1) {
    print_message(Stream::err, " *** DECTECTED 1 ERROR ***\n");
  }
  return count;
}

}  // namespace zevo
