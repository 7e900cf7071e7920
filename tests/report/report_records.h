// Hand-built run contexts for the report tests: input records from the network builder, a
// base network filled from the lists with sub-network numbers given by the test, and streams
// that write into memory.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "model/record_store.h"
#include "model/run_context.h"
#include "network/slot_array.h"
#include "support/network_builder.h"

namespace zevo::testing {

inline const char kOom[] = " report test: out of memory\n";

inline ZEVO_CONTEXT* new_context() {
  auto* context = alloc_record<ZEVO_CONTEXT>(kOom);
  zevo_init(context);
  return context;
}

// A requested cable with a computed result: value and the two side sub-network numbers.
inline CALC_CONNECTION* add_result(ZEVO_CONTEXT* context, CONNECTION* cable, double val,
                                   int sub_network1, int sub_network2) {
  CALC_CONNECTION* requested = add_calc_connection(context, cable->name);
  requested->c = cable;
  requested->results->val = val;
  requested->results->sub_network1 = sub_network1;
  requested->results->sub_network2 = sub_network2;
  return requested;
}

// A slot array with the entry `make(record, i)` for the i-th record of `list`.
template <typename Entry, typename Record, typename Make>
Entry** entries_of(Record* list, int count, Make make) {
  Entry** array = alloc_slot_array<Entry>(count, kOom);
  for (int i = 0; list; list = list->next, ++i) {
    array[i] = alloc_record<Entry>(kOom);
    *array[i] = make(list, i);
  }
  return array;
}

// Fills the base network from the context's lists. The vectors give the sub-network numbers
// in list order; `loops[s - 1]` is the loop count of sub-network s.
inline void fill_network(ZEVO_CONTEXT* context, const std::vector<int>& node_subs,
                         const std::vector<int>& cable_subs,
                         const std::vector<std::pair<int, int>>& transfer_subs,
                         const std::vector<int>& loops) {
  NETWORK* nw = context->nw;
  nw->nbr_network_nodes = context->nbr_nodes;
  nw->nn = entries_of<NETWORK_NODE>(context->nodes, context->nbr_nodes, [&](NODE* n, int i) {
    return NETWORK_NODE{n, node_subs.at(i)};
  });
  nw->nbr_connection = context->nbr_connections;
  nw->nc = entries_of<NETWORK_CONNECTION>(context->connections, context->nbr_connections,
                                          [&](CONNECTION* c, int i) {
                                            return NETWORK_CONNECTION{c, cable_subs.at(i)};
                                          });
  nw->nbr_bustransfers = context->nbr_bustransfers;
  nw->nbt = entries_of<NETWORK_BUS_TRANSFER>(
      context->bustransfers, context->nbr_bustransfers, [&](BUS_TRANSFER* bt, int i) {
        return NETWORK_BUS_TRANSFER{bt, transfer_subs.at(i).first, transfer_subs.at(i).second};
      });
  nw->nbr_sub_networks = static_cast<int>(loops.size());
  nw->nbr_loops = alloc_array<int>(loops.size() + 1, kOom);
  for (std::size_t s = 0; s < loops.size(); ++s) nw->nbr_loops[s + 1] = loops[s];
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

// The report header as it reads with its time line masked.
inline const char kMaskedHeader[] =
    "zevo.exe , VERSION , \"2.0\" , \"(Apr 12 2025)\"\n"
    "Cable flow-limit calculator for electrical distribution networks\n"
    "<time>\n"
    "\n\n\n";

}  // namespace zevo::testing
