#include "network/identify_sub_networks.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/messages.h"
#include "model/record_store.h"
#include "support/captured_messages.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

using testing::add_bus_transfer;
using testing::add_connection;
using testing::add_node;
using testing::find_connection;
using testing::find_node;
using testing::slot_of;

class IdentifySubNetworks : public ::testing::Test {
 protected:
  void SetUp() override { zevo_init(&context); }

  // Adds the lcs in document order.
  void nodes(std::vector<const char*> names) {
    for (const char* name : names) add_node(&context, name);
  }

  // The sub-network numbers of the named cable and lc.
  int cable(const char* name) {
    return nw()->nc[slot_of(nw(), find_connection(&context, name))]->sub_network;
  }
  int lc(const char* name) {
    return nw()->nn[slot_of(nw(), find_node(&context, name))]->sub_network;
  }

  void remove_cable(const char* name) {
    nw()->nc[slot_of(nw(), find_connection(&context, name))] = nullptr;
  }

  NETWORK* nw() { return context.nw; }
  ZEVO_CONTEXT context;
};

TEST_F(IdentifySubNetworks, RingOfThreeIsOneSubNetworkWithOneLoop) {
  nodes({"P", "Q", "R"});
  add_connection(&context, "PQ", "P", "Q");
  add_connection(&context, "QR", "Q", "R");
  add_connection(&context, "RP", "R", "P");
  testing::build_network(&context);
  EXPECT_EQ(nw()->nbr_sub_networks, 1);
  EXPECT_EQ(nw()->nbr_loops[1], 1);
  for (const char* name : {"PQ", "QR", "RP"}) EXPECT_EQ(cable(name), 1) << name;
  for (const char* name : {"P", "Q", "R"}) EXPECT_EQ(lc(name), 1) << name;
}

TEST_F(IdentifySubNetworks, ParallelPairIsOneSubNetworkWithOneLoop) {
  nodes({"P", "Q"});
  add_connection(&context, "A", "P", "Q");
  add_connection(&context, "B", "Q", "P");
  testing::build_network(&context);
  EXPECT_EQ(nw()->nbr_sub_networks, 1);
  EXPECT_EQ(nw()->nbr_loops[1], 1);
  EXPECT_EQ(cable("A"), 1);
  EXPECT_EQ(cable("B"), 1);
}

TEST_F(IdentifySubNetworks, RadialFeederSplitsInTwoWhenItsMiddleCableIsRemoved) {
  nodes({"P", "Q", "R", "S"});
  add_connection(&context, "PQ", "P", "Q");
  add_connection(&context, "QR", "Q", "R");
  add_connection(&context, "RS", "R", "S");  // nc: RS, QR, PQ
  testing::build_network(&context);
  EXPECT_EQ(nw()->nbr_sub_networks, 1);
  EXPECT_EQ(nw()->nbr_loops[1], 0);

  remove_cable("QR");
  identify_sub_networks(nw());
  // RS holds slot 0, so R and S are sub-network 1; PQ in slot 2 makes P and Q number 2.
  ASSERT_EQ(nw()->nbr_sub_networks, 2);
  EXPECT_EQ(cable("RS"), 1);
  EXPECT_EQ(cable("PQ"), 2);
  EXPECT_EQ(lc("R"), 1);
  EXPECT_EQ(lc("S"), 1);
  EXPECT_EQ(lc("P"), 2);
  EXPECT_EQ(lc("Q"), 2);
  EXPECT_EQ(nw()->nbr_loops[1], 0);
  EXPECT_EQ(nw()->nbr_loops[2], 0);
  EXPECT_EQ(nw()->nbr_connection, 3);
}

TEST_F(IdentifySubNetworks, GroupsJoinedOnlyByABusTransferStayApart) {
  nodes({"A1", "A2", "B1", "B2", "B3"});
  add_connection(&context, "A12", "A1", "A2");
  add_connection(&context, "A21", "A2", "A1");
  add_connection(&context, "B12", "B1", "B2");
  add_connection(&context, "B23", "B2", "B3");  // nc: B23, B12, A21, A12
  BUS_TRANSFER* bt = add_bus_transfer(&context, "T", "A2", "B3");
  testing::build_network(&context);
  ASSERT_EQ(nw()->nbr_sub_networks, 2);
  EXPECT_EQ(cable("B23"), 1);
  EXPECT_EQ(cable("A12"), 2);
  EXPECT_EQ(nw()->nbr_loops[1], 0);  // B: 2 cables, 3 lcs
  EXPECT_EQ(nw()->nbr_loops[2], 1);  // A: parallel pair
  ASSERT_EQ(nw()->nbt[0]->bt, bt);
  EXPECT_EQ(nw()->nbt[0]->sub_network1, 2);
  EXPECT_EQ(nw()->nbt[0]->sub_network2, 1);
}

TEST_F(IdentifySubNetworks, LoneLoadCentresComeAfterEveryGroupInNnOrder) {
  nodes({"L1", "P", "L2", "Q"});  // nn: Q, L2, P, L1
  add_connection(&context, "PQ", "P", "Q");
  add_bus_transfer(&context, "T", "L1", "L1");
  testing::build_network(&context);
  ASSERT_EQ(nw()->nbr_sub_networks, 3);
  EXPECT_EQ(lc("P"), 1);
  EXPECT_EQ(lc("Q"), 1);
  EXPECT_EQ(lc("L2"), 2);
  EXPECT_EQ(lc("L1"), 3);
  EXPECT_EQ(nw()->nbr_loops[1], 0);
  EXPECT_EQ(nw()->nbr_loops[2], 0);
  EXPECT_EQ(nw()->nbr_loops[3], 0);
  EXPECT_EQ(nw()->nbt[0]->sub_network1, 3);  // both ends on the same lc: the number twice
  EXPECT_EQ(nw()->nbt[0]->sub_network2, 3);
}

TEST_F(IdentifySubNetworks, WithEveryCableRemovedEachLcIsASubNetworkOfItsOwn) {
  nodes({"P", "Q", "R"});
  add_connection(&context, "PQ", "P", "Q");
  add_connection(&context, "QR", "Q", "R");
  testing::build_network(&context);
  nw()->nc[0] = nullptr;
  nw()->nc[1] = nullptr;
  identify_sub_networks(nw());
  ASSERT_EQ(nw()->nbr_sub_networks, 3);
  EXPECT_EQ(nw()->nn[0]->sub_network, 1);  // R
  EXPECT_EQ(nw()->nn[1]->sub_network, 2);  // Q
  EXPECT_EQ(nw()->nn[2]->sub_network, 3);  // P
  for (int s = 1; s <= 3; ++s) EXPECT_EQ(nw()->nbr_loops[s], 0);
}

TEST_F(IdentifySubNetworks, RunningTwiceGivesTheSameResultAndReleasesTheFirstCounts) {
  nodes({"P", "Q", "R", "S"});
  add_connection(&context, "PQ", "P", "Q");
  add_connection(&context, "QP", "Q", "P");
  add_connection(&context, "RR", "R", "R");
  add_bus_transfer(&context, "T", "P", "R");
  testing::build_network(&context);
  // Groups: RR (slot 0) is 1 with loop 1 - 1 + 1 = 1; PQ/QP is 2 with 1 loop; S is 3.
  const std::vector<int> expected_loops = {1, 1, 1, 0};
  ASSERT_EQ(nw()->nbr_sub_networks, 3);
  for (int s = 1; s <= 3; ++s) EXPECT_EQ(nw()->nbr_loops[s], expected_loops[s]);
  EXPECT_EQ(nw()->nbt[0]->sub_network1, 2);
  EXPECT_EQ(nw()->nbt[0]->sub_network2, 1);

  const std::size_t held = nbr_records_held();
  nw()->nc[1]->sub_network = 7;  // stale numbers are reset, not trusted
  nw()->nbt[0]->sub_network1 = 9;
  identify_sub_networks(nw());
  EXPECT_EQ(nbr_records_held(), held);  // one array released, one allocated
  ASSERT_EQ(nw()->nbr_sub_networks, 3);
  for (int s = 1; s <= 3; ++s) EXPECT_EQ(nw()->nbr_loops[s], expected_loops[s]);
  EXPECT_EQ(cable("RR"), 1);
  EXPECT_EQ(cable("QP"), 2);
  EXPECT_EQ(cable("PQ"), 2);
  EXPECT_EQ(lc("S"), 3);
  EXPECT_EQ(nw()->nbt[0]->sub_network1, 2);
  EXPECT_EQ(nw()->nbt[0]->sub_network2, 1);
}

TEST_F(IdentifySubNetworks, NullSlotsOfNnAndNbtAreSkipped) {
  nodes({"P", "Q", "R"});
  add_connection(&context, "PQ", "P", "Q");
  add_bus_transfer(&context, "T1", "P", "Q");
  add_bus_transfer(&context, "T2", "Q", "R");  // nbt: T2, T1
  testing::build_network(&context);
  nw()->nn[2] = nullptr;  // P is no longer an lc of the network
  nw()->nbt[1] = nullptr;
  identify_sub_networks(nw());
  ASSERT_EQ(nw()->nbr_sub_networks, 2);  // PQ, then R alone
  EXPECT_EQ(lc("Q"), 1);
  EXPECT_EQ(lc("R"), 2);
  EXPECT_EQ(nw()->nbr_loops[1], 1);  // one cable, and only Q counted among its lcs
  EXPECT_EQ(nw()->nbt[0]->sub_network1, 1);
  EXPECT_EQ(nw()->nbt[0]->sub_network2, 2);
}

TEST_F(IdentifySubNetworks, BusTransferToAnLcOutsideNnKeepsZeroForThatEnd) {
  nodes({"P", "Q"});
  add_connection(&context, "PQ", "P", "Q");
  add_bus_transfer(&context, "T", "P", "Q");
  testing::build_network(&context);
  nw()->nn[0] = nullptr;  // Q
  identify_sub_networks(nw());
  EXPECT_EQ(nw()->nbt[0]->sub_network1, 1);
  EXPECT_EQ(nw()->nbt[0]->sub_network2, 0);
}

TEST_F(IdentifySubNetworks, OutOfMemoryForTheLoopCounts) {
  nodes({"P"});
  testing::build_network(&context);
  testing::CapturedMessages messages;
  fail_allocation_after(1);
  EXPECT_THROW(identify_sub_networks(nw()), RunEnded);
  fail_allocation_after(0);
  EXPECT_EQ(messages.err(), " *** ERROR: Out of Memory in identify_sub_networks() a\n");
  EXPECT_EQ(messages.out(), "");
}

}  // namespace
}  // namespace zevo
