// The balance of one network state: side sums, the flow under each condition and the value.
#include "calc/calculate_zevo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "model/record_store.h"
#include "support/captured_messages.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

using testing::add_bus_transfer;
using testing::add_condition;
using testing::add_node;
using testing::CapturedMessages;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A network state made by hand: each node and bus transfer is placed in the sub-networks the
// test gives, as identify_sub_networks would have numbered them. Side 1 is sub-network 1 and
// side 2 sub-network 2 unless a test says otherwise.
class Balance : public ::testing::Test {
 protected:
  void SetUp() override { zevo_init(&context_); }
  void TearDown() override { release_all_records(); }

  NODE* node_in(int sub_network) {
    NODE* node = add_node(&context_, "lc");
    nodes_.push_back({node, sub_network});
    return node;
  }

  BUS_TRANSFER* bus_transfer_in(int sub_network1, int sub_network2) {
    BUS_TRANSFER* bt = add_bus_transfer(&context_, "bt", "lc", "lc");
    bts_.push_back({bt, sub_network1, sub_network2});
    return bt;
  }

  // The result record for the conditions `names`, on a network of the nodes and bus transfers
  // made so far, in the order they were made.
  ZEVO_RESULT* result(std::vector<const char*> names) {
    auto* nw = alloc_record<NETWORK>("oom\n");
    nw->nbr_network_nodes = static_cast<int>(nodes_.size());
    nw->nn = alloc_array<NETWORK_NODE*>(nodes_.size() + 1, "oom\n");
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
      nw->nn[i] = alloc_record<NETWORK_NODE>("oom\n");
      *nw->nn[i] = nodes_[i];
    }
    nw->nbr_bustransfers = static_cast<int>(bts_.size());
    nw->nbt = alloc_array<NETWORK_BUS_TRANSFER*>(bts_.size() + 1, "oom\n");
    for (std::size_t i = 0; i < bts_.size(); ++i) {
      nw->nbt[i] = alloc_record<NETWORK_BUS_TRANSFER>("oom\n");
      *nw->nbt[i] = bts_[i];
    }
    const std::size_t n = names.size();
    auto* l = alloc_record<ZEVO_RESULT>("oom\n");
    l->nw = nw;
    l->nbr_conditions = static_cast<int>(n);
    l->condition = alloc_array<const char*>(n + 1, "oom\n");
    for (std::size_t i = 0; i < n; ++i) l->condition[i] = names[i];
    l->c_val = alloc_array<double>(n + 1, "oom\n");
    l->c_g1 = alloc_array<double>(n + 1, "oom\n");
    l->c_g2 = alloc_array<double>(n + 1, "oom\n");
    l->c_l1 = alloc_array<double>(n + 1, "oom\n");
    l->c_l2 = alloc_array<double>(n + 1, "oom\n");
    l->sub_network1 = 1;
    l->sub_network2 = 2;
    return l;
  }

  ZEVO_CONTEXT context_;
  std::vector<NETWORK_NODE> nodes_;
  std::vector<NETWORK_BUS_TRANSFER> bts_;
};

TEST_F(Balance, FlowIsTheLargerOfTheTwoDirections) {
  add_condition(node_in(1), "normal", 100, 30);
  add_condition(node_in(2), "normal", 20, 80);
  ZEVO_RESULT* l = result({"normal"});
  calculate_zevo(l);
  EXPECT_EQ(l->c_g1[0], 100.0);
  EXPECT_EQ(l->c_l1[0], 30.0);
  EXPECT_EQ(l->c_g2[0], 20.0);
  EXPECT_EQ(l->c_l2[0], 80.0);
  EXPECT_EQ(l->c_val[0], 80.0);  // max(min(100, 80), min(20, 30))
  EXPECT_EQ(l->val, 80.0);
}

TEST_F(Balance, SidesAreTakenFromTheResultsSubNetworkNumbers) {
  // Side 1 is sub-network 2 here: the same figures as above with the sides swapped.
  add_condition(node_in(1), "normal", 100, 30);
  add_condition(node_in(2), "normal", 20, 80);
  ZEVO_RESULT* l = result({"normal"});
  l->sub_network1 = 2;
  l->sub_network2 = 1;
  calculate_zevo(l);
  EXPECT_EQ(l->c_g1[0], 20.0);
  EXPECT_EQ(l->c_l2[0], 30.0);
  EXPECT_EQ(l->c_val[0], 80.0);  // max(min(20, 30), min(100, 80))
}

TEST_F(Balance, NoGenerationGivesZero) {
  add_condition(node_in(1), "normal", 0, 50);
  add_condition(node_in(2), "normal", 0, 70);
  ZEVO_RESULT* l = result({"normal"});
  calculate_zevo(l);
  EXPECT_EQ(l->c_val[0], 0.0);
  EXPECT_EQ(l->val, 0.0);
}

TEST_F(Balance, ValueNeverFallsBelowZero) {
  // max(min(-10, -3), min(-20, -5)) = -10 is kept per condition, but not as the value.
  add_condition(node_in(1), "normal", -10, -5);
  add_condition(node_in(2), "normal", -20, -3);
  ZEVO_RESULT* l = result({"normal"});
  calculate_zevo(l);
  EXPECT_EQ(l->c_val[0], -10.0);
  EXPECT_EQ(l->val, 0.0);
}

TEST_F(Balance, ValueIsTheLargestFlowOverConditions) {
  NODE* a = node_in(1);
  NODE* b = node_in(2);
  add_condition(a, "day", 100, 0);
  add_condition(b, "day", 0, 40);
  add_condition(a, "night", 100, 0);
  add_condition(b, "night", 0, 70);
  add_condition(a, "peak", 70, 0);
  add_condition(b, "peak", 0, 90);
  ZEVO_RESULT* l = result({"day", "night", "peak"});
  calculate_zevo(l);
  EXPECT_EQ(l->c_val[0], 40.0);
  EXPECT_EQ(l->c_val[1], 70.0);
  EXPECT_EQ(l->c_val[2], 70.0);  // ties the largest
  EXPECT_EQ(l->val, 70.0);
}

TEST_F(Balance, BusTransferBetweenTheSidesAddsInFullToBoth) {
  add_condition(node_in(1), "normal", 100, 0);
  add_condition(node_in(2), "normal", 0, 40);
  add_condition(bus_transfer_in(1, 2), "normal", 5, 7);
  add_condition(bus_transfer_in(2, 1), "normal", 1, 2);  // either end may be the side-1 one
  ZEVO_RESULT* l = result({"normal"});
  calculate_zevo(l);
  EXPECT_EQ(l->c_g1[0], 106.0);
  EXPECT_EQ(l->c_l1[0], 9.0);
  EXPECT_EQ(l->c_g2[0], 6.0);
  EXPECT_EQ(l->c_l2[0], 49.0);
  EXPECT_EQ(l->c_val[0], 49.0);  // max(min(106, 49), min(6, 9))
}

TEST_F(Balance, BusTransferOnOneSideAddsOnce) {
  add_condition(node_in(1), "normal", 100, 0);
  add_condition(node_in(2), "normal", 0, 40);
  add_condition(bus_transfer_in(1, 1), "normal", 5, 7);
  add_condition(bus_transfer_in(2, 2), "normal", 3, 4);
  add_condition(bus_transfer_in(3, 3), "normal", 1000, 1000);  // neither side
  ZEVO_RESULT* l = result({"normal"});
  calculate_zevo(l);
  EXPECT_EQ(l->c_g1[0], 105.0);
  EXPECT_EQ(l->c_l1[0], 7.0);
  EXPECT_EQ(l->c_g2[0], 3.0);
  EXPECT_EQ(l->c_l2[0], 44.0);
}

TEST_F(Balance, NodeOfAThirdSubNetworkCountsNowhere) {
  add_condition(node_in(1), "normal", 100, 0);
  add_condition(node_in(3), "normal", 500, 500);
  add_condition(node_in(2), "normal", 0, 40);
  ZEVO_RESULT* l = result({"normal"});
  calculate_zevo(l);
  EXPECT_EQ(l->c_g1[0], 100.0);
  EXPECT_EQ(l->c_l1[0], 0.0);
  EXPECT_EQ(l->c_g2[0], 0.0);
  EXPECT_EQ(l->c_l2[0], 40.0);
}

TEST_F(Balance, ConditionNamesMatchExactlyAndEveryMatchAdds) {
  NODE* a = node_in(1);
  add_condition(a, "normal", 100, 0);
  add_condition(a, "Normal", 1000, 1000);  // differs in case only: no match
  add_condition(a, "normal", 10, 1);       // a second entry of the name adds too
  NODE* b = node_in(2);
  add_condition(b, "NORMAL", 1000, 1000);
  add_condition(b, "normal", 0, 40);
  ZEVO_RESULT* l = result({"normal"});
  calculate_zevo(l);
  EXPECT_EQ(l->c_g1[0], 110.0);
  EXPECT_EQ(l->c_l1[0], 1.0);
  EXPECT_EQ(l->c_g2[0], 0.0);
  EXPECT_EQ(l->c_l2[0], 40.0);
}

TEST_F(Balance, SumsFollowSlotOrderThenListOrderThenBusTransfers) {
  // Spacing of doubles at 1e16 is 2: 1e16 + 1 rounds back to 1e16 (ties to even), while
  // 1 + 1 + 1e16 is exactly 1e16 + 2. Side 1: node slots 1e16, 1, 1 then a bus transfer 1e16
  // on side 2 only. Side 2: a node with list 1, 1 (head first) and then the bus transfer.
  add_condition(node_in(1), "normal", 1e16, 0);
  add_condition(node_in(1), "normal", 1, 0);
  add_condition(node_in(1), "normal", 1, 0);
  NODE* b = node_in(2);
  add_condition(b, "normal", 0, 1);
  add_condition(b, "normal", 0, 1);
  add_condition(bus_transfer_in(2, 2), "normal", 0, 1e16);
  ZEVO_RESULT* l = result({"normal"});
  calculate_zevo(l);
  EXPECT_EQ(l->c_g1[0], 1e16);
  EXPECT_EQ(l->c_l2[0], 1e16 + 2);
}

TEST_F(Balance, NaNFigureYieldsToTheOtherOperand) {
  NODE* a = node_in(1);
  NODE* b = node_in(2);
  // one: g1 NaN, so min(g1, l2) is l2 = 80; min(g2, l1) = 20; c_val 80.
  add_condition(a, "one", kNaN, 30);
  add_condition(b, "one", 20, 80);
  // all: every sum NaN, c_val NaN, which never becomes the value.
  add_condition(a, "all", kNaN, kNaN);
  add_condition(b, "all", kNaN, kNaN);
  ZEVO_RESULT* l = result({"all", "one", "all"});
  calculate_zevo(l);
  EXPECT_TRUE(std::isnan(l->c_val[0]));
  EXPECT_EQ(l->c_val[1], 80.0);
  EXPECT_TRUE(std::isnan(l->c_val[2]));
  EXPECT_EQ(l->val, 80.0);

  ZEVO_RESULT* only_nan = result({"all"});
  calculate_zevo(only_nan);
  EXPECT_EQ(only_nan->val, 0.0);
}

TEST_F(Balance, InfiniteFigures) {
  NODE* a = node_in(1);
  NODE* b = node_in(2);
  add_condition(a, "bounded", kInf, 0);
  add_condition(b, "bounded", 0, 80);
  add_condition(a, "unbounded", kInf, 0);
  add_condition(b, "unbounded", 0, kInf);
  add_condition(node_in(1), "opposed", kInf, 0);
  add_condition(node_in(1), "opposed", -kInf, 0);  // inf + -inf is NaN
  add_condition(b, "opposed", 30, 50);
  ZEVO_RESULT* l = result({"bounded", "unbounded", "opposed"});
  calculate_zevo(l);
  EXPECT_EQ(l->c_val[0], 80.0);
  EXPECT_EQ(l->c_val[1], kInf);
  EXPECT_TRUE(std::isnan(l->c_g1[2]));
  EXPECT_EQ(l->c_val[2], 50.0);  // max(min(NaN, 50), min(30, 0)) = max(50, 0)
  EXPECT_EQ(l->val, kInf);
}

TEST_F(Balance, ConditionIndexOutOfRangeEndsTheRun) {
  add_condition(node_in(1), "normal", 100, 30);
  ZEVO_RESULT* l = result({"normal"});
  {
    CapturedMessages messages;
    EXPECT_THROW(calculate_zevo_ci(l, 1), RunEnded);
    EXPECT_EQ(messages.out(), "*** ERROR: specified condition index is out of range (1  0 - 1)\n");
    EXPECT_EQ(messages.err(), "");
  }
  {
    CapturedMessages messages;
    EXPECT_THROW(calculate_zevo_ci(l, -1), RunEnded);
    EXPECT_EQ(messages.out(), "*** ERROR: specified condition index is out of range (-1  0 - 1)\n");
  }
}

TEST_F(Balance, NullRecordsEndTheRun) {
  {
    CapturedMessages messages;
    EXPECT_THROW(calculate_zevo_ci(nullptr, 0), RunEnded);
    EXPECT_EQ(messages.out(), " *** ERROR, NULL pointere in calculate_zevo");
    EXPECT_EQ(messages.err(), "");
  }
  {
    CapturedMessages messages;
    EXPECT_THROW(calculate_zevo(nullptr), RunEnded);
    EXPECT_EQ(messages.out(), " *** ERROR: NULL Pointer in calculate_zevo()\n");
    EXPECT_EQ(messages.err(), "");
  }
}

}  // namespace
}  // namespace zevo
