// The sub-network identification written out pass by pass, exactly as the procedure reads:
// slow (quadratic and worse in the number of cables) but obviously faithful. The randomized
// test holds identify_sub_networks to the same outcome.
#pragma once

#include "model/network_records.h"

namespace zevo::testing {

void identify_sub_networks_literally(NETWORK* nw);

}  // namespace zevo::testing
