#include "network/copy_network.h"

#include <cstddef>
#include <cstdint>

#include "model/record_store.h"
#include "network/slot_array.h"

namespace zevo {
namespace {

// A new slot array with a new entry for every non-null slot of `source`; null slots stay
// null. `copy_fields` fills a new entry from its source entry.
template <typename Entry, typename CopyFields>
Entry** copy_entries(Entry* const* source, int count, const char* array_oom, const char* entry_oom,
                     CopyFields copy_fields) {
  Entry** array = alloc_slot_array<Entry>(count, array_oom);
  for (int i = 0; i < count; ++i) {
    if (!source[i]) continue;
    array[i] = alloc_record<Entry>(entry_oom);
    copy_fields(array[i], source[i]);
  }
  return array;
}

}  // namespace

NETWORK* copy_network(const NETWORK* source) {
  if (!source) return nullptr;
  auto* copy = alloc_record<NETWORK>(" *** ERROR: Out of Memory in copy_network() a\n");

  copy->nbr_connection = source->nbr_connection;
  copy->nc = copy_entries(source->nc, source->nbr_connection,
                          " *** ERROR: Out of Memory in copy_network() b\n",
                          " *** ERROR: Out of Memory in copy_network() c\n",
                          [](NETWORK_CONNECTION* to, const NETWORK_CONNECTION* from) {
                            to->c = from->c;
                            to->sub_network = from->sub_network;
                          });

  copy->nbr_network_nodes = source->nbr_network_nodes;
  copy->nn = copy_entries(source->nn, source->nbr_network_nodes,
                          " *** ERROR: Out of Memory in copy_network() d\n",
                          " *** ERROR: Out of Memory in copy_network() e\n",
                          [](NETWORK_NODE* to, const NETWORK_NODE* from) {
                            to->n = from->n;
                            to->sub_network = from->sub_network;
                          });

  copy->nbr_bustransfers = source->nbr_bustransfers;
  copy->nbt = copy_entries(source->nbt, source->nbr_bustransfers,
                           " *** ERROR: Out of Memory in copy_network() f\n",
                           " *** ERROR: Out of Memory in copy_network() g\n",
                           [](NETWORK_BUS_TRANSFER* to, const NETWORK_BUS_TRANSFER* from) {
                             to->bt = from->bt;
                             to->sub_network1 = from->sub_network1;
                             to->sub_network2 = from->sub_network2;
                           });

  // One entry more than identify_sub_networks allocates; entries 0 and the last stay 0.
  const int n = source->nbr_sub_networks;
  copy->nbr_sub_networks = n;
  copy->nbr_loops =
      alloc_releasable_array<int>(static_cast<std::size_t>(static_cast<std::int64_t>(n) + 2),
                                  " *** ERROR: Out of Memory in copy_network() f\n");
  if (source->nbr_loops) {
    for (int s = 1; s <= n; ++s) copy->nbr_loops[s] = source->nbr_loops[s];
  }
  return copy;
}

}  // namespace zevo
