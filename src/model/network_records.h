// The network built from the input model, and the result of one flow-limit calculation.
//
// Arrays of entry pointers have count + 1 slots, the last always null. A null slot below the
// count is an absent entry (a cable taken out of a copy); every routine skips it. Sub-network
// numbers run from 1 to nbr_sub_networks; 0 means unassigned. Entries point at the input
// records, which every network copy shares.
#pragma once

#include "model/input_records.h"

namespace zevo {

struct NETWORK_CONNECTION {
  CONNECTION* c;
  int sub_network;
};

struct NETWORK_NODE {
  NODE* n;
  int sub_network;
};

struct NETWORK_BUS_TRANSFER {
  BUS_TRANSFER* bt;
  int sub_network1;  // sub-network of bt->n1
  int sub_network2;  // sub-network of bt->n2
};

struct NETWORK {
  NETWORK_CONNECTION** nc;
  int nbr_connection;
  NETWORK_NODE** nn;
  int nbr_network_nodes;
  NETWORK_BUS_TRANSFER** nbt;
  int nbr_bustransfers;
  int nbr_sub_networks;
  int* nbr_loops;  // indexed by sub-network number; entry 0 belongs to none
};

// The outcome of one calculation: for a requested cable or for one trial of the cut search.
// The six arrays have nbr_conditions + 1 entries, indexed by the condition's position in the
// run context's calc_conditions; the spare last entry stays zero (null in `condition`).
struct ZEVO_RESULT {
  const char** condition;
  double* c_val;
  double* c_g1;
  double* c_g2;
  double* c_l1;
  double* c_l2;
  int nbr_conditions;
  double val;
  int sub_network1;
  int sub_network2;
  NETWORK* nw;
};

}  // namespace zevo
