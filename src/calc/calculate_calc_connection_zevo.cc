#include "calc/calc_zevo_cable.h"
#include "calc/calculate_zevo.h"
#include "model/messages.h"
#include "network/identify_sub_networks.h"

namespace zevo {
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

}  // namespace zevo
