#include "support/network_builder.h"

#include <cstring>

#include "model/record_store.h"
#include "network/base_network.h"

namespace zevo::testing {
namespace {

const char* const kOom = " test builder: out of memory\n";

template <typename Record>
Record* prepend(Record*& list, int* count = nullptr) {
  auto* record = alloc_record<Record>(kOom);
  record->next = list;
  list = record;
  if (count) ++*count;
  return record;
}

const char* stored(const char* name) {
  if (!name) return nullptr;
  char* copy = alloc_array<char>(std::strlen(name) + 1, kOom);
  return std::strcpy(copy, name);
}

template <typename Record>
Record* add_link(Record*& list, int& count, const char* name, const char* lc1, const char* lc2) {
  Record* record = prepend(list, &count);
  record->name = stored(name);
  record->lc1 = stored(lc1);
  record->lc2 = stored(lc2);
  return record;
}

CONDITION* add_to(CONDITION*& list, const char* name, double generation, double load) {
  CONDITION* condition = prepend(list);
  condition->name = stored(name);
  condition->generation = generation;
  condition->load = load;
  return condition;
}

}  // namespace

NODE* add_node(ZEVO_CONTEXT* context, const char* name) {
  NODE* node = prepend(context->nodes, &context->nbr_nodes);
  node->name = stored(name);
  return node;
}

CONNECTION* add_connection(ZEVO_CONTEXT* context, const char* name, const char* lc1,
                           const char* lc2) {
  return add_link(context->connections, context->nbr_connections, name, lc1, lc2);
}

BUS_TRANSFER* add_bus_transfer(ZEVO_CONTEXT* context, const char* name, const char* lc1,
                               const char* lc2) {
  return add_link(context->bustransfers, context->nbr_bustransfers, name, lc1, lc2);
}

CALC_CONDITION* add_calc_condition(ZEVO_CONTEXT* context, const char* name) {
  CALC_CONDITION* cc = prepend(context->calc_conditions, &context->nbr_calc_conditions);
  cc->name = stored(name);
  return cc;
}

CALC_CONNECTION* add_calc_connection(ZEVO_CONTEXT* context, const char* name) {
  CALC_CONNECTION* cc = prepend(context->calc_connections, &context->nbr_calc_connections);
  cc->name = stored(name);
  cc->results = alloc_record<ZEVO_RESULT>(kOom);
  return cc;
}

CONDITION* add_condition(NODE* node, const char* name, double generation, double load) {
  return add_to(node->conditions, name, generation, load);
}

CONDITION* add_condition(BUS_TRANSFER* bt, const char* name, double generation, double load) {
  return add_to(bt->conditions, name, generation, load);
}

void build_network(ZEVO_CONTEXT* context) {
  calc_connection(context);
  create_base_network(context);
}

CONNECTION* find_connection(const ZEVO_CONTEXT* context, const char* name) {
  for (CONNECTION* c = context->connections; c; c = c->next) {
    if (c->name && name && std::strcmp(c->name, name) == 0) return c;
  }
  return nullptr;
}

}  // namespace zevo::testing
