#include "network/calc_connection.h"

#include <cstring>

#include "model/messages.h"

namespace zevo {
namespace {

// Names match only as exact, case-sensitive texts; a missing name matches nothing.
bool same_name(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }

// Points *n1 and *n2 at the nodes named lc1 and lc2. Walks the node list from its head and
// stops once both are set; a later node of the same name replaces an earlier match until then.
// Returns false when either end is still unresolved.
bool resolve_ends(NODE* nodes, const char* lc1, NODE** n1, const char* lc2, NODE** n2) {
  for (NODE* node = nodes; node && !(*n1 && *n2); node = node->next) {
    if (same_name(lc1, node->name)) *n1 = node;
    if (same_name(lc2, node->name)) *n2 = node;
  }
  return *n1 && *n2;
}

}  // namespace

void calc_connection(ZEVO_CONTEXT* context) {
  for (CONNECTION* c = context->connections; c; c = c->next) {
    if (!resolve_ends(context->nodes, c->lc1, &c->n1, c->lc2, &c->n2)) {
      exit_with_message(Stream::out, " *** ERROR: Connection %s node not found (%s %s)\n",
                        shown_text(c->name), shown_text(c->lc1), shown_text(c->lc2));
    }
  }
  for (BUS_TRANSFER* bt = context->bustransfers; bt; bt = bt->next) {
    if (!resolve_ends(context->nodes, bt->lc1, &bt->n1, bt->lc2, &bt->n2)) {
      exit_with_message(Stream::out, " *** ERROR: Bus Transfer %s node not found (%s %s)\n",
                        shown_text(bt->name), shown_text(bt->lc1), shown_text(bt->lc2));
    }
  }
  for (CALC_CONNECTION* cc = context->calc_connections; cc; cc = cc->next) {
    for (CONNECTION* c = context->connections; c && !cc->c; c = c->next) {
      if (same_name(cc->name, c->name)) cc->c = c;
    }
    if (!cc->c) {
      exit_with_message(Stream::out, " *** ERROR: Cable (%s) does not exist in calc_connection",
                        shown_text(cc->name));
    }
  }
}

}  // namespace zevo
