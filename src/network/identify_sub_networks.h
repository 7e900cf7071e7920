// Division of a network into sub-networks with the loop count of each.
#pragma once

#include "model/network_records.h"

namespace zevo {

// Numbers every non-null entry's sub-network, sets nbr_sub_networks and replaces nbr_loops
// (the old array is released). Requires every n1/n2 to be resolved.
//
// Cables joined by a chain of cables sharing an end NODE (by pointer) carry one number; the
// groups are numbered from 1 in the order of their lowest nc index, and the lcs that no cable
// touches follow, one number each, in nn order. nbr_loops has nbr_sub_networks + 1 entries:
// cables - lcs + 1 of each sub-network (entry 0 is 1 and means nothing). A bus transfer gets
// the numbers of its two lcs as found in nn (0 for an lc that nn does not hold); bus
// transfers join nothing. Null slots are skipped throughout. Linear in the network's size.
void identify_sub_networks(NETWORK* nw);

}  // namespace zevo
