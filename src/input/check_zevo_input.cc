#include "input/check_zevo_input.h"

#include <cstdarg>

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

NameIndex index_condition_names(const CONDITION* conditions) {
  NameIndex names;
  int position = 0;
  for (const CONDITION* c = conditions; c; c = c->next) names.add(c->name, position++);
  return names;
}

void check_condition_names(const CONDITION* conditions, const NameIndex& names, const char* owner,
                           const char* unnamed_format, const char* repeated_format, int* count) {
  int position = 0;
  for (const CONDITION* c = conditions; c; c = c->next, ++position) {
    if (!c->name) {
      report_problem(count, unnamed_format, owner, c->generation, c->load);
      continue;
    }
    for (int n = names.count_after(c->name, position); n > 0; --n) {
      report_problem(count, repeated_format, c->name, owner);
    }
  }
}

namespace {

InputNames index_input_names(const ZEVO_CONTEXT* context) {
  InputNames names;
  int position = 0;
  for (const NODE* node = context->nodes; node; node = node->next) {
    names.lcs.add(node->name, position++);
  }
  position = 0;
  for (const CONNECTION* cable = context->connections; cable; cable = cable->next) {
    names.cables.add(cable->name, position++);
  }
  return names;
}

// What <output> asks for: at least one condition, and names for everything it requests.
void check_output_requests(const ZEVO_CONTEXT* context, const InputNames& names, int* count) {
  if (!context->calc_conditions) {
    report_problem(count, " *** ERROR: no <condition> entities in <output>\n");
  }
  for (const CALC_CONDITION* c = context->calc_conditions; c; c = c->next) {
    if (!c->name) report_problem(count, " **** ERROR missing <condition> string in <output>\n");
  }
  for (const CALC_CONNECTION* c = context->calc_connections; c; c = c->next) {
    if (!c->name) {
      report_problem(count, " **** ERROR missing <cable> string in <output>\n");
    } else if (!names.cables.contains(c->name)) {
      report_problem(count, " **** ERROR undefined <cable> %s </cable> in <output>\n", c->name);
    }
  }
}

}  // namespace

int check_zevo_input(const ZEVO_CONTEXT* context) {
  const InputNames names = index_input_names(context);
  int count = 0;
  check_output_requests(context, names, &count);
  if (context->nbr_nodes < 2) {
    report_problem(&count, " *** ERROR: less than 2 <lc> entitities defined\n");
  }
  check_load_centres(context, names, &count);
  if (context->nbr_connections < 1) {
    report_problem(&count, " *** ERROR: no <cable> entitities defined\n");
  }
  check_cables(context, names, &count);
  check_bus_transfers(context, names, &count);

  if (count > 1) {
    print_message(Stream::err, " *** DETECTED %d ERRORS ***\n", count);
  } else if (count == 1) {
    print_message(Stream::err, " *** DECTECTED 1 ERROR ***\n");
  }
  return count;
}

}  // namespace zevo
