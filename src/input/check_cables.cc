#include "input/check_steps.h"
#include "model/messages.h"

namespace zevo {
namespace {

void check_cable_name(const CONNECTION* cable, int* count) {
  if (!cable->name) {
    report_problem(count, " *** ERROR: cable entity without name exists (%s %s)\n",
                   shown_text(cable->lc1), shown_text(cable->lc2));
    return;
  }
  for (const CONNECTION* later = cable->next; later; later = later->next) {
    if (same_name(later->name, cable->name)) {
      report_problem(count, " *** ERROR: cable entity \"%s\" defined multiple times\n",
                     cable->name);
    }
  }
}

// A missing end name matches no lc, so it is reported as undefined.
void check_cable_end(const ZEVO_CONTEXT* context, const CONNECTION* cable, const char* lc,
                     int* count) {
  if (names_defined_lc(context->nodes, lc)) return;
  if (cable->name) {
    report_problem(count, " *** ERROR: cable entity \"%s\" undefined lc (%s)\n", cable->name,
                   shown_text(lc));
  } else {
    report_problem(count, " *** ERROR: cable entity (NULL) undefined lc (%s)\n", shown_text(lc));
  }
}

}  // namespace

void check_cables(const ZEVO_CONTEXT* context, int* count) {
  for (const CONNECTION* cable = context->connections; cable; cable = cable->next) {
    check_cable_name(cable, count);
    check_cable_end(context, cable, cable->lc1, count);
    check_cable_end(context, cable, cable->lc2, count);
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
