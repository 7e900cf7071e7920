#include "input/check_steps.h"
#include "model/messages.h"

namespace zevo {
namespace {

void check_bus_transfer_end(const InputNames& names, const BUS_TRANSFER* bt, const char* lc,
                            int* count) {
  if (names.lcs.contains(lc)) return;
  report_problem(count, " *** ERROR: Bus Transfer (%s) node (%s) not defined\n", bt->name,
                 shown_text(lc));
}

}  // namespace

// A bus transfer may join an lc to itself and need not define the requested conditions.
void check_bus_transfers(const ZEVO_CONTEXT* context, const InputNames& names, int* count) {
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

}  // namespace zevo
