// The echo of the input and of the base network, compared whole with the time line masked.
#include "report/echo.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "model/messages.h"
#include "report_records.h"
#include "support/captured_messages.h"
#include "support/run_executable.h"

namespace zevo {
namespace {

using testing::add_bus_transfer;
using testing::add_calc_condition;
using testing::add_condition;
using testing::add_connection;
using testing::add_node;
using testing::fill_network;
using testing::kMaskedHeader;
using testing::mask_time_lines;
using testing::MemoryStream;
using testing::new_context;

std::string echo_of(const ZEVO_CONTEXT* context) {
  MemoryStream stream;
  EXPECT_EQ(print_zevo_input(stream.file(), context), 0);
  return mask_time_lines(stream.text());
}

// The ring of three switchboards of a typical run, as the reader and the network builder
// leave it: every list and array in reverse document order.
TEST(PrintZevoInput, RingOfThreeListsNodesAndCablesInStoredOrderInBothParts) {
  ZEVO_CONTEXT* context = new_context();
  context->xmlfile = "ring.xml";
  context->outfile = "ring.csv";
  add_condition(add_node(context, "SB1"), "normal", 1000, 0);
  add_condition(add_node(context, "SB2"), "normal", 0, 600);
  add_condition(add_node(context, "SB3"), "normal", 0, 300);
  add_connection(context, "C12", "SB1", "SB2");
  add_connection(context, "C23", "SB2", "SB3");
  add_connection(context, "C31", "SB3", "SB1");
  add_calc_condition(context, "normal");
  fill_network(context, {1, 1, 1}, {1, 1, 1}, {}, {1});

  EXPECT_EQ(echo_of(context),
            std::string(kMaskedHeader) +
                "xmlfile , \"ring.xml\"\n"
                "outfile , \"ring.csv\"\n"
                "debug , 0\n"
                "nbr_nodes , 3\n"
                "node , \"SB3\" \n"
                "name , \"normal\" , generation ,      0.0 , load ,    300.0\n"
                "\n"
                "node , \"SB2\" \n"
                "name , \"normal\" , generation ,      0.0 , load ,    600.0\n"
                "\n"
                "node , \"SB1\" \n"
                "name , \"normal\" , generation ,   1000.0 , load ,      0.0\n"
                "\n"
                "nbr_connections , 3\n"
                "name , \"C31\" , n1 , \"SB3\" , n2 , \"SB1\"\n"
                "name , \"C23\" , n1 , \"SB2\" , n2 , \"SB3\"\n"
                "name , \"C12\" , n1 , \"SB1\" , n2 , \"SB2\"\n"
                "nbr_bustransfer , 0\n"
                "\ncalc_conditions\n"
                " , \"normal\"\n"
                "\nnetwork\n"
                " nbr_sub_networks , 1 \n"
                "nbr_loops , 1 , 1 \n"
                "nbr_connection , 3\n"
                "nbr_network_nodes , 3\n"
                "nbr_bustransfers , 0\n"
                " node , \"SB3\" , sub_network , 1\n"
                " node , \"SB2\" , sub_network , 1\n"
                " node , \"SB1\" , sub_network , 1\n"
                " connection , \"C31\" , sub_network , 1 , node1 , \"SB3\" , node2 , \"SB1\" \n"
                " connection , \"C23\" , sub_network , 1 , node1 , \"SB2\" , node2 , \"SB3\" \n"
                " connection , \"C12\" , sub_network , 1 , node1 , \"SB1\" , node2 , \"SB2\" \n");
}

// Groups A-B and C-D, joined only by bus transfers: two sub-networks (the group of nc[0],
// C-D, is number 1). A node without conditions is followed directly by an empty line; BT2
// carries conditions and comes first in the list, so its conditions are followed directly by
// BT1's line.
TEST(PrintZevoInput, TwoSubNetworksAndBusTransfersWithTheirConditions) {
  ZEVO_CONTEXT* context = new_context();
  context->xmlfile = "two.xml";
  context->outfile = "two.csv";
  add_node(context, "A");
  add_node(context, "B");
  add_node(context, "C");
  add_node(context, "D");
  add_connection(context, "AB", "A", "B");
  add_connection(context, "CD", "C", "D");
  add_bus_transfer(context, "BT1", "B", "C");
  BUS_TRANSFER* bt2 = add_bus_transfer(context, "BT2", "A", "D");
  add_condition(bt2, "normal", 5, 7);
  add_condition(bt2, "peak", 10, 20);
  add_calc_condition(context, "normal");
  add_calc_condition(context, "peak");
  fill_network(context, {1, 1, 2, 2}, {1, 2}, {{2, 1}, {2, 1}}, {0, 0});

  EXPECT_EQ(echo_of(context),
            std::string(kMaskedHeader) +
                "xmlfile , \"two.xml\"\n"
                "outfile , \"two.csv\"\n"
                "debug , 0\n"
                "nbr_nodes , 4\n"
                "node , \"D\" \n\n"
                "node , \"C\" \n\n"
                "node , \"B\" \n\n"
                "node , \"A\" \n\n"
                "nbr_connections , 2\n"
                "name , \"CD\" , n1 , \"C\" , n2 , \"D\"\n"
                "name , \"AB\" , n1 , \"A\" , n2 , \"B\"\n"
                "nbr_bustransfer , 2\n"
                " bustransfer , \"BT2\" \n"
                "name , \"peak\" , generation ,     10.0 , load ,     20.0\n"
                "name , \"normal\" , generation ,      5.0 , load ,      7.0\n"
                " bustransfer , \"BT1\" \n"
                "\ncalc_conditions\n"
                " , \"peak\"\n"
                " , \"normal\"\n"
                "\nnetwork\n"
                " nbr_sub_networks , 2 \n"
                "nbr_loops , 1 , 0 \n"
                "nbr_loops , 2 , 0 \n"
                "nbr_connection , 2\n"
                "nbr_network_nodes , 4\n"
                "nbr_bustransfers , 2\n"
                " node , \"D\" , sub_network , 1\n"
                " node , \"C\" , sub_network , 1\n"
                " node , \"B\" , sub_network , 2\n"
                " node , \"A\" , sub_network , 2\n"
                " connection , \"CD\" , sub_network , 1 , node1 , \"C\" , node2 , \"D\" \n"
                " connection , \"AB\" , sub_network , 2 , node1 , \"A\" , node2 , \"B\" \n"
                " bus_transfer , \"BT2\" , sub_network1 , 2 ,  sub_network2 , 1 , node1 , \"A\" , "
                "node2 , \"D\" \n"
                " bus_transfer , \"BT1\" , sub_network1 , 2 ,  sub_network2 , 1 , node1 , \"B\" , "
                "node2 , \"C\" \n");
}

// A missing text prints as (NULL) without quotes, wherever it stands; an empty text keeps its
// quotes. Generation and load are padded to eight characters, and a wider figure is not cut.
TEST(PrintZevoInput, NullTextsPrintAsNullAndFiguresArePaddedToEightCharacters) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  ZEVO_CONTEXT* context = new_context();
  context->outfile = "";
  NODE* node = add_node(context, nullptr);
  add_condition(node, nullptr, 1, 2);
  add_condition(node, "c1", 5, 1234.56);
  add_condition(node, "c2", 0, std::numeric_limits<double>::quiet_NaN());
  add_condition(node, "c3", kInf, -kInf);
  add_condition(node, "c4", 123456789, 0.04);
  add_connection(context, nullptr, nullptr, "X");
  add_bus_transfer(context, nullptr, nullptr, nullptr);
  add_calc_condition(context, nullptr);
  fill_network(context, {1}, {1}, {{1, 1}}, {0});

  EXPECT_EQ(echo_of(context),
            std::string(kMaskedHeader) +
                "xmlfile , (NULL)\n"
                "outfile , \"\"\n"
                "debug , 0\n"
                "nbr_nodes , 1\n"
                "node , (NULL) \n"
                "name , \"c4\" , generation , 123456789.0 , load ,      0.0\n"
                "name , \"c3\" , generation ,      inf , load ,     -inf\n"
                "name , \"c2\" , generation ,      0.0 , load ,      nan\n"
                "name , \"c1\" , generation ,      5.0 , load ,   1234.6\n"
                "name , (NULL) , generation ,      1.0 , load ,      2.0\n"
                "\n"
                "nbr_connections , 1\n"
                "name , (NULL) , n1 , (NULL) , n2 , \"X\"\n"
                "nbr_bustransfer , 1\n"
                " bustransfer , (NULL) \n"
                "\ncalc_conditions\n"
                " , (NULL)\n"
                "\nnetwork\n"
                " nbr_sub_networks , 1 \n"
                "nbr_loops , 1 , 0 \n"
                "nbr_connection , 1\n"
                "nbr_network_nodes , 1\n"
                "nbr_bustransfers , 1\n"
                " node , (NULL) , sub_network , 1\n"
                " connection , (NULL) , sub_network , 1 , node1 , (NULL) , node2 , \"X\" \n"
                " bus_transfer , (NULL) , sub_network1 , 1 ,  sub_network2 , 1 , node1 , "
                "(NULL) , node2 , (NULL) \n");
}

// The echo has no trace of its own, whatever the debug flag says. Missing file names show as
// (NULL); an empty network has no nbr_loops line.
TEST(PrintZevoInput, NullStreamWritesTheEchoToTheConsoleWithoutTrace) {
  ZEVO_CONTEXT* context = new_context();
  context->debug = 2;
  testing::CapturedMessages messages;
  EXPECT_EQ(print_zevo_input(nullptr, context), 0);
  EXPECT_EQ(mask_time_lines(messages.out()), std::string(kMaskedHeader) +
                                                 "xmlfile , (NULL)\n"
                                                 "outfile , (NULL)\n"
                                                 "debug , 2\n"
                                                 "nbr_nodes , 0\n"
                                                 "nbr_connections , 0\n"
                                                 "nbr_bustransfer , 0\n"
                                                 "\ncalc_conditions\n"
                                                 "\nnetwork\n"
                                                 " nbr_sub_networks , 0 \n"
                                                 "nbr_connection , 0\n"
                                                 "nbr_network_nodes , 0\n"
                                                 "nbr_bustransfers , 0\n");
  EXPECT_EQ(messages.err(), "");
}

}  // namespace
}  // namespace zevo
