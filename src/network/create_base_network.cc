#include <cstddef>
#include <cstdint>

#include "model/messages.h"
#include "model/record_store.h"
#include "network/calc_connection.h"
#include "network/identify_sub_networks.h"

namespace zevo {
namespace {

// The messages of one of the three arrays of the base network.
struct ArraySite {
  const char* array_oom;
  const char* entry_oom;
  const char* count_error;  // takes the count of the run context
};

// An array of count + 1 slots whose first slots hold one new entry per record of `list`, in
// list order; `point_at` sets the entry's record. A list longer or shorter than `count` ends
// the run with the site's count error.
template <typename Entry, typename Record, typename PointAt>
Entry** build_entries(Record* list, int count, const ArraySite& site, PointAt point_at) {
  // A negative count yields an impossible size, which fails as exhausted memory.
  const auto slots = static_cast<std::size_t>(static_cast<std::int64_t>(count) + 1);
  auto** array = alloc_array<Entry*>(slots, site.array_oom);
  int i = 0;
  Record* record = list;
  for (; record && i < count; record = record->next, ++i) {
    array[i] = alloc_record<Entry>(site.entry_oom);
    point_at(array[i], record);
  }
  if (record || i != count) exit_with_message(Stream::err, site.count_error, count);
  return array;
}

}  // namespace

void create_base_network(ZEVO_CONTEXT* context) {
  if (!context || !context->nw) {
    exit_with_message(Stream::err, " *** ERROR: Null pointer in create_base_network\n");
  }
  NETWORK* nw = context->nw;

  nw->nbr_connection = context->nbr_connections;
  nw->nc = build_entries<NETWORK_CONNECTION>(
      context->connections, context->nbr_connections,
      {" *** ERROR: Out of Memory in create_base_network() b\n",
       " *** ERROR: Out of Memory in create_base_network() a\n",
       " *** ERROR: nbr_connections (%d) does not equal number of connections\n"},
      [](NETWORK_CONNECTION* entry, CONNECTION* c) { entry->c = c; });

  nw->nbr_network_nodes = context->nbr_nodes;
  nw->nn =
      build_entries<NETWORK_NODE>(context->nodes, context->nbr_nodes,
                                  {" *** ERROR: Out of Memory in create_base_network() c\n",
                                   " *** ERROR: Out of Memory in create_base_network() d\n",
                                   " *** ERROR: nbr_nodes (%d) does not equal number of nodes\n"},
                                  [](NETWORK_NODE* entry, NODE* n) { entry->n = n; });

  nw->nbr_bustransfers = context->nbr_bustransfers;
  nw->nbt = build_entries<NETWORK_BUS_TRANSFER>(
      context->bustransfers, context->nbr_bustransfers,
      {" *** ERROR: Out of Memory in create_base_network() e\n",
       " *** ERROR: Out of Memory in create_base_network() f\n",
       " *** ERROR: nbr_bustransfers (%d) does not equal number of bustransfers\n"},
      [](NETWORK_BUS_TRANSFER* entry, BUS_TRANSFER* bt) { entry->bt = bt; });

  identify_sub_networks(nw);
}

}  // namespace zevo
