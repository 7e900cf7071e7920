// Hand-built run contexts for the report tests: records come from the record store, lists are
// built by putting each new record at the head (as the reader does), and the base network is
// filled from the lists with sub-network numbers given by the test.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "model/record_store.h"
#include "model/run_context.h"

namespace zevo::testing {

inline ZEVO_CONTEXT* new_context() {
  auto* context = alloc_record<ZEVO_CONTEXT>("oom context\n");
  context->nw = alloc_record<NETWORK>("oom network\n");
  return context;
}

inline NODE* add_node(ZEVO_CONTEXT* context, const char* name) {
  auto* node = alloc_record<NODE>("oom node\n");
  node->name = name;
  node->next = context->nodes;
  context->nodes = node;
  ++context->nbr_nodes;
  return node;
}

inline void add_condition(CONDITION** list, const char* name, double generation, double load) {
  auto* condition = alloc_record<CONDITION>("oom condition\n");
  condition->name = name;
  condition->generation = generation;
  condition->load = load;
  condition->next = *list;
  *list = condition;
}

inline CONNECTION* add_cable(ZEVO_CONTEXT* context, const char* name, const char* lc1,
                             const char* lc2) {
  auto* cable = alloc_record<CONNECTION>("oom cable\n");
  cable->name = name;
  cable->lc1 = lc1;
  cable->lc2 = lc2;
  cable->next = context->connections;
  context->connections = cable;
  ++context->nbr_connections;
  return cable;
}

inline BUS_TRANSFER* add_bus_transfer(ZEVO_CONTEXT* context, const char* name, const char* lc1,
                                      const char* lc2) {
  auto* transfer = alloc_record<BUS_TRANSFER>("oom bus transfer\n");
  transfer->name = name;
  transfer->lc1 = lc1;
  transfer->lc2 = lc2;
  transfer->next = context->bustransfers;
  context->bustransfers = transfer;
  ++context->nbr_bustransfers;
  return transfer;
}

inline void add_calc_condition(ZEVO_CONTEXT* context, const char* name) {
  auto* condition = alloc_record<CALC_CONDITION>("oom calc condition\n");
  condition->name = name;
  condition->next = context->calc_conditions;
  context->calc_conditions = condition;
  ++context->nbr_calc_conditions;
}

// A requested cable with a computed result: value and the two side sub-network numbers.
inline CALC_CONNECTION* add_calc_connection(ZEVO_CONTEXT* context, CONNECTION* cable, double val,
                                            int sub_network1, int sub_network2) {
  auto* requested = alloc_record<CALC_CONNECTION>("oom calc connection\n");
  requested->name = cable ? cable->name : nullptr;
  requested->c = cable;
  requested->results = alloc_record<ZEVO_RESULT>("oom result\n");
  requested->results->val = val;
  requested->results->sub_network1 = sub_network1;
  requested->results->sub_network2 = sub_network2;
  requested->next = context->calc_connections;
  context->calc_connections = requested;
  ++context->nbr_calc_connections;
  return requested;
}

// Fills the base network from the context's lists, one entry per record in list order. The
// vectors give the sub-network numbers in that order; `loops[s - 1]` is the loop count of
// sub-network s.
inline void fill_network(ZEVO_CONTEXT* context, const std::vector<int>& node_subs,
                         const std::vector<int>& cable_subs,
                         const std::vector<std::pair<int, int>>& transfer_subs,
                         const std::vector<int>& loops) {
  NETWORK* network = context->nw;
  network->nbr_network_nodes = context->nbr_nodes;
  network->nn = alloc_array<NETWORK_NODE*>(context->nbr_nodes + 1, "oom nn\n");
  int i = 0;
  for (NODE* node = context->nodes; node; node = node->next, ++i) {
    network->nn[i] = alloc_record<NETWORK_NODE>("oom network node\n");
    network->nn[i]->n = node;
    network->nn[i]->sub_network = node_subs.at(i);
  }
  network->nbr_connection = context->nbr_connections;
  network->nc = alloc_array<NETWORK_CONNECTION*>(context->nbr_connections + 1, "oom nc\n");
  i = 0;
  for (CONNECTION* cable = context->connections; cable; cable = cable->next, ++i) {
    network->nc[i] = alloc_record<NETWORK_CONNECTION>("oom network connection\n");
    network->nc[i]->c = cable;
    network->nc[i]->sub_network = cable_subs.at(i);
  }
  network->nbr_bustransfers = context->nbr_bustransfers;
  network->nbt = alloc_array<NETWORK_BUS_TRANSFER*>(context->nbr_bustransfers + 1, "oom nbt\n");
  i = 0;
  for (BUS_TRANSFER* transfer = context->bustransfers; transfer; transfer = transfer->next, ++i) {
    network->nbt[i] = alloc_record<NETWORK_BUS_TRANSFER>("oom network bus transfer\n");
    network->nbt[i]->bt = transfer;
    network->nbt[i]->sub_network1 = transfer_subs.at(i).first;
    network->nbt[i]->sub_network2 = transfer_subs.at(i).second;
  }
  network->nbr_sub_networks = static_cast<int>(loops.size());
  network->nbr_loops = alloc_array<int>(loops.size() + 1, "oom loops\n");
  for (std::size_t s = 0; s < loops.size(); ++s) network->nbr_loops[s + 1] = loops[s];
}

// A stream that writes into memory, read back whole with text().
class MemoryStream {
 public:
  MemoryStream() : file_(open_memstream(&text_, &size_)) {}
  ~MemoryStream() {
    std::fclose(file_);
    std::free(text_);
  }
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;
  FILE* file() { return file_; }
  std::string text() {
    std::fflush(file_);
    return std::string(text_, size_);
  }

 private:
  char* text_ = nullptr;
  std::size_t size_ = 0;
  FILE* file_;
};

// A stream whose every write fails, with a buffer large enough that the failure shows only
// when the report flushes it.
inline FILE* open_failing_stream() {
  cookie_io_functions_t io{};
  io.write = [](void*, const char*, std::size_t) -> ssize_t { return -1; };
  FILE* file = fopencookie(nullptr, "w", io);
  std::setvbuf(file, nullptr, _IOFBF, 1 << 16);
  return file;
}

// The report header as it reads with its time line masked.
inline const char kMaskedHeader[] =
    "zevo.exe , VERSION , \"2.0\" , \"(Apr 12 2025)\"\n"
    "Cable flow-limit calculator for electrical distribution networks\n"
    "<time>\n"
    "\n\n\n";

}  // namespace zevo::testing
