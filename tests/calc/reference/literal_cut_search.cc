#include "calc/reference/literal_cut_search.h"

#include "calc/balance.h"
#include "model/messages.h"
#include "model/record_store.h"
#include "network/copy_network.h"
#include "network/sub_networks.h"

namespace zevo {

namespace {

constexpr char kTrialOutOfMemory[] = " *** ERROR: Out of memory in alloc_CALC_CUT_CONNECTION_ZEVO";

}  // namespace

CALC_CUT_CONNECTION_ZEVO* alloc_CALC_CUT_CONNECTION_ZEVO(int nbr, const char** condition,
                                                         const NETWORK* nw) {
  if (!condition || !nw) {
    exit_with_message(Stream::err, " *** ERROR: NULL POINTER in alloc_CALC_CUT_CONNECTION_ZEVO\n");
  }
  auto* trial = alloc_record<CALC_CUT_CONNECTION_ZEVO>(kTrialOutOfMemory, Stream::err);
  auto* zevo = alloc_record<ZEVO_RESULT>(kTrialOutOfMemory, Stream::err);
  trial->zevo = zevo;

  if (nbr < 1) nbr = 1;
  allocate_result_arrays(zevo, nbr, kTrialOutOfMemory, Stream::err);
  // The names are shared with the cable's result, so every record of one cable indexes the
  // conditions alike; the numbers start zero-filled.
  for (int i = 0; i < nbr; ++i) zevo->condition[i] = condition[i];
  zevo->val = 0.0;
  zevo->sub_network1 = 0;
  zevo->sub_network2 = 0;
  zevo->nw = copy_network(nw);
  return trial;
}

int eliminate_connection(NETWORK* nw, const CONNECTION* c) {
  if (!nw || !c) {
    exit_with_message(Stream::err, " *** ERROR: NULL Pointer in eliminate_connection()\n");
  }
  int result = 1;
  for (int i = 0; i < nw->nbr_connection; ++i) {
    if (nw->nc[i] && nw->nc[i]->c == c) {
      nw->nc[i] = nullptr;  // the entry stays allocated with the rest of the copy
      result = 0;
    }
  }
  return result;
}

namespace {

void check_trial(const CALC_CUT_CONNECTION_ZEVO* ccc) {
  if (!ccc) {
    exit_with_message(Stream::err, " *** ERROR: NULL Pointer in calculate_calc_connection_zevo\n");
  }
  if (!ccc->zevo) exit_with_message(Stream::err, " *** Internal  ERROR: ccc->zevo is NULL");
  if (!ccc->zevo->nw) exit_with_message(Stream::err, " *** Internal  ERROR: ccc->zevo->nw is NULL");
  if (!ccc->zevo->nw->nn) {
    exit_with_message(Stream::err, " *** Internal  ERROR: ccc->zevo->nw->nn is NULL");
  }
}

void remove_cuts(CALC_CUT_CONNECTION_ZEVO* ccc) {
  for (const CUT_CONNECTION* cut = ccc->cuts; cut; cut = cut->next) {
    if (eliminate_connection(ccc->zevo->nw, cut->c) != 0) {
      exit_with_message(Stream::err,
                        " *** ERROR: logic problem -- connection %s not in network in "
                        "calculate_calc_connection_zevo\n",
                        shown_text(cut->c->name));
    }
  }
}

// Sets subnetwork1/2 to the sub-networks of the cable's two ends; the walk visits every slot.
void locate_trial_ends(CALC_CUT_CONNECTION_ZEVO* ccc) {
  const NETWORK* nw = ccc->zevo->nw;
  ccc->subnetwork1 = 0;
  ccc->subnetwork2 = 0;
  for (int i = 0; i < nw->nbr_network_nodes; ++i) {
    const NETWORK_NODE* slot = nw->nn[i];
    if (!slot) continue;
    if (!ccc->c) exit_with_message(Stream::err, " *** INTERNAL ERROR: ccc->c is NULL\n");
    if (slot->n == ccc->c->n1) ccc->subnetwork1 = slot->sub_network;
    if (slot->n == ccc->c->n2) ccc->subnetwork2 = slot->sub_network;
  }
  // Sub-network numbers start at 1, so 0 means the end was not found.
  if (ccc->subnetwork1 == 0 || ccc->subnetwork2 == 0) {
    const NODE* n1 = ccc->c ? ccc->c->n1 : nullptr;
    const NODE* n2 = ccc->c ? ccc->c->n2 : nullptr;
    exit_with_message(Stream::err,
                      " *** ERROR, did not find one of the nodes (%s) %d (%s) %d in "
                      "calculate_calc_connection_zevo\n",
                      shown_text(n1 ? n1->name : nullptr), ccc->subnetwork1,
                      shown_text(n2 ? n2->name : nullptr), ccc->subnetwork2);
  }
}

}  // namespace

void calculate_calc_connection_zevo(CALC_CUT_CONNECTION_ZEVO* ccc) {
  check_trial(ccc);
  remove_cuts(ccc);
  identify_sub_networks(ccc->zevo->nw);
  locate_trial_ends(ccc);
  ccc->cut_flag = ccc->subnetwork1 != ccc->subnetwork2 ? kCutSeparates : kCutJoined;
  if (ccc->cut_flag == kCutSeparates) {
    ccc->zevo->sub_network1 = ccc->subnetwork1;
    ccc->zevo->sub_network2 = ccc->subnetwork2;
    calculate_zevo(ccc->zevo);
  }
}

namespace {

constexpr char kResultOutOfMemory[] = " *** ERROR: Out of memory in calc_zevo_cable\n";
constexpr char kCutOutOfMemory[] = " *** ERROR: Out of Memory in calc_zevo_cable cutc\n";

// ---- Preparation: the cable's own result on a copy without the cable ----

// The condition index of every record of this cable is the position in calc_conditions.
void name_result_conditions(const ZEVO_CONTEXT* context, ZEVO_RESULT* r) {
  const CALC_CONDITION* entry = context->calc_conditions;
  int index = 0;
  for (; index < context->nbr_calc_conditions && entry; ++index, entry = entry->next) {
    r->condition[index] = entry->name;
    r->c_val[index] = 0.0;
    r->c_g1[index] = 0.0;
    r->c_g2[index] = 0.0;
    r->c_l1[index] = 0.0;
    r->c_l2[index] = 0.0;
  }
  if (index != context->nbr_calc_conditions || entry) {
    exit_with_message(Stream::out, "*** ERROR: number of calc_conditions not correct (%d)",
                      context->nbr_calc_conditions);
  }
}

// Empties the first slot that holds the cable; a cable listed twice keeps its other slot.
void take_cable_out(NETWORK* nw, const CALC_CONNECTION* cc) {
  for (int i = 0; i < nw->nbr_connection; ++i) {
    if (cc->c && nw->nc[i] && nw->nc[i]->c == cc->c) {
      nw->nc[i] = nullptr;
      return;
    }
  }
  exit_with_message(Stream::out, " *** ERROR: cannot find cable %s in network (%d) (%d)\n",
                    shown_text(cc->name), nw->nbr_connection, nw->nbr_connection);
}

// Side 1 is the sub-network of the cable's n1 end, side 2 that of its n2 end.
void locate_cable_ends(ZEVO_RESULT* r, const CALC_CONNECTION* cc) {
  const NETWORK_NODE* end1 = nullptr;
  const NETWORK_NODE* end2 = nullptr;
  for (int i = 0; i < r->nw->nbr_network_nodes && !(end1 && end2); ++i) {
    const NETWORK_NODE* slot = r->nw->nn[i];
    if (!slot) continue;
    if (slot->n == cc->c->n1) end1 = slot;
    if (slot->n == cc->c->n2) end2 = slot;
  }
  if (!end1 || !end2) {
    exit_with_message(Stream::out,
                      " ERROR: cannot find one of the nodes for cable %s in network \n",
                      shown_text(cc->name));
  }
  r->sub_network1 = end1->sub_network;
  r->sub_network2 = end2->sub_network;
}

void prepare_cable_result(ZEVO_CONTEXT* context, CALC_CONNECTION* cc) {
  ZEVO_RESULT* r = cc->results;
  r->nw = copy_network(context->nw);
  allocate_result_arrays(r, context->nbr_calc_conditions, kResultOutOfMemory, Stream::out);
  name_result_conditions(context, r);
  take_cable_out(r->nw, cc);
  identify_sub_networks(r->nw);
  locate_cable_ends(r, cc);
}

// ---- Trials ----

CUT_CONNECTION* new_cut(CONNECTION* c) {
  auto* cut = alloc_record<CUT_CONNECTION>(kCutOutOfMemory, Stream::err);
  cut->c = c;
  return cut;
}

// A trial for the cable on a copy of the cable's network, which lacks the cable already.
CALC_CUT_CONNECTION_ZEVO* new_trial(const CALC_CONNECTION* cc) {
  const ZEVO_RESULT* r = cc->results;
  CALC_CUT_CONNECTION_ZEVO* trial =
      alloc_CALC_CUT_CONNECTION_ZEVO(r->nbr_conditions, r->condition, r->nw);
  trial->c = cc->c;
  return trial;
}

void put_at_head(CALC_CONNECTION* cc, CALC_CUT_CONNECTION_ZEVO* trial) {
  trial->next = cc->cut_connections;
  cc->cut_connections = trial;
}

bool cuts_hold(const CUT_CONNECTION* cuts, const CONNECTION* c) {
  for (; cuts; cuts = cuts->next) {
    if (cuts->c == c) return true;
  }
  return false;
}

// ---- First set: every cable left in the cable's sub-network, cut alone, in slot order ----

// Returns true when some single cut leaves the ends joined, so that growth passes follow.
bool make_first_set(CALC_CONNECTION* cc) {
  const ZEVO_RESULT* r = cc->results;
  bool growth = false;
  for (int j = 0; j < r->nw->nbr_connection; ++j) {
    const NETWORK_CONNECTION* slot = r->nw->nc[j];
    if (!slot || slot->sub_network != r->sub_network1) continue;
    CALC_CUT_CONNECTION_ZEVO* trial = new_trial(cc);
    trial->cuts = new_cut(slot->c);
    trial->nbr_cut_connection = 1;
    calculate_calc_connection_zevo(trial);
    put_at_head(cc, trial);
    if (trial->cut_flag == kCutJoined) growth = true;
  }
  return growth;
}

// ---- Growth passes ----

// The single-cut trial of the first-set list that cuts `c`.
const CALC_CUT_CONNECTION_ZEVO* find_first_set_trial(const CALC_CUT_CONNECTION_ZEVO* first_set,
                                                     const CONNECTION* c) {
  for (const CALC_CUT_CONNECTION_ZEVO* f = first_set; f; f = f->next) {
    if (f->cuts->c == c) return f;
  }
  exit_with_message(Stream::out, " *** ERROR: NULL ccut1\n");
}

// The cuts of `s` in their order, followed by the cut of `g`.
CALC_CUT_CONNECTION_ZEVO* make_grown_trial(CALC_CONNECTION* cc, const CALC_CUT_CONNECTION_ZEVO* s,
                                           const CALC_CUT_CONNECTION_ZEVO* g, int nbr_loops) {
  CALC_CUT_CONNECTION_ZEVO* trial = new_trial(cc);
  CUT_CONNECTION** tail = &trial->cuts;
  for (const CUT_CONNECTION* cut = s->cuts; cut; cut = cut->next) {
    *tail = new_cut(cut->c);
    tail = &(*tail)->next;
    ++trial->nbr_cut_connection;
  }
  *tail = new_cut(g->cuts->c);
  ++trial->nbr_cut_connection;

  calculate_calc_connection_zevo(trial);
  if (trial->subnetwork1 != trial->subnetwork2) {
    trial->cut_flag = kCutSeparates;
  } else if (trial->cut_flag == kCutJoined && trial->nbr_cut_connection > nbr_loops) {
    trial->cut_flag = kCutGivenUp;
  }
  return trial;
}

// Grows `s` by each usable single cut after its first cut in the first-set list (the cables
// of lower slots). Returns true when it made a trial.
bool grow_trial(CALC_CONNECTION* cc, const CALC_CUT_CONNECTION_ZEVO* s,
                const CALC_CUT_CONNECTION_ZEVO* first_set, int nbr_loops) {
  bool grown = false;
  const CALC_CUT_CONNECTION_ZEVO* f = find_first_set_trial(first_set, s->cuts->c);
  for (const CALC_CUT_CONNECTION_ZEVO* g = f->next; g; g = g->next) {
    if (g->cut_flag != kCutJoined || cuts_hold(s->cuts, g->cuts->c)) continue;
    grown = true;
    put_at_head(cc, make_grown_trial(cc, s, g, nbr_loops));
  }
  return grown;
}

// Trials are never marked as grown: a pass grows every joined trial that is small enough, the
// ones grown before included, until a pass makes nothing or the pass limit is reached.
void run_growth_passes(CALC_CONNECTION* cc, const CALC_CUT_CONNECTION_ZEVO* first_set,
                       int nbr_loops) {
  bool growth = true;
  int pass = 0;
  while (growth) {
    growth = false;
    ++pass;
    if (pass > nbr_loops + 1) break;
    // Trials made in this pass go in front of the pass's head and wait for the next pass.
    for (const CALC_CUT_CONNECTION_ZEVO* s = cc->cut_connections; s; s = s->next) {
      if (s->cut_flag != kCutJoined || s->nbr_cut_connection > nbr_loops) continue;
      if (grow_trial(cc, s, first_set, nbr_loops)) growth = true;
    }
  }
}

// ---- Choice: the largest value of a separating trial; on a tie the newest trial's figures ----

void choose_zevo_value(CALC_CONNECTION* cc) {
  ZEVO_RESULT* r = cc->results;
  r->val = 0.0;
  for (const CALC_CUT_CONNECTION_ZEVO* trial = cc->cut_connections; trial; trial = trial->next) {
    if (trial->cut_flag != kCutSeparates || !(trial->zevo->val > r->val)) continue;
    const ZEVO_RESULT* t = trial->zevo;
    r->val = t->val;
    for (int ci = 0; ci < r->nbr_conditions; ++ci) {
      r->condition[ci] = t->condition[ci];
      r->c_val[ci] = t->c_val[ci];
      r->c_g1[ci] = t->c_g1[ci];
      r->c_g2[ci] = t->c_g2[ci];
      r->c_l1[ci] = t->c_l1[ci];
      r->c_l2[ci] = t->c_l2[ci];
    }
  }
}

}  // namespace

void literal_calc_zevo_cable(ZEVO_CONTEXT* context, CALC_CONNECTION* cc) {
  if (!context || !cc || !cc->results) {
    exit_with_message(Stream::err, " *** ERROR: NULL POINTER in calc_zevo_cable\n");
  }
  prepare_cable_result(context, cc);
  ZEVO_RESULT* r = cc->results;

  if (r->sub_network1 != r->sub_network2) {
    calculate_zevo(r);
    return;
  }

  // The loops left in the cable's sub-network bound both the passes and the size of a set.
  const int nbr_loops = r->nw->nbr_loops[r->sub_network1];
  if (make_first_set(cc)) {
    const CALC_CUT_CONNECTION_ZEVO* first_set = cc->cut_connections;
    run_growth_passes(cc, first_set, nbr_loops);
  }
  choose_zevo_value(cc);
}

}  // namespace zevo
