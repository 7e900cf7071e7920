// The balance of one network state: side sums, the flow under each condition and the value.
#include "calc/balance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "model/record_store.h"
#include "search_network.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const char* const kOom = "oom\n";

struct Entry {
  const char* name;
  double generation, load;
};
// A node in sub-network `sub1` (sub2 0), or a bus transfer whose load centres lie in `sub1` and
// `sub2`. Its entries are added in the order given, so that its list holds them reversed.
struct Holder {
  int sub1, sub2;
  std::vector<Entry> entries;
};
Holder node(int sub, std::vector<Entry> entries) { return {sub, 0, std::move(entries)}; }
Holder node(int sub, double g, double l) { return {sub, 0, {{"normal", g, l}}}; }
Holder bus(int sub1, int sub2, double g, double l) { return {sub1, sub2, {{"normal", g, l}}}; }

// Holders in slot order, the figures expected for each condition and the value; side 1 is
// sub-network `side1`, side 2 `side2`.
struct Case {
  const char* name;
  std::vector<Holder> holders;
  std::vector<std::string> figures;
  double val;
  std::vector<const char*> conditions;
  int side1, side2;
};
Case make_case(const char* name, std::vector<Holder> holders, std::vector<std::string> figures,
               double val, std::vector<const char*> conditions = {"normal"}, int side1 = 1,
               int side2 = 2) {
  return {name, std::move(holders), std::move(figures), val, std::move(conditions), side1, side2};
}
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Balance : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override { zevo_init(&context_); }
  void TearDown() override { release_all_records(); }

  // The network state of the case, as identify_sub_networks would have numbered it. The number
  // arrays and the value start at 999, so that every figure must be set afresh.
  ZEVO_RESULT* make_result(const Case& c) {
    auto* nw = alloc_record<NETWORK>(kOom);
    nw->nn = alloc_array<NETWORK_NODE*>(c.holders.size() + 1, kOom);
    nw->nbt = alloc_array<NETWORK_BUS_TRANSFER*>(c.holders.size() + 1, kOom);
    for (const Holder& h : c.holders) {
      if (h.sub2 == 0) {
        NODE* n = testing::add_node(&context_, "lc");
        for (const Entry& e : h.entries) testing::add_condition(n, e.name, e.generation, e.load);
        auto* slot = nw->nn[nw->nbr_network_nodes++] = alloc_record<NETWORK_NODE>(kOom);
        *slot = {n, h.sub1};
      } else {
        BUS_TRANSFER* bt = testing::add_bus_transfer(&context_, "bt", "lc", "lc");
        for (const Entry& e : h.entries) testing::add_condition(bt, e.name, e.generation, e.load);
        auto* slot = nw->nbt[nw->nbr_bustransfers++] = alloc_record<NETWORK_BUS_TRANSFER>(kOom);
        *slot = {bt, h.sub1, h.sub2};
      }
    }
    const std::size_t n = c.conditions.size();
    auto* l = alloc_record<ZEVO_RESULT>(kOom);
    l->nw = nw;
    l->nbr_conditions = static_cast<int>(n);
    l->val = 999;
    l->sub_network1 = c.side1;
    l->sub_network2 = c.side2;
    l->condition = alloc_array<const char*>(n + 1, kOom);
    for (std::size_t i = 0; i < n; ++i) l->condition[i] = c.conditions[i];
    for (double** numbers : {&l->c_val, &l->c_g1, &l->c_g2, &l->c_l1, &l->c_l2}) {
      *numbers = alloc_array<double>(n + 1, kOom);
      std::fill(*numbers, *numbers + n, 999);
    }
    return l;
  }

  ZEVO_CONTEXT context_;
};

TEST_P(Balance, SumsFlowsAndValue) {
  const Case& c = GetParam();
  ZEVO_RESULT* l = make_result(c);
  calculate_zevo(l);
  for (std::size_t ci = 0; ci < c.figures.size(); ++ci) {
    EXPECT_EQ(testing::describe_figures(l, static_cast<int>(ci)), c.figures[ci]) << ci;
  }
  EXPECT_EQ(l->val, c.val);
}

// Figures read "g1 l1 g2 l2 = c_val", with c_val = max(min(g1, l2), min(g2, l1)).
const Case kCases[] = {
    make_case("FlowIsTheLargerOfTheTwoDirections", {node(1, 100, 30), node(2, 20, 80)},
              {"100 30 20 80 = 80"}, 80),  // max(min(100, 80), min(20, 30))
    make_case("SidesAreTakenFromTheResultsSubNetworkNumbers", {node(1, 100, 30), node(2, 20, 80)},
              {"20 80 100 30 = 80"}, 80, {"normal"}, 2, 1),  // max(min(20, 30), min(100, 80))
    make_case("NoGenerationGivesZero", {node(1, 0, 50), node(2, 0, 70)}, {"0 50 0 70 = 0"}, 0),
    // max(min(-10, -3), min(-20, -5)) = -10 is kept per condition, but not as the value.
    make_case("ValueNeverFallsBelowZero", {node(1, -10, -5), node(2, -20, -3)},
              {"-10 -5 -20 -3 = -10"}, 0),
    make_case("ValueIsTheLargestFlowOverConditions",  // peak ties night
              {node(1, {{"day", 100, 0}, {"night", 100, 0}, {"peak", 70, 0}}),
               node(2, {{"day", 0, 40}, {"night", 0, 70}, {"peak", 0, 90}})},
              {"100 0 0 40 = 40", "100 0 0 70 = 70", "70 0 0 90 = 70"}, 70,
              {"day", "night", "peak"}),
    make_case("BusTransferBetweenTheSidesAddsInFullToBoth",  // either end may be the side-1 one
              {node(1, 100, 0), node(2, 0, 40), bus(1, 2, 5, 7), bus(2, 1, 1, 2)},
              {"106 9 6 49 = 49"}, 49),  // max(min(106, 49), min(6, 9))
    make_case(
        "BusTransferOnOneSideAddsOnce",  // the one in sub-network 3 is on neither side
        {node(1, 100, 0), node(2, 0, 40), bus(1, 1, 5, 7), bus(2, 2, 3, 4), bus(3, 3, 1000, 1000)},
        {"105 7 3 44 = 44"}, 44),  // max(min(105, 44), min(3, 7))
    make_case("NodeOfAThirdSubNetworkCountsNowhere",
              {node(1, 100, 0), node(3, 500, 500), node(2, 0, 40)}, {"100 0 0 40 = 40"}, 40),
    make_case("ConditionNamesMatchExactlyAndEveryMatchAdds",  // a case difference is no match
              {node(1, {{"normal", 100, 0}, {"Normal", 1000, 1000}, {"normal", 10, 1}}),
               node(2, {{"NORMAL", 1000, 1000}, {"normal", 0, 40}})},
              {"110 1 0 40 = 40"}, 40),  // max(min(110, 40), min(0, 1))
    // Spacing of doubles at 1e16 is 2: 1e16 + 1 rounds back to 1e16 (ties to even), while
    // 1 + 1 + 1e16 is exactly 1e16 + 2. Side 1: node slots 1e16, 1, 1 then a bus transfer 1e16
    // on side 2 only. Side 2: a node with list 1, 1 and then the bus transfer.
    make_case("SumsFollowSlotOrderThenListOrderThenBusTransfers",
              {node(1, 1e16, 0), node(1, 1, 0), node(1, 1, 0),
               node(2, {{"normal", 0, 1}, {"normal", 0, 1}}), bus(2, 2, 0, 1e16)},
              {"10000000000000000 0 0 10000000000000002 = 10000000000000000"}, 1e16),
    // one: g1 NaN, so min(g1, l2) is l2 = 80; min(g2, l1) = 20; c_val 80.
    // all: every sum NaN, c_val NaN, which never becomes the value, before or after 80.
    make_case("NaNFigureYieldsToTheOtherOperand",
              {node(1, {{"one", kNaN, 30}, {"all", kNaN, kNaN}}),
               node(2, {{"one", 20, 80}, {"all", kNaN, kNaN}})},
              {"nan nan nan nan = nan", "nan 30 20 80 = 80", "nan nan nan nan = nan"}, 80,
              {"all", "one", "all"}),
    make_case("OnlyNaNFlowsLeaveZero", {node(1, kNaN, kNaN), node(2, kNaN, kNaN)},
              {"nan nan nan nan = nan"}, 0),
    // opposed: inf + -inf is NaN on side 1; max(min(NaN, 50), min(30, 0)) = max(50, 0).
    make_case("InfiniteFigures",
              {node(1, {{"bounded", kInf, 0}, {"unbounded", kInf, 0}}),
               node(2, {{"bounded", 0, 80}, {"unbounded", 0, kInf}, {"opposed", 30, 50}}),
               node(1, {{"opposed", kInf, 0}}), node(1, {{"opposed", -kInf, 0}})},
              {"inf 0 0 80 = 80", "inf 0 0 inf = inf", "nan 0 30 50 = 50"}, kInf,
              {"bounded", "unbounded", "opposed"}),
};

INSTANTIATE_TEST_SUITE_P(Cases, Balance, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zevo
