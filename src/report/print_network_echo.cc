#include "report/print_network_echo.h"

#include "report/quoted_text.h"

namespace zevo {
namespace {

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
    const QuotedText name = quoted(entry->n ? entry->n->name : nullptr);
    std::fprintf(stream, " node , %s%s%s , sub_network , %d\n", name.open, name.text, name.close,
                 entry->sub_network);
  }
}

void print_network_connections(FILE* stream, const NETWORK& network) {
  for (int i = 0; i < network.nbr_connection; ++i) {
    const NETWORK_CONNECTION* entry = network.nc[i];
    if (!entry) continue;
    const CONNECTION* cable = entry->c;
    const QuotedText name = quoted(cable ? cable->name : nullptr);
    const QuotedText lc1 = quoted(cable ? cable->lc1 : nullptr);
    const QuotedText lc2 = quoted(cable ? cable->lc2 : nullptr);
    std::fprintf(stream,
                 " connection , %s%s%s , sub_network , %d , node1 , %s%s%s , node2 , %s%s%s \n",
                 name.open, name.text, name.close, entry->sub_network, lc1.open, lc1.text,
                 lc1.close, lc2.open, lc2.text, lc2.close);
  }
}

void print_network_bus_transfers(FILE* stream, const NETWORK& network) {
  for (int i = 0; i < network.nbr_bustransfers; ++i) {
    const NETWORK_BUS_TRANSFER* entry = network.nbt[i];
    if (!entry) continue;
    const BUS_TRANSFER* transfer = entry->bt;
    const QuotedText name = quoted(transfer ? transfer->name : nullptr);
    const QuotedText lc1 = quoted(transfer ? transfer->lc1 : nullptr);
    const QuotedText lc2 = quoted(transfer ? transfer->lc2 : nullptr);
    std::fprintf(stream,
                 " bus_transfer , %s%s%s , sub_network1 , %d ,  sub_network2 , %d , node1 , "
                 "%s%s%s , node2 , %s%s%s \n",
                 name.open, name.text, name.close, entry->sub_network1, entry->sub_network2,
                 lc1.open, lc1.text, lc1.close, lc2.open, lc2.text, lc2.close);
  }
}

}  // namespace

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

}  // namespace zevo
