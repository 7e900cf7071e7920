#include "support/network_builder.h"

#include <cstring>

#include "model/record_store.h"
#include "network/calc_connection.h"

namespace zevo::testing {
namespace {

const char* const kOom = " test builder: out of memory\n";

template <typename Record>
Record* prepend(Record*& list, int& count) {
  auto* record = alloc_record<Record>(kOom);
  record->next = list;
  list = record;
  ++count;
  return record;
}

CONDITION* prepend_condition(CONDITION*& list, const Name& name, double generation, double load) {
  auto* condition = alloc_record<CONDITION>(kOom);
  condition->name = name.stored();
  condition->generation = generation;
  condition->load = load;
  condition->next = list;
  list = condition;
  return condition;
}

bool named(const char* record_name, const char* name) {
  return record_name && name && std::strcmp(record_name, name) == 0;
}

}  // namespace

const char* Name::stored() const {
  if (!given_) return nullptr;
  char* copy = alloc_array<char>(text_.size() + 1, kOom);
  std::memcpy(copy, text_.c_str(), text_.size() + 1);
  return copy;
}

NODE* add_node(ZEVO_CONTEXT* context, Name name) {
  NODE* node = prepend(context->nodes, context->nbr_nodes);
  node->name = name.stored();
  return node;
}

CONNECTION* add_connection(ZEVO_CONTEXT* context, Name name, Name lc1, Name lc2) {
  CONNECTION* c = prepend(context->connections, context->nbr_connections);
  c->name = name.stored();
  c->lc1 = lc1.stored();
  c->lc2 = lc2.stored();
  return c;
}

BUS_TRANSFER* add_bus_transfer(ZEVO_CONTEXT* context, Name name, Name lc1, Name lc2) {
  BUS_TRANSFER* bt = prepend(context->bustransfers, context->nbr_bustransfers);
  bt->name = name.stored();
  bt->lc1 = lc1.stored();
  bt->lc2 = lc2.stored();
  return bt;
}

CALC_CONDITION* add_calc_condition(ZEVO_CONTEXT* context, Name name) {
  CALC_CONDITION* cc = prepend(context->calc_conditions, context->nbr_calc_conditions);
  cc->name = name.stored();
  return cc;
}

CALC_CONNECTION* add_calc_connection(ZEVO_CONTEXT* context, Name name) {
  CALC_CONNECTION* cc = prepend(context->calc_connections, context->nbr_calc_connections);
  cc->name = name.stored();
  cc->results = alloc_record<ZEVO_RESULT>(kOom);
  return cc;
}

CONDITION* add_condition(NODE* node, Name name, double generation, double load) {
  return prepend_condition(node->conditions, name, generation, load);
}

CONDITION* add_condition(BUS_TRANSFER* bt, Name name, double generation, double load) {
  return prepend_condition(bt->conditions, name, generation, load);
}

void build_network(ZEVO_CONTEXT* context) {
  calc_connection(context);
  create_base_network(context);
}

NODE* find_node(const ZEVO_CONTEXT* context, const char* name) {
  for (NODE* n = context->nodes; n; n = n->next) {
    if (named(n->name, name)) return n;
  }
  return nullptr;
}

CONNECTION* find_connection(const ZEVO_CONTEXT* context, const char* name) {
  for (CONNECTION* c = context->connections; c; c = c->next) {
    if (named(c->name, name)) return c;
  }
  return nullptr;
}

int slot_of(const NETWORK* nw, const CONNECTION* c) {
  for (int i = 0; i < nw->nbr_connection; ++i) {
    if (nw->nc[i] && nw->nc[i]->c == c) return i;
  }
  return -1;
}

int slot_of(const NETWORK* nw, const NODE* n) {
  for (int i = 0; i < nw->nbr_network_nodes; ++i) {
    if (nw->nn[i] && nw->nn[i]->n == n) return i;
  }
  return -1;
}

}  // namespace zevo::testing
