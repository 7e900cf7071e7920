// One-level copy of a network: own arrays and entries, shared input records.
#pragma once

#include "model/network_records.h"

namespace zevo {

// Returns a new copy of `source` (null slots kept, counts kept), or null for null.
NETWORK* copy_network(const NETWORK* source);

}  // namespace zevo
