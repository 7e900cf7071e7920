#include "previous/balance.h"

#include <cmath>

#include "model/names.h"
#include "model/record_store.h"

namespace zevo::previous {

namespace {

// Adds every entry of `conditions` named `name` into one side's sums, from the list's head.
void add_matching_conditions(const CONDITION* conditions, const char* name, double* generation,
                             double* load) {
  for (const CONDITION* entry = conditions; entry; entry = entry->next) {
    if (!same_name(entry->name, name)) continue;
    *generation += entry->generation;
    *load += entry->load;
  }
}

}  // namespace

void calculate_zevo_ci(ZEVO_RESULT* l, int ci) {
  if (!l) exit_with_message(Stream::out, " *** ERROR, NULL pointere in calculate_zevo");
  if (ci >= l->nbr_conditions || ci < 0) {
    exit_with_message(Stream::out,
                      "*** ERROR: specified condition index is out of range (%d  0 - %d)\n", ci,
                      l->nbr_conditions);
  }
  l->c_val[ci] = 0.0;
  l->c_g1[ci] = 0.0;
  l->c_g2[ci] = 0.0;
  l->c_l1[ci] = 0.0;
  l->c_l2[ci] = 0.0;

  const char* name = l->condition[ci];
  const NETWORK* nw = l->nw;
  for (int i = 0; i < nw->nbr_network_nodes; ++i) {
    const NETWORK_NODE* slot = nw->nn[i];
    if (!slot) continue;
    if (slot->sub_network == l->sub_network1) {
      add_matching_conditions(slot->n->conditions, name, &l->c_g1[ci], &l->c_l1[ci]);
    }
    if (slot->sub_network == l->sub_network2) {
      add_matching_conditions(slot->n->conditions, name, &l->c_g2[ci], &l->c_l2[ci]);
    }
  }
  // A bus transfer belongs to every side that one of its two load centres lies on.
  for (int i = 0; i < nw->nbr_bustransfers; ++i) {
    const NETWORK_BUS_TRANSFER* slot = nw->nbt[i];
    if (!slot) continue;
    if (slot->sub_network1 == l->sub_network1 || slot->sub_network2 == l->sub_network1) {
      add_matching_conditions(slot->bt->conditions, name, &l->c_g1[ci], &l->c_l1[ci]);
    }
    if (slot->sub_network1 == l->sub_network2 || slot->sub_network2 == l->sub_network2) {
      add_matching_conditions(slot->bt->conditions, name, &l->c_g2[ci], &l->c_l2[ci]);
    }
  }

  // fmin/fmax return the other operand of a NaN, so one unknown figure does not hide the rest.
  l->c_val[ci] =
      std::fmax(std::fmin(l->c_g1[ci], l->c_l2[ci]), std::fmin(l->c_g2[ci], l->c_l1[ci]));
}

void calculate_zevo(ZEVO_RESULT* l) {
  if (!l) exit_with_message(Stream::out, " *** ERROR: NULL Pointer in calculate_zevo()\n");
  l->val = 0.0;
  for (int ci = 0; ci < l->nbr_conditions; ++ci) {
    calculate_zevo_ci(l, ci);
    if (l->c_val[ci] > l->val) l->val = l->c_val[ci];
  }
}

void allocate_result_arrays(ZEVO_RESULT* r, int nbr, const char* oom_message, Stream stream) {
  const auto entries = static_cast<std::size_t>(nbr) + 1;
  r->nbr_conditions = nbr;
  r->condition = alloc_array<const char*>(entries, oom_message, stream);
  r->c_val = alloc_array<double>(entries, oom_message, stream);
  r->c_g1 = alloc_array<double>(entries, oom_message, stream);
  r->c_g2 = alloc_array<double>(entries, oom_message, stream);
  r->c_l1 = alloc_array<double>(entries, oom_message, stream);
  r->c_l2 = alloc_array<double>(entries, oom_message, stream);
}

void SideBalance::resize(int nbr_conditions) {
  for (std::vector<double>* figures : {&c_val, &c_g1, &c_g2, &c_l1, &c_l2}) {
    figures->assign(nbr_conditions, 0.0);
  }
  val = 0.0;
}

void copy_figures(const SideBalance& balance, ZEVO_RESULT* r) {
  r->val = balance.val;
  for (int ci = 0; ci < r->nbr_conditions; ++ci) {
    r->c_val[ci] = balance.c_val[ci];
    r->c_g1[ci] = balance.c_g1[ci];
    r->c_g2[ci] = balance.c_g2[ci];
    r->c_l1[ci] = balance.c_l1[ci];
    r->c_l2[ci] = balance.c_l2[ci];
  }
}

}  // namespace zevo::previous
