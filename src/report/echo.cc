#include "report/echo.h"

#include "model/messages.h"
#include "report/quoted_text.h"
#include "report/report_header.h"

namespace zevo {
namespace {

// ---- The input ----

void print_conditions(FILE* stream, const CONDITION* conditions) {
  for (const CONDITION* condition = conditions; condition; condition = condition->next) {
    std::fprintf(stream, "name , %s , generation , %8.1f , load , %8.1f\n",
                 quoted(condition->name).c_str(), condition->generation, condition->load);
  }
}

void print_file_names(FILE* stream, const ZEVO_CONTEXT& context) {
  std::fprintf(stream, "xmlfile , %s\n", quoted(context.xmlfile).c_str());
  std::fprintf(stream, "outfile , %s\n", quoted(context.outfile).c_str());
}

// Every node is followed by an empty line, also one without conditions.
void print_nodes(FILE* stream, const ZEVO_CONTEXT& context) {
  std::fprintf(stream, "nbr_nodes , %d\n", context.nbr_nodes);
  for (const NODE* node = context.nodes; node; node = node->next) {
    std::fprintf(stream, "node , %s \n", quoted(node->name).c_str());
    print_conditions(stream, node->conditions);
    std::fprintf(stream, "\n");
  }
}

void print_connections(FILE* stream, const ZEVO_CONTEXT& context) {
  std::fprintf(stream, "nbr_connections , %d\n", context.nbr_connections);
  for (const CONNECTION* cable = context.connections; cable; cable = cable->next) {
    std::fprintf(stream, "name , %s , n1 , %s , n2 , %s\n", quoted(cable->name).c_str(),
                 quoted(cable->lc1).c_str(), quoted(cable->lc2).c_str());
  }
}

// Unlike a node, a bus transfer gets no empty line after its conditions.
void print_bus_transfers(FILE* stream, const ZEVO_CONTEXT& context) {
  std::fprintf(stream, "nbr_bustransfer , %d\n", context.nbr_bustransfers);
  for (const BUS_TRANSFER* transfer = context.bustransfers; transfer; transfer = transfer->next) {
    std::fprintf(stream, " bustransfer , %s \n", quoted(transfer->name).c_str());
    print_conditions(stream, transfer->conditions);
  }
}

void print_calc_conditions(FILE* stream, const ZEVO_CONTEXT& context) {
  std::fprintf(stream, "\ncalc_conditions\n");
  for (const CALC_CONDITION* condition = context.calc_conditions; condition;
       condition = condition->next) {
    std::fprintf(stream, " , %s\n", quoted(condition->name).c_str());
  }
}

// ---- The network ----

void print_sub_networks(FILE* stream, const NETWORK& network) {
  std::fprintf(stream, " nbr_sub_networks , %d \n", network.nbr_sub_networks);
  if (!network.nbr_loops) return;
  for (int s = 1; s <= network.nbr_sub_networks; ++s) {
    std::fprintf(stream, "nbr_loops , %d , %d \n", s, network.nbr_loops[s]);
  }
}

void print_network_nodes(FILE* stream, const NETWORK& network) {
  for (int i = 0; i < network.nbr_network_nodes; ++i) {
    const NETWORK_NODE* entry = network.nn[i];
    if (!entry) continue;
    std::fprintf(stream, " node , %s , sub_network , %d\n",
                 quoted(entry->n ? entry->n->name : nullptr).c_str(), entry->sub_network);
  }
}

void print_network_connections(FILE* stream, const NETWORK& network) {
  for (int i = 0; i < network.nbr_connection; ++i) {
    const NETWORK_CONNECTION* entry = network.nc[i];
    if (!entry) continue;
    const CONNECTION* cable = entry->c;
    std::fprintf(stream, " connection , %s , sub_network , %d , node1 , %s , node2 , %s \n",
                 quoted(cable ? cable->name : nullptr).c_str(), entry->sub_network,
                 quoted(cable ? cable->lc1 : nullptr).c_str(),
                 quoted(cable ? cable->lc2 : nullptr).c_str());
  }
}

void print_network_bus_transfers(FILE* stream, const NETWORK& network) {
  for (int i = 0; i < network.nbr_bustransfers; ++i) {
    const NETWORK_BUS_TRANSFER* entry = network.nbt[i];
    if (!entry) continue;
    const BUS_TRANSFER* transfer = entry->bt;
    std::fprintf(stream,
                 " bus_transfer , %s , sub_network1 , %d ,  sub_network2 , %d , node1 , %s , "
                 "node2 , %s \n",
                 quoted(transfer ? transfer->name : nullptr).c_str(), entry->sub_network1,
                 entry->sub_network2, quoted(transfer ? transfer->lc1 : nullptr).c_str(),
                 quoted(transfer ? transfer->lc2 : nullptr).c_str());
  }
}

// The lines from "\nnetwork\n" on. Arrays are walked by index from 0; a null slot (only a
// network copy has one) is skipped, and a network without loop counts prints none.
void print_network_echo(FILE* stream, const NETWORK& network) {
  std::fprintf(stream, "\nnetwork\n");
  print_sub_networks(stream, network);
  std::fprintf(stream, "nbr_connection , %d\n", network.nbr_connection);
  std::fprintf(stream, "nbr_network_nodes , %d\n", network.nbr_network_nodes);
  std::fprintf(stream, "nbr_bustransfers , %d\n", network.nbr_bustransfers);
  print_network_nodes(stream, network);
  print_network_connections(stream, network);
  print_network_bus_transfers(stream, network);
}

}  // namespace

int print_zevo_input(FILE* stream, const ZEVO_CONTEXT* context) {
  if (!context) exit_with_message(Stream::out, " *** ERROR: NULL Pointer in print_zevo_input\n");
  if (!stream) stream = out_stream();

  print_report_header(stream);
  print_file_names(stream, *context);
  std::fprintf(stream, "debug , %d\n", context->debug);
  print_nodes(stream, *context);
  print_connections(stream, *context);
  print_bus_transfers(stream, *context);
  print_calc_conditions(stream, *context);
  // zevo_init always gives the context a network; without one the echo shows an empty one.
  static const NETWORK kEmptyNetwork{};
  print_network_echo(stream, context->nw ? *context->nw : kEmptyNetwork);
  return std::fflush(stream);
}

}  // namespace zevo
