#include "search_network.h"

#include "calc/calc_zevo_cable.h"
#include "model/record_store.h"
#include "support/network_builder.h"

namespace zevo::testing {

void SearchNetwork::SetUp() { zevo_init(&context_); }
void SearchNetwork::TearDown() { release_all_records(); }

void SearchNetwork::condition(const char* name) { add_calc_condition(&context_, name); }

NODE* SearchNetwork::lc(const char* name, double generation, double load) {
  NODE* node = add_node(&context_, name);
  add_condition(node, "normal", generation, load);
  return node;
}

CONNECTION* SearchNetwork::cable(const char* name, const char* lc1, const char* lc2) {
  return add_connection(&context_, name, lc1, lc2);
}

CALC_CONNECTION* SearchNetwork::request(const char* name) {
  return add_calc_connection(&context_, name);
}

void SearchNetwork::build() { build_network(&context_); }

void SearchNetwork::compute_all() {
  build();
  for (CALC_CONNECTION* cc = context_.calc_connections; cc; cc = cc->next) {
    calc_zevo_cable(&context_, cc);
  }
}

}  // namespace zevo::testing
