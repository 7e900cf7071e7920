#include "input/check_steps.h"

namespace zevo {
namespace {

bool defines_condition(const NODE* node, const char* name) {
  for (const CONDITION* c = node->conditions; c; c = c->next) {
    if (same_name(c->name, name)) return true;
  }
  return false;
}

void check_load_centre(const ZEVO_CONTEXT* context, const NODE* node, int* count) {
  for (const NODE* later = node->next; later; later = later->next) {
    if (same_name(later->name, node->name)) {
      report_problem(count, " *** ERROR: multiple <lc> entities with same name (%s)\n", node->name);
    }
  }
  for (const CONDITION* c = node->conditions; c; c = c->next) {
    if (!c->name) {
      report_problem(count,
                     " *** ERROR: condition entity without name exists for LC %s (%8.1f %8.1f)\n",
                     node->name, c->generation, c->load);
      continue;
    }
    for (const CONDITION* later = c->next; later; later = later->next) {
      if (same_name(later->name, c->name)) {
        report_problem(count,
                       " *** ERROR: condition entity \"%s\" defined multiple times for LC %s\n",
                       c->name, node->name);
      }
    }
  }
  for (const CALC_CONDITION* wanted = context->calc_conditions; wanted; wanted = wanted->next) {
    if (wanted->name && !defines_condition(node, wanted->name)) {
      report_problem(count, " *** ERROR: condition \"%s\" not defined for <lc> entity %s\n",
                     wanted->name, node->name);
    }
  }
}

}  // namespace

void check_load_centres(const ZEVO_CONTEXT* context, int* count) {
  for (const NODE* node = context->nodes; node; node = node->next) {
    if (!node->name) {
      // Nothing more is checked for an lc that cannot be named in a message.
      report_problem(count, " *** ERROR: <lc> entity without name\n");
    } else {
      check_load_centre(context, node, count);
    }
  }
}

}  // namespace zevo
