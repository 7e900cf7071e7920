#include "input/check_steps.h"
#include "model/messages.h"

namespace zevo {
namespace {

void check_bus_transfer_end(const ZEVO_CONTEXT* context, const BUS_TRANSFER* bt, const char* lc,
                            int* count) {
  if (names_defined_lc(context->nodes, lc)) return;
  report_problem(count, " *** ERROR: Bus Transfer (%s) node (%s) not defined\n", bt->name,
                 shown_text(lc));
}

void check_bus_transfer_conditions(const BUS_TRANSFER* bt, int* count) {
  for (const CONDITION* c = bt->conditions; c; c = c->next) {
    if (!c->name) {
      report_problem(count,
                     " *** ERROR: condition entity without name exists for BT %s (%8.1f %8.1f)\n",
                     bt->name, c->generation, c->load);
      continue;
    }
    for (const CONDITION* later = c->next; later; later = later->next) {
      if (same_name(later->name, c->name)) {
        report_problem(count,
                       " *** ERROR: condition entity \"%s\" defined multiple times for BT %s\n",
                       c->name, bt->name);
      }
    }
  }
}

}  // namespace

// A bus transfer may join an lc to itself and need not define the requested conditions.
void check_bus_transfers(const ZEVO_CONTEXT* context, int* count) {
  for (const BUS_TRANSFER* bt = context->bustransfers; bt; bt = bt->next) {
    if (!bt->name) {
      report_problem(count, " *** ERROR: Bus Transfer has no name\n");
      continue;
    }
    check_bus_transfer_end(context, bt, bt->lc1, count);
    check_bus_transfer_end(context, bt, bt->lc2, count);
    check_bus_transfer_conditions(bt, count);
  }
}

}  // namespace zevo
