#include <gtest/gtest.h>

#include <string>

#include "model/messages.h"
#include "model/record_store.h"
#include "network/calc_connection.h"
#include "support/captured_messages.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

using testing::add_bus_transfer;
using testing::add_connection;
using testing::add_node;
using testing::CapturedMessages;
using testing::find_connection;
using testing::find_node;

// Lcs N1, N2, N3; cables C1 (N1-N2) and C2, C3 (both N2-N3); bus transfers B1 (N1-N3) and
// B2 (N3-N3); each kind given in that order, as a document would.
class CreateBaseNetwork : public ::testing::Test {
 protected:
  void SetUp() override {
    zevo_init(&context);
    add_node(&context, "N1");
    add_node(&context, "N2");
    add_node(&context, "N3");
    add_connection(&context, "C1", "N1", "N2");
    add_connection(&context, "C2", "N2", "N3");
    add_connection(&context, "C3", "N2", "N3");
    add_bus_transfer(&context, "B1", "N1", "N3");
    add_bus_transfer(&context, "B2", "N3", "N3");
    calc_connection(&context);
  }

  // Builds with allocation number `n` failing and returns what standard error received.
  std::string error_when_allocation_fails(long n) {
    CapturedMessages messages;
    fail_allocation_after(n);
    EXPECT_THROW(create_base_network(&context), RunEnded);
    fail_allocation_after(0);
    EXPECT_EQ(messages.out(), "");
    return messages.err();
  }

  std::string error_of_build() {
    CapturedMessages messages;
    EXPECT_THROW(create_base_network(&context), RunEnded);
    EXPECT_EQ(messages.out(), "");
    return messages.err();
  }

  ZEVO_CONTEXT context;
};

TEST_F(CreateBaseNetwork, ArraysHoldTheListsInReverseDocumentOrder) {
  create_base_network(&context);
  NETWORK* nw = context.nw;
  ASSERT_EQ(nw->nbr_connection, 3);
  EXPECT_STREQ(nw->nc[0]->c->name, "C3");
  EXPECT_STREQ(nw->nc[1]->c->name, "C2");
  EXPECT_STREQ(nw->nc[2]->c->name, "C1");
  EXPECT_EQ(nw->nc[3], nullptr);
  ASSERT_EQ(nw->nbr_network_nodes, 3);
  EXPECT_STREQ(nw->nn[0]->n->name, "N3");
  EXPECT_STREQ(nw->nn[1]->n->name, "N2");
  EXPECT_STREQ(nw->nn[2]->n->name, "N1");
  EXPECT_EQ(nw->nn[3], nullptr);
  ASSERT_EQ(nw->nbr_bustransfers, 2);
  EXPECT_STREQ(nw->nbt[0]->bt->name, "B2");
  EXPECT_STREQ(nw->nbt[1]->bt->name, "B1");
  EXPECT_EQ(nw->nbt[2], nullptr);
  EXPECT_EQ(nw->nc[2]->c, find_connection(&context, "C1"));
  EXPECT_EQ(nw->nn[2]->n, find_node(&context, "N1"));
}

TEST_F(CreateBaseNetwork, EndsByNumberingTheSubNetworks) {
  create_base_network(&context);
  NETWORK* nw = context.nw;
  // One group: C3 and C2 in parallel between N2 and N3, C1 on to N1. 3 - 3 + 1 = 1 loop.
  ASSERT_EQ(nw->nbr_sub_networks, 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(nw->nc[i]->sub_network, 1);
    EXPECT_EQ(nw->nn[i]->sub_network, 1);
  }
  EXPECT_EQ(nw->nbr_loops[1], 1);
  EXPECT_EQ(nw->nbt[0]->sub_network1, 1);
  EXPECT_EQ(nw->nbt[0]->sub_network2, 1);
  EXPECT_EQ(nw->nbt[1]->sub_network1, 1);
  EXPECT_EQ(nw->nbt[1]->sub_network2, 1);
}

TEST(CreateBaseNetworkWithoutBusTransfers, HasAnNbtOfOneNullSlot) {
  ZEVO_CONTEXT context;
  zevo_init(&context);
  add_node(&context, "A");
  add_node(&context, "B");
  add_connection(&context, "AB", "A", "B");
  testing::build_network(&context);
  EXPECT_EQ(context.nw->nbr_bustransfers, 0);
  ASSERT_NE(context.nw->nbt, nullptr);
  EXPECT_EQ(context.nw->nbt[0], nullptr);
}

TEST(CreateBaseNetworkOfNothing, GivesOneEmptySlotPerArrayAndNoSubNetwork) {
  ZEVO_CONTEXT context;
  zevo_init(&context);
  create_base_network(&context);
  NETWORK* nw = context.nw;
  ASSERT_NE(nw->nc, nullptr);
  ASSERT_NE(nw->nn, nullptr);
  ASSERT_NE(nw->nbt, nullptr);
  EXPECT_EQ(nw->nc[0], nullptr);
  EXPECT_EQ(nw->nn[0], nullptr);
  EXPECT_EQ(nw->nbt[0], nullptr);
  EXPECT_EQ(nw->nbr_sub_networks, 0);
  ASSERT_NE(nw->nbr_loops, nullptr);
}

TEST_F(CreateBaseNetwork, CountAboveOrBelowTheListLengthStopsTheRun) {
  context.nbr_connections = 4;
  EXPECT_EQ(error_of_build(),
            " *** ERROR: nbr_connections (4) does not equal number of connections\n");
  context.nbr_connections = 2;
  EXPECT_EQ(error_of_build(),
            " *** ERROR: nbr_connections (2) does not equal number of connections\n");
  context.nbr_connections = 3;
  context.nbr_nodes = 5;
  EXPECT_EQ(error_of_build(), " *** ERROR: nbr_nodes (5) does not equal number of nodes\n");
  context.nbr_nodes = 0;
  EXPECT_EQ(error_of_build(), " *** ERROR: nbr_nodes (0) does not equal number of nodes\n");
  context.nbr_nodes = 3;
  context.nbr_bustransfers = 3;
  EXPECT_EQ(error_of_build(),
            " *** ERROR: nbr_bustransfers (3) does not equal number of bustransfers\n");
  context.nbr_bustransfers = 1;
  EXPECT_EQ(error_of_build(),
            " *** ERROR: nbr_bustransfers (1) does not equal number of bustransfers\n");
}

TEST(CreateBaseNetworkOfNull, StopsTheRun) {
  CapturedMessages messages;
  EXPECT_THROW(create_base_network(nullptr), RunEnded);
  EXPECT_EQ(messages.err(), " *** ERROR: Null pointer in create_base_network\n");
}

// Allocation order: nc, 3 cable entries, nn, 3 node entries, nbt, 2 bus transfer entries,
// then the loop counts of identify_sub_networks.
TEST_F(CreateBaseNetwork, ExhaustedMemoryNamesTheAllocationSite) {
  EXPECT_EQ(error_when_allocation_fails(1),
            " *** ERROR: Out of Memory in create_base_network() b\n");
  EXPECT_EQ(error_when_allocation_fails(2),
            " *** ERROR: Out of Memory in create_base_network() a\n");
  EXPECT_EQ(error_when_allocation_fails(4),
            " *** ERROR: Out of Memory in create_base_network() a\n");
  EXPECT_EQ(error_when_allocation_fails(5),
            " *** ERROR: Out of Memory in create_base_network() c\n");
  EXPECT_EQ(error_when_allocation_fails(6),
            " *** ERROR: Out of Memory in create_base_network() d\n");
  EXPECT_EQ(error_when_allocation_fails(9),
            " *** ERROR: Out of Memory in create_base_network() e\n");
  EXPECT_EQ(error_when_allocation_fails(11),
            " *** ERROR: Out of Memory in create_base_network() f\n");
  EXPECT_EQ(error_when_allocation_fails(12),
            " *** ERROR: Out of Memory in identify_sub_networks() a\n");
}

}  // namespace
}  // namespace zevo
