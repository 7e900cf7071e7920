#include "network/calc_connection.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "model/messages.h"
#include "model/name_index.h"

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

}  // namespace zevo
