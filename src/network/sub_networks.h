// Division of a network into sub-networks, with the loop count of each.
//
// Entry points:
// - identify_sub_networks(nw, scratch): numbers every non-null entry of nw's arrays, sets
//   nbr_sub_networks and replaces nbr_loops (the old array is released, the new one allocated
//   releasable). Requires every n1/n2 to be resolved; a null nw is left alone. Works in
//   `scratch`, which the caller owns and passes again on its next call. Exhausted memory for
//   the loop counts prints its message on standard error and ends the run; the scratch grows
//   in standard containers, which throw std::bad_alloc. Linear in the network's size.
// - identify_sub_networks(nw): the same with a scratch of its own, for a caller that numbers
//   once.
//
// Cables joined by a chain of cables sharing an end NODE (by pointer) carry one number; the
// groups are numbered from 1 in the order of their lowest nc index, and the lcs that no cable
// touches follow, one number each, in nn order. nbr_loops has nbr_sub_networks + 1 entries:
// cables - lcs + 1 of each sub-network (entry 0 is 1 and means nothing). A bus transfer gets
// the numbers of its two lcs as found in nn (0 for an lc that nn does not hold); bus
// transfers join nothing. Null slots are skipped throughout.
#pragma once

#include <memory>

#include "model/network_records.h"

namespace zevo {

// The working storage of identify_sub_networks, reused from call to call: a caller that
// renumbers copy after copy (as a cut search does once per trial) keeps one, and once it has
// grown to the largest network it has seen, numbering allocates nothing but the loop counts.
// Nothing in it carries over into the next call's outcome.
class SubNetworkScratch {
 public:
  SubNetworkScratch();
  ~SubNetworkScratch();
  SubNetworkScratch(const SubNetworkScratch&) = delete;
  SubNetworkScratch& operator=(const SubNetworkScratch&) = delete;

  struct Storage;  // known only to identify_sub_networks
  Storage& storage() { return *storage_; }

 private:
  std::unique_ptr<Storage> storage_;
};

void identify_sub_networks(NETWORK* nw, SubNetworkScratch& scratch);

void identify_sub_networks(NETWORK* nw);

}  // namespace zevo
