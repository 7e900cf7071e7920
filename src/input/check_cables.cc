#include "input/check_steps.h"
#include "model/messages.h"

namespace zevo {
namespace {

void check_cable_name(const InputNames& names, const CONNECTION* cable, int position, int* count) {
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
void check_cable_end(const InputNames& names, const CONNECTION* cable, const char* lc, int* count) {
  if (names.lcs.contains(lc)) return;
  if (cable->name) {
    report_problem(count, " *** ERROR: cable entity \"%s\" undefined lc (%s)\n", cable->name,
                   shown_text(lc));
  } else {
    report_problem(count, " *** ERROR: cable entity (NULL) undefined lc (%s)\n", shown_text(lc));
  }
}

}  // namespace

void check_cables(const ZEVO_CONTEXT* context, const InputNames& names, int* count) {
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

}  // namespace zevo
