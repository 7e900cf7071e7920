// Division of a network into sub-networks with the loop count of each.
#pragma once

#include "model/network_records.h"

namespace zevo {

// Numbers every non-null entry's sub-network, sets nbr_sub_networks and replaces nbr_loops
// (the old array is released). Requires every n1/n2 to be resolved.
void identify_sub_networks(NETWORK* nw);

}  // namespace zevo
