#include "network/base_network.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "model/messages.h"
#include "model/names.h"
#include "model/record_store.h"
#include "network/slot_array.h"
#include "network/sub_networks.h"

namespace zevo {
namespace {

// The run's lcs by position in the nodes list, with their names indexed.
struct NodeNames {
  std::vector<NODE*> nodes;
  NameIndex index;
};

NodeNames index_nodes(NODE* head) {
  NodeNames names;
  for (NODE* node = head; node; node = node->next) {
    names.index.add(node->name, static_cast<int>(names.nodes.size()));
    names.nodes.push_back(node);
  }
  return names;
}

// Resolves the two ends as a walk over the nodes list from its head does: every node named
// like an end sets that end, and the walk stops at the first node at which both ends are set
// (at once when both are set already). Returns false when either end is still unresolved.
bool resolve_ends(const NodeNames& names, const char* lc1, NODE** n1, const char* lc2, NODE** n2) {
  const auto first_set_at = [&](const char* lc, const NODE* end) {
    if (end) return -1;
    const std::vector<int>* positions = names.index.find(lc);
    return positions ? positions->front() : INT_MAX;
  };
  const int last = static_cast<int>(names.nodes.size()) - 1;
  const int stop = std::min(std::max(first_set_at(lc1, *n1), first_set_at(lc2, *n2)), last);
  const int at1 = names.index.last_at_or_before(lc1, stop);
  const int at2 = names.index.last_at_or_before(lc2, stop);
  if (at1 >= 0) *n1 = names.nodes[at1];
  if (at2 >= 0) *n2 = names.nodes[at2];
  return *n1 && *n2;
}

}  // namespace

void calc_connection(ZEVO_CONTEXT* context) {
  const NodeNames nodes = index_nodes(context->nodes);
  for (CONNECTION* c = context->connections; c; c = c->next) {
    if (!resolve_ends(nodes, c->lc1, &c->n1, c->lc2, &c->n2)) {
      exit_with_message(Stream::out, " *** ERROR: Connection %s node not found (%s %s)\n",
                        shown_text(c->name), shown_text(c->lc1), shown_text(c->lc2));
    }
  }
  for (BUS_TRANSFER* bt = context->bustransfers; bt; bt = bt->next) {
    if (!resolve_ends(nodes, bt->lc1, &bt->n1, bt->lc2, &bt->n2)) {
      exit_with_message(Stream::out, " *** ERROR: Bus Transfer %s node not found (%s %s)\n",
                        shown_text(bt->name), shown_text(bt->lc1), shown_text(bt->lc2));
    }
  }

  std::vector<CONNECTION*> cables;
  NameIndex cable_names;
  for (CONNECTION* c = context->connections; c; c = c->next) {
    cable_names.add(c->name, static_cast<int>(cables.size()));
    cables.push_back(c);
  }
  // A requested cable is the first cable of its name.
  for (CALC_CONNECTION* cc = context->calc_connections; cc; cc = cc->next) {
    const std::vector<int>* positions = cable_names.find(cc->name);
    if (!cc->c && positions) cc->c = cables[positions->front()];
    if (!cc->c) {
      exit_with_message(Stream::out, " *** ERROR: Cable (%s) does not exist in calc_connection",
                        shown_text(cc->name));
    }
  }
}

namespace {

// The messages of one of the three arrays of the base network.
struct ArraySite {
  const char* array_oom;
  const char* entry_oom;
  const char* count_error;  // takes the count of the run context
};

// A slot array whose first slots hold one new entry per record of `list`, in
// list order; `point_at` sets the entry's record. A list longer or shorter than `count` ends
// the run with the site's count error.
template <typename Entry, typename Record, typename PointAt>
Entry** build_entries(Record* list, int count, const ArraySite& site, PointAt point_at) {
  Entry** array = alloc_slot_array<Entry>(count, site.array_oom);
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
