#include "input/check_zevo_input.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdint>

#include "model/messages.h"
#include "model/names.h"

namespace zevo {
namespace {

// Prints one problem on the error stream and counts it.
void report_problem(std::int64_t* count, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

void report_problem(std::int64_t* count, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vprint_message(Stream::err, format, args);
  va_end(args);
  ++*count;
}

// The names of the run's lcs and cables, indexed once for all checks.
struct InputNames {
  NameIndex lcs;
  NameIndex cables;
};

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

// Indexes the names of a condition list, in list order.
NameIndex index_condition_names(const CONDITION* conditions) {
  NameIndex names;
  int position = 0;
  for (const CONDITION* c = conditions; c; c = c->next) names.add(c->name, position++);
  return names;
}

// Reports every condition of one lc or bus transfer that has no name (`unnamed_format`, with
// the owner's name, generation and load) or whose name a later condition repeats
// (`repeated_format`, with the condition's and the owner's names), once per later repeat.
void check_condition_names(const CONDITION* conditions, const NameIndex& names, const char* owner,
                           const char* unnamed_format, const char* repeated_format,
                           std::int64_t* count) {
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

void check_load_centre(const ZEVO_CONTEXT* context, const InputNames& names, const NODE* node,
                       int position, std::int64_t* count) {
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

// Every lc: its name, repeated names, its conditions, and every requested condition.
void check_load_centres(const ZEVO_CONTEXT* context, const InputNames& names, std::int64_t* count) {
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

void check_cable_name(const InputNames& names, const CONNECTION* cable, int position,
                      std::int64_t* count) {
  if (!cable->name) {
    report_problem(count, " *** ERROR: cable entity without name exists (%s %s)\n",
                   shown_text(cable->lc1), shown_text(cable->lc2));
    return;
  }
  for (int n = names.cables.count_after(cable->name, position); n > 0; --n) {
    report_problem(count, " *** ERROR: cable entity \"%s\" defined multiple times\n", cable->name);
  }
}

// A missing end name matches no lc, so it is reported as undefined.
void check_cable_end(const InputNames& names, const CONNECTION* cable, const char* lc,
                     std::int64_t* count) {
  if (names.lcs.contains(lc)) return;
  if (cable->name) {
    report_problem(count, " *** ERROR: cable entity \"%s\" undefined lc (%s)\n", cable->name,
                   shown_text(lc));
  } else {
    report_problem(count, " *** ERROR: cable entity (NULL) undefined lc (%s)\n", shown_text(lc));
  }
}

// Every cable: its name, repeated names, its two end lcs.
void check_cables(const ZEVO_CONTEXT* context, const InputNames& names, std::int64_t* count) {
  int position = 0;
  for (const CONNECTION* cable = context->connections; cable; cable = cable->next, ++position) {
    check_cable_name(names, cable, position, count);
    check_cable_end(names, cable, cable->lc1, count);
    check_cable_end(names, cable, cable->lc2, count);
    // Two missing end names are not the same name.
    if (same_name(cable->lc1, cable->lc2)) {
      if (cable->name) {
        report_problem(count, " *** ERROR: cable entity \"%s\" duplicate lc (%s)\n", cable->name,
                       cable->lc1);
      } else {
        report_problem(count, " *** ERROR: cable entity (NULL) duplicate lc (%s)\n", cable->lc1);
      }
    }
  }
}

void check_bus_transfer_end(const InputNames& names, const BUS_TRANSFER* bt, const char* lc,
                            std::int64_t* count) {
  if (names.lcs.contains(lc)) return;
  report_problem(count, " *** ERROR: Bus Transfer (%s) node (%s) not defined\n", bt->name,
                 shown_text(lc));
}

// Every bus transfer: its name, its two lcs, its conditions. A bus transfer may join an lc to
// itself and need not define the requested conditions.
void check_bus_transfers(const ZEVO_CONTEXT* context, const InputNames& names,
                         std::int64_t* count) {
  for (const BUS_TRANSFER* bt = context->bustransfers; bt; bt = bt->next) {
    if (!bt->name) {
      report_problem(count, " *** ERROR: Bus Transfer has no name\n");
      continue;
    }
    check_bus_transfer_end(names, bt, bt->lc1, count);
    check_bus_transfer_end(names, bt, bt->lc2, count);
    check_condition_names(
        bt->conditions, index_condition_names(bt->conditions), bt->name,
        " *** ERROR: condition entity without name exists for BT %s (%8.1f %8.1f)\n",
        " *** ERROR: condition entity \"%s\" defined multiple times for BT %s\n", count);
  }
}

// What <output> asks for: at least one condition, and names for everything it requests.
void check_output_requests(const ZEVO_CONTEXT* context, const InputNames& names,
                           std::int64_t* count) {
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

std::int64_t check_zevo_input(const ZEVO_CONTEXT* context) {
  const InputNames names = index_input_names(context);
  // Repeated names are reported once per later repeat, so n repeats of one name give
  // n(n-1)/2 problems: 65,537 of them already pass the range of an int.
  std::int64_t count = 0;
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
    print_message(Stream::err, " *** DETECTED %" PRId64 " ERRORS ***\n", count);
  } else if (count == 1) {
    print_message(Stream::err, " *** DECTECTED 1 ERROR ***\n");
  }
  return count;
}

}  // namespace zevo
