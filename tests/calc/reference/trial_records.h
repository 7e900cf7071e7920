// The records of the cut search: one trial set of cuts for a cable, and one cut of a trial.
#pragma once

#include "model/network_records.h"

namespace zevo {

struct CUT_CONNECTION {
  CONNECTION* c;
  CUT_CONNECTION* next;
};

// cut_flag values of a trial.
inline constexpr int kCutJoined = 0;     // the cable's ends are still joined; may be grown
inline constexpr int kCutSeparates = 1;  // the cuts separate the ends; `zevo` holds a result
inline constexpr int kCutGivenUp = 2;    // still joined with more cuts than loops; given up

struct CALC_CUT_CONNECTION_ZEVO {
  CONNECTION* c;  // the cable under study, not one of the cuts
  int subnetwork1;
  int subnetwork2;
  int cut_flag;
  CUT_CONNECTION* cuts;  // in the order in which they were added
  int nbr_cut_connection;
  ZEVO_RESULT* zevo;
  CALC_CUT_CONNECTION_ZEVO* next;
};

}  // namespace zevo
