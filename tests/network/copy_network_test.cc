#include "network/copy_network.h"

#include <gtest/gtest.h>

#include <string>

#include "model/messages.h"
#include "model/record_store.h"
#include "network/identify_sub_networks.h"
#include "support/captured_messages.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

using testing::add_bus_transfer;
using testing::add_connection;
using testing::add_node;
using testing::CapturedMessages;

// A ring P-Q-R-S-P (cables PQ, QR, RS, SP; nc: SP, RS, QR, PQ) with a bus transfer P-R.
class CopyNetwork : public ::testing::Test {
 protected:
  void SetUp() override {
    zevo_init(&context);
    for (const char* name : {"P", "Q", "R", "S"}) add_node(&context, name);
    add_connection(&context, "PQ", "P", "Q");
    add_connection(&context, "QR", "Q", "R");
    add_connection(&context, "RS", "R", "S");
    add_connection(&context, "SP", "S", "P");
    add_bus_transfer(&context, "T", "P", "R");
    testing::build_network(&context);
  }

  std::string error_when_allocation_fails(long n) {
    CapturedMessages messages;
    fail_allocation_after(n);
    EXPECT_THROW(copy_network(context.nw), RunEnded);
    fail_allocation_after(0);
    EXPECT_EQ(messages.out(), "");
    return messages.err();
  }

  ZEVO_CONTEXT context;
};

TEST_F(CopyNetwork, CopyHasItsOwnEntriesPointingAtTheSameInputRecords) {
  const NETWORK* base = context.nw;
  NETWORK* copy = copy_network(base);
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy, base);
  EXPECT_NE(copy->nc, base->nc);
  EXPECT_NE(copy->nn, base->nn);
  EXPECT_NE(copy->nbt, base->nbt);
  EXPECT_NE(copy->nbr_loops, base->nbr_loops);
  ASSERT_EQ(copy->nbr_connection, 4);
  ASSERT_EQ(copy->nbr_network_nodes, 4);
  ASSERT_EQ(copy->nbr_bustransfers, 1);
  for (int i = 0; i < 4; ++i) {
    EXPECT_NE(copy->nc[i], base->nc[i]);
    EXPECT_EQ(copy->nc[i]->c, base->nc[i]->c);
    EXPECT_EQ(copy->nc[i]->sub_network, 1);
    EXPECT_NE(copy->nn[i], base->nn[i]);
    EXPECT_EQ(copy->nn[i]->n, base->nn[i]->n);
    EXPECT_EQ(copy->nn[i]->sub_network, 1);
  }
  EXPECT_EQ(copy->nc[4], nullptr);
  EXPECT_EQ(copy->nn[4], nullptr);
  EXPECT_NE(copy->nbt[0], base->nbt[0]);
  EXPECT_EQ(copy->nbt[0]->bt, base->nbt[0]->bt);
  EXPECT_EQ(copy->nbt[0]->sub_network1, 1);
  EXPECT_EQ(copy->nbt[0]->sub_network2, 1);
  EXPECT_EQ(copy->nbt[1], nullptr);
  // Loop counts: one more entry than the source's, with entries 0 and 2 left at 0.
  EXPECT_EQ(copy->nbr_sub_networks, 1);
  EXPECT_EQ(copy->nbr_loops[0], 0);
  EXPECT_EQ(copy->nbr_loops[1], 1);
  EXPECT_EQ(copy->nbr_loops[2], 0);
}

TEST_F(CopyNetwork, EmptyingAndRenumberingACopyLeavesTheSourceUntouched) {
  NETWORK* base = context.nw;
  NETWORK* copy = copy_network(base);
  copy->nc[1] = nullptr;  // RS
  copy->nc[3] = nullptr;  // PQ
  identify_sub_networks(copy);
  // Left: SP (slot 0) joins S and P, QR (slot 2) joins Q and R.
  ASSERT_EQ(copy->nbr_sub_networks, 2);
  EXPECT_EQ(copy->nc[0]->sub_network, 1);
  EXPECT_EQ(copy->nc[2]->sub_network, 2);
  EXPECT_EQ(copy->nbt[0]->sub_network1, 1);
  EXPECT_EQ(copy->nbt[0]->sub_network2, 2);

  ASSERT_NE(base->nc[1], nullptr);
  ASSERT_NE(base->nc[3], nullptr);
  EXPECT_EQ(base->nbr_sub_networks, 1);
  EXPECT_EQ(base->nbr_loops[1], 1);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(base->nc[i]->sub_network, 1);
    EXPECT_EQ(base->nn[i]->sub_network, 1);
  }
  EXPECT_EQ(base->nbt[0]->sub_network2, 1);
}

TEST_F(CopyNetwork, RemovedSlotsStayRemovedInCopiesOfCopies) {
  NETWORK* first = copy_network(context.nw);
  first->nc[2] = nullptr;
  NETWORK* second = copy_network(first);
  EXPECT_EQ(second->nbr_connection, 4);
  EXPECT_EQ(second->nc[2], nullptr);
  EXPECT_NE(second->nc[1], nullptr);
  NETWORK* third = copy_network(second);
  EXPECT_EQ(third->nc[2], nullptr);
  EXPECT_NE(third->nc[3], nullptr);
}

TEST_F(CopyNetwork, CopyWithEveryCableRemovedNumbersEachLcAlone) {
  NETWORK* copy = copy_network(context.nw);
  for (int i = 0; i < copy->nbr_connection; ++i) copy->nc[i] = nullptr;
  identify_sub_networks(copy);
  ASSERT_EQ(copy->nbr_sub_networks, copy->nbr_network_nodes);
  for (int i = 0; i < copy->nbr_network_nodes; ++i) EXPECT_EQ(copy->nn[i]->sub_network, i + 1);
  for (int s = 0; s <= 4; ++s) EXPECT_EQ(copy->nbr_loops[s], s == 0 ? 1 : 0) << s;
  EXPECT_EQ(copy->nbt[0]->sub_network1, 4);  // P is nn[3]
  EXPECT_EQ(copy->nbt[0]->sub_network2, 2);  // R is nn[1]
}

TEST(CopyNetworkWithoutBusTransfers, KeepsAnNbtOfOneNullSlot) {
  ZEVO_CONTEXT context;
  zevo_init(&context);
  add_node(&context, "A");
  testing::build_network(&context);
  NETWORK* copy = copy_network(context.nw);
  EXPECT_EQ(copy->nbr_bustransfers, 0);
  ASSERT_NE(copy->nbt, nullptr);
  EXPECT_EQ(copy->nbt[0], nullptr);
}

TEST(CopyNetworkOfNull, IsNullAndSilent) {
  CapturedMessages messages;
  EXPECT_EQ(copy_network(nullptr), nullptr);
  EXPECT_EQ(messages.out(), "");
  EXPECT_EQ(messages.err(), "");
}

// Allocation order: the record, nc, 4 cable entries, nn, 4 lc entries, nbt, 1 bus transfer
// entry, the loop counts.
TEST_F(CopyNetwork, ExhaustedMemoryNamesTheAllocationSite) {
  EXPECT_EQ(error_when_allocation_fails(1), " *** ERROR: Out of Memory in copy_network() a\n");
  EXPECT_EQ(error_when_allocation_fails(2), " *** ERROR: Out of Memory in copy_network() b\n");
  EXPECT_EQ(error_when_allocation_fails(3), " *** ERROR: Out of Memory in copy_network() c\n");
  EXPECT_EQ(error_when_allocation_fails(7), " *** ERROR: Out of Memory in copy_network() d\n");
  EXPECT_EQ(error_when_allocation_fails(8), " *** ERROR: Out of Memory in copy_network() e\n");
  EXPECT_EQ(error_when_allocation_fails(12), " *** ERROR: Out of Memory in copy_network() f\n");
  EXPECT_EQ(error_when_allocation_fails(13), " *** ERROR: Out of Memory in copy_network() g\n");
  EXPECT_EQ(error_when_allocation_fails(14), " *** ERROR: Out of Memory in copy_network() f\n");
}

TEST_F(CopyNetwork, NullSlotsAllocateNoEntry) {
  NETWORK* first = copy_network(context.nw);
  first->nc[0] = nullptr;
  first->nn[0] = nullptr;
  // Now: record, nc, 3 cable entries, nn, 3 lc entries, then nbt as the 10th allocation.
  CapturedMessages messages;
  fail_allocation_after(10);
  EXPECT_THROW(copy_network(first), RunEnded);
  fail_allocation_after(0);
  EXPECT_EQ(messages.err(), " *** ERROR: Out of Memory in copy_network() f\n");
}

}  // namespace
}  // namespace zevo
