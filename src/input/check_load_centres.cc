#include "input/check_steps.h"

namespace zevo {
namespace {

void check_load_centre(const ZEVO_CONTEXT* context, const InputNames& names, const NODE* node,
                       int position, int* count) {
  for (int n = names.lcs.count_after(node->name, position); n > 0; --n) {
    report_problem(count, " *** ERROR: multiple <lc> entities with same name (%s)\n", node->name);
  }
  const NameIndex conditions = index_condition_names(node->conditions);
  check_condition_names(
      node->conditions, conditions, node->name,
      " *** ERROR: condition entity without name exists for LC %s (%8.1f %8.1f)\n",
      " *** ERROR: condition entity \"%s\" defined multiple times for LC %s\n", count);
  for (const CALC_CONDITION* wanted = context->calc_conditions; wanted; wanted = wanted->next) {
    if (wanted->name && !conditions.contains(wanted->name)) {
      report_problem(count, " *** ERROR: condition \"%s\" not defined for <lc> entity %s\n",
                     wanted->name, node->name);
    }
  }
}

}  // namespace

void check_load_centres(const ZEVO_CONTEXT* context, const InputNames& names, int* count) {
  int position = 0;
  for (const NODE* node = context->nodes; node; node = node->next, ++position) {
    if (!node->name) {
      // Nothing more is checked for an lc that cannot be named in a message.
      report_problem(count, " *** ERROR: <lc> entity without name\n");
    } else {
      check_load_centre(context, names, node, position, count);
    }
  }
}

}  // namespace zevo
