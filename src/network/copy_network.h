// One-level copy of a network: arrays and entries of its own, input records shared.
//
// Entry point:
// - copy_network(source): returns a new copy of `source`, allocated for the run: counts, null
//   slots and sub-network numbers kept, every entry new and pointing at the source entry's
//   record, and loop counts in a releasable array one entry longer than identify_sub_networks
//   gives (entries 0 and the last stay 0). Returns null for null. Exhausted memory prints its
//   message on standard error and ends the run.
#pragma once

#include "model/network_records.h"

namespace zevo {

NETWORK* copy_network(const NETWORK* source);

}  // namespace zevo
