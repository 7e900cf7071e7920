// The Zevo value of a requested cable: the direct calculation for a cable in no loop, and the
// cut search as first written, whose trial list is checked as well as the value; the fast search
// must give every case the same value and side numbers.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "calc/reference/literal_cut_search.h"
#include "search_network.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

using testing::describe_figures;
using testing::kRingCables;
using testing::kRingLcs;

// The trials newest first, each as its cut cables in their order, its flag and its value:
// "{Y,Z}:1=40 {Y}:0=0".
std::string describe_trials(const CALC_CONNECTION* cc) {
  std::string text;
  for (const CALC_CUT_CONNECTION_ZEVO* t = cc->cut_connections; t; t = t->next) {
    text += text.empty() ? "{" : " {";
    for (const CUT_CONNECTION* cut = t->cuts; cut; cut = cut->next) {
      text.append(cut == t->cuts ? "" : ",").append(cut->c->name);
    }
    char flag_and_value[32];
    std::snprintf(flag_and_value, sizeof flag_and_value, "}:%d=%g", t->cut_flag, t->zevo->val);
    text += flag_and_value;
  }
  return text;
}

// The sides of the ends and the loops left with the cable out, the value and the figures:
// "1|1 0 loops: 900 (1000 0 0 900 = 900)".
std::string describe_result(const ZEVO_RESULT* r) {
  char text[64];
  std::snprintf(text, sizeof text, "%d|%d %d loops: %g (", r->sub_network1, r->sub_network2,
                r->nw->nbr_loops[r->sub_network1], r->val);
  return std::string(text).append(describe_figures(r, 0)).append(")");
}

// The sub-network numbers of the cable slots ("-" for an empty one), then of the node slots,
// then the loop counts.
std::string describe_sub_networks(const NETWORK* nw) {
  std::string text;
  for (int i = 0; i < nw->nbr_connection; ++i) {
    text += nw->nc[i] ? std::to_string(nw->nc[i]->sub_network) : "-";
  }
  for (int i = 0; i < nw->nbr_network_nodes; ++i) text += std::to_string(nw->nn[i]->sub_network);
  for (int s = 1; s <= nw->nbr_sub_networks; ++s)
    text.append(" ").append(std::to_string(nw->nbr_loops[s]));
  return text;
}

// What one requested cable must come out with: the result as describe_result gives it and the
// trials as describe_trials does. When nbr_trials is given, `trials` holds only the oldest ones.
struct CableResult {
  const char* cable;
  const char* result;
  std::string trials;
  int nbr_trials = -1;
};

struct SearchCase {
  const char* name;
  std::string lcs, cables;  // as SearchNetwork::build takes them
  std::vector<CableResult> results;
};
SearchCase search(const char* name, std::string lcs, std::string cables,
                  std::vector<CableResult> results) {
  return {name, std::move(lcs), std::move(cables), std::move(results)};
}
void PrintTo(const SearchCase& c, std::ostream* os) { *os << c.name; }

class CutSearch : public testing::SearchNetwork, public ::testing::WithParamInterface<SearchCase> {
 public:
  // The result and the trials of `cc`, and what every trial must hold: the cable, 1 to
  // nbr_loops + 1 cuts as counted, a network copy and cut entries of its own, flag 1 exactly
  // when the ends are apart, and a computed result only then.
  void check_cable(CALC_CONNECTION* cc, const CableResult& expected) {
    const ZEVO_RESULT* r = cc->results;
    EXPECT_EQ(describe_result(r), expected.result);
    // The fast search gives the same value, bit for bit, and the same side numbers.
    const ZEVO_RESULT* fast = fast_result(cc);
    EXPECT_EQ(std::memcmp(&fast->val, &r->val, sizeof r->val), 0) << fast->val;
    EXPECT_EQ(fast->sub_network1, r->sub_network1);
    EXPECT_EQ(fast->sub_network2, r->sub_network2);
    EXPECT_EQ(r->condition[0], context_.calc_conditions->name);  // shared, not copied
    const std::string trials = describe_trials(cc);
    const std::size_t listed = std::min(trials.size(), expected.trials.size());
    EXPECT_EQ(expected.nbr_trials < 0 ? trials : trials.substr(trials.size() - listed),
              expected.trials);

    std::set<const void*> owned = {context_.nw, r->nw};
    int count = 0;
    for (const CALC_CUT_CONNECTION_ZEVO* t = cc->cut_connections; t; t = t->next, ++count) {
      EXPECT_EQ(t->c, cc->c);
      int cuts = 0;
      for (const CUT_CONNECTION* cut = t->cuts; cut; cut = cut->next, ++cuts) {
        EXPECT_TRUE(owned.insert(cut).second) << "a cut entry is shared";
      }
      EXPECT_EQ(t->nbr_cut_connection, cuts);
      EXPECT_LE(cuts, r->nw->nbr_loops[r->sub_network1] + 1);
      EXPECT_TRUE(owned.insert(t->zevo->nw).second) << "a network copy is shared";
      const bool apart = t->subnetwork1 != t->subnetwork2;
      EXPECT_EQ(t->cut_flag == kCutSeparates, apart);
      EXPECT_EQ(t->zevo->sub_network1, apart ? t->subnetwork1 : 0);
      EXPECT_EQ(t->zevo->sub_network2, apart ? t->subnetwork2 : 0);
    }
    EXPECT_EQ(count, expected.nbr_trials < 0 ? count : expected.nbr_trials);
  }
};

TEST_P(CutSearch, ValueAndTrials) {
  const SearchCase& c = GetParam();
  std::vector<std::string> requested;
  for (const CableResult& e : c.results) requested.push_back(e.cable);
  const std::vector<CALC_CONNECTION*> ccs = build(c.lcs, c.cables, requested);
  const std::string base = describe_sub_networks(context_.nw);
  compute_all();
  EXPECT_EQ(describe_sub_networks(context_.nw), base);  // the base is only ever copied
  for (std::size_t i = 0; i < ccs.size(); ++i) {
    SCOPED_TRACE(c.results[i].cable);
    check_cable(ccs[i], c.results[i]);
  }
}

// Ring A - B - C - D - A (nc = DA, CD, BC, AB).
const std::string kFourLcs = "A 100 0, B 0 10, C 0 20, D 0 30";
const std::string kRingOfFour = "AB A B, BC B C, CD C D, DA D A";

// Results read "sub-network of n1|of n2, loops left: value (g1 l1 g2 l2 = c_val)" with the
// cable out; trials "{cuts}:cut_flag=value", newest first.
const SearchCase kCases[] = {
    // The ring with C12 out keeps 0 loops. Cutting C31 leaves SB1 against SB2+SB3:
    // max(min(1000, 900), min(0, 0)) = 900; cutting C23 leaves SB1+SB3 against SB2:
    // max(min(1000, 600), min(0, 300)) = 600. No growth pass follows.
    search("OverviewRing", kRingLcs, kRingCables,
           {{"C12", "1|1 0 loops: 900 (1000 0 0 900 = 900)", "{C23}:1=600 {C31}:1=900"}}),
    // {C31}: SB1 | SB2+SB3: max(min(100, 150), min(5, 0)) = 100, figures 100 0 5 150.
    // {C23}, made later: SB1+SB3 | SB2: max(min(105, 100), min(0, 50)) = 100, whose figures win.
    search("TiedTrialsGiveTheFiguresOfTheLaterTrial", "SB1 100 0, SB2 0 100, SB3 5 50", kRingCables,
           {{"C12", "1|1 0 loops: 100 (105 50 0 100 = 100)", "{C23}:1=100 {C31}:1=100"}}),
    // Radial P - Q - R (nn = R, Q, P): with QR out, PQ is sub-network 1 and R alone the next.
    // P+Q (100, 30) | R (5, 30): max(min(100, 30), min(5, 30)) = 30.
    search("CableInNoLoopIsComputedDirectly", "P 100 10, Q 0 20, R 5 30", "PQ P Q, QR Q R",
           {{"QR", "1|2 0 loops: 30 (100 30 5 30 = 30)", ""}}),
    // nc = RP, QR, PQ. For PQ: {RP} gives P | Q+R = 100, {QR} gives P+R | Q = 60.
    // For QR: {RP} gives Q+P (100, 60) | R (0, 40) = 40; {PQ} gives Q | R+P (100, 40) = 60.
    search("TriangleGivesEachCableItsOwnLargestCut", "P 100 0, Q 0 60, R 0 40",
           "PQ P Q, QR Q R, RP R P",
           {{"PQ", "1|1 0 loops: 100 (100 0 0 100 = 100)", "{QR}:1=60 {RP}:1=100"},
            {"QR", "1|1 0 loops: 60 (0 60 100 40 = 60)", "{PQ}:1=60 {RP}:1=40"}}),
    // {DA}: A | B+C+D = min(100, 60); {CD}: A+D | B+C = min(100, 30); {BC}: A+D+C | B = 10.
    search("RingOfFourHasThreeSeparatingSingleCuts", kFourLcs, kRingOfFour,
           {{"AB", "1|1 0 loops: 60 (100 0 0 60 = 60)", "{BC}:1=10 {CD}:1=30 {DA}:1=60"}}),
    // Still 4 cables - 5 nodes + 1 = 0 loops. {DE} leaves A and B joined; the growth pass it
    // triggers makes nothing, since one cut is more than 0 loops. E goes with D elsewhere:
    // {DA} A | B+C+D+E = 65, {CD} A+D+E | B+C = 30, {BC} A+C+D+E | B = 10.
    search("BranchGetsATrialThatIsNeverGrownNorCounted", "E 0 5, " + kFourLcs,
           kRingOfFour + ", DE D E",
           {{"AB", "1|1 0 loops: 65 (100 0 0 65 = 65)", "{BC}:1=10 {CD}:1=30 {DA}:1=65 {DE}:0=0"}}),
    // nc = DE, BF, DA, CD, BC, AB. The branch cuts would be candidates for each other, but a
    // single cut is already more than the 0 loops left. {DA}: A | B+C+D+E+F = 72;
    // {CD}: A+D+E (100, 35) | B+C+F (0, 37) = 37; {BC}: A+C+D+E | B+F (0, 17) = 17.
    search("BranchesAreNotPairedWithoutLoopsLeft", kFourLcs + ", E 0 5, F 0 7",
           kRingOfFour + ", BF B F, DE D E",
           {{"AB", "1|1 0 loops: 72 (100 0 0 72 = 72)",
             "{BC}:1=17 {CD}:1=37 {DA}:1=72 {BF}:0=0 {DE}:0=0"}}),
    // nc = GH2, GH1, C31, C23, C12: the island G - H, with a loop of its own, is sub-network 1
    // and the ring sub-network 2; the island's cables are not tried and count on no side.
    search("CablesOfOtherSubNetworksAreNotTried", std::string(kRingLcs) + ", G 0 0, H 0 0",
           std::string(kRingCables) + ", GH1 G H, GH2 G H",
           {{"C12", "2|2 0 loops: 900 (1000 0 0 900 = 900)", "{C23}:1=600 {C31}:1=900"}}),
    // P1: A | B = max(min(80, 60), min(10, 5)) = 60. P2 runs from B: side 1 is B,
    // max(min(10, 5), min(80, 60)) = 60.
    search("TwoParallelCablesEachTryTheOther", "A 80 5, B 10 60", "P1 A B, P2 B A",
           {{"P1", "1|1 0 loops: 60 (80 5 10 60 = 60)", "{P2}:1=60"},
            {"P2", "1|1 0 loops: 60 (10 60 80 5 = 60)", "{P1}:1=60"}}),
    // nc = Z, Y, X; X out leaves 2 - 2 + 1 = 1 loop. First set {Z} then {Y}, both joined.
    // Pass 1 grows {Y} by {Z}; pass 2 does it again; pass 3 exceeds 1 + 1.
    // A | B: max(min(50, 40), min(5, 10)) = 40.
    search("ThreeParallelCablesRepeatThePairInTheSecondPass", "A 50 10, B 5 40",
           "X A B, Y A B, Z A B",
           {{"X", "1|1 1 loops: 40 (50 10 5 40 = 40)", "{Y,Z}:1=40 {Y,Z}:1=40 {Y}:0=0 {Z}:0=0"}}),
    // nc = Z, Y, X, S; X out leaves 3 - 3 + 1 = 1 loop. First-set list {S}, {Y}, {Z}, all
    // joined. Each pass grows {S} into {S,Y} and {S,Z} (still joined with 2 cuts > 1 loop: 2)
    // and {Y} into {Y,Z}: A | B+E = max(min(100, 50), min(0, 0)) = 50; two passes run.
    search("PairsThatStayJoinedWithOneLoopAreGivenUp", "A 100 0, B 0 30, E 0 20",
           "S B E, X A B, Y A B, Z A B",
           {{"X", "1|1 1 loops: 50 (100 0 0 50 = 50)",
             "{Y,Z}:1=50 {S,Z}:2=0 {S,Y}:2=0 {Y,Z}:1=50 {S,Z}:2=0 {S,Y}:2=0 {S}:0=0 {Y}:0=0 "
             "{Z}:0=0"}}),
    // nc = K, Z, Y, X; X out leaves 1 loop. {K} separates alone, so it never joins {Y} or {Z}:
    // only {Y,Z} is grown, in both passes. {K}: A | M+B = min(100, 80);
    // {Y,Z}: A+M | B = max(min(100, 50), min(0, 30)) = 50.
    search("SeparatingSingleCutIsNoCandidate", "A 100 0, M 0 30, B 0 50",
           "X A B, Y M B, Z M B, K A M",
           {{"X", "1|1 1 loops: 80 (100 0 0 80 = 80)",
             "{Y,Z}:1=50 {Y,Z}:1=50 {Y}:0=0 {Z}:0=0 {K}:1=80"}}),
    // nc = Z, Y, X, W; W out leaves 3 - 2 + 1 = 2 loops, so 3 passes and up to 3 cuts.
    // First-set list {X}, {Y}, {Z}. Pairs stay joined with 2 cuts (not more than 2 loops) and
    // are grown again; a triple cuts every cable and separates A | B: min(100, 70). Every pass
    // grows each joined trial of the list, the ones made by earlier passes included:
    //   pass 1: {X} -> {X,Y}, {X,Z}; {Y} -> {Y,Z}
    //   pass 2: {Y,Z} -> nothing; {X,Z} -> {X,Z,Y}; {X,Y} -> {X,Y,Z}; then as pass 1
    //   pass 3: the two pairs of pass 2 and the two of pass 1 give a triple each; then as pass 1
    search("TwoLoopsLeftGrowPairsAndTriplesOverThreePasses", "A 100 0, B 0 70",
           "W A B, X A B, Y A B, Z A B",
           {{"W", "1|1 2 loops: 70 (100 0 0 70 = 70)",
             // pass 3
             "{Y,Z}:0=0 {X,Z}:0=0 {X,Y}:0=0 {X,Y,Z}:1=70 {X,Z,Y}:1=70 {X,Y,Z}:1=70 {X,Z,Y}:1=70 "
             // pass 2
             "{Y,Z}:0=0 {X,Z}:0=0 {X,Y}:0=0 {X,Y,Z}:1=70 {X,Z,Y}:1=70 "
             // pass 1, then the first set
             "{Y,Z}:0=0 {X,Z}:0=0 {X,Y}:0=0 {X}:0=0 {Y}:0=0 {Z}:0=0"}}),
    // X and Y join A and B directly, U - V runs A - E - B, F1 and F2 hang F on A:
    // nc = Y, F1, F2, U, V, X; X out leaves 5 - 4 + 1 = 2 loops.
    // First set {Y}, {F1}, {F2}, {U}, {V}, all joined. Pass 1 pairs each with the later ones:
    //   {V,Y}: A+E+F (70, -150) | B (0, 200)  max(min(70, 200), min(0, -150)) = 70
    //   {U,Y}: A+F (100, 0) | B+E (-30, 50)   max(min(100, 50), min(-30, 0))  = 50
    // the other 8 pairs stay joined. Pass 2 grows those 8 into 15 triples and repeats pass 1;
    // pass 3 grows both sets of 8 pairs and repeats pass 1: 5 + 10 + 25 + 40 trials. The
    // triples {V,U,Y} leave A+F | B with E apart: max(min(100, 200), min(0, 0)) = 100.
    search("TrialThatAlsoCutsOffABranchCountsItNowhere", "A 100 0, B 0 200, E -30 -150, F 0 0",
           "X A B, V E B, U A E, F2 A F, F1 A F, Y A B",
           {{"X", "1|1 2 loops: 100 (100 0 0 200 = 100)",
             "{F1,Y}:0=0 {F2,Y}:0=0 {F2,F1}:0=0 {U,Y}:1=50 {U,F1}:0=0 {U,F2}:0=0 {V,Y}:1=70 "
             "{V,F1}:0=0 {V,F2}:0=0 {V,U}:0=0 {V}:0=0 {U}:0=0 {F2}:0=0 {F1}:0=0 {Y}:0=0",
             80}}),
    // A cable from A back to A (validation would refuse it): its ends are one node, so no cut
    // can separate them. Its one trial stays joined and is not grown (0 loops).
    search("NoSeparatingTrialLeavesZero", "A 100 0, B 0 50", "AB A B, X A A",
           {{"X", "1|1 0 loops: 0 (0 0 0 0 = 0)", "{AB}:0=0"}}),
};

INSTANTIATE_TEST_SUITE_P(Cases, CutSearch, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

using CalcZevoCable = testing::SearchNetwork;

TEST_F(CalcZevoCable, WinningTrialIsCopiedForEveryCondition) {
  // Conditions normal, day, night in the document: calc_conditions (and the index) is night,
  // day, normal; no load centre has "normal", so its figures stay 0.
  testing::add_calc_condition(&context_, "day");
  testing::add_calc_condition(&context_, "night");
  auto node = [&](const char* name, double day_g, double day_l, double night_g, double night_l) {
    NODE* n = testing::add_node(&context_, name);
    testing::add_condition(n, "day", day_g, day_l);
    testing::add_condition(n, "night", night_g, night_l);
  };
  node("SB1", 1000, 0, 200, 0);
  node("SB2", 0, 600, 0, 100);
  node("SB3", 0, 300, 0, 400);
  const CALC_CONNECTION* cc = build("", kRingCables, {"C12"})[0];
  compute_all();
  // {C31}: day 900, night max(min(200, 500), 0) = 200; value 900.
  // {C23}: day 600, night max(min(200, 100), min(0, 400)) = 100; value 600.
  const ZEVO_RESULT* r = cc->results;
  ASSERT_EQ(r->nbr_conditions, 3);
  EXPECT_EQ(r->val, 900.0);
  EXPECT_EQ(r->condition[0], std::string("night"));
  EXPECT_EQ(r->condition[1], std::string("day"));
  EXPECT_EQ(r->condition[2], std::string("normal"));
  EXPECT_EQ(r->condition[0], context_.calc_conditions->name);  // shared, not copied
  EXPECT_EQ(r->condition[3], nullptr);                         // the spare entry stays empty
  EXPECT_EQ(r->c_val[3], 0.0);
  EXPECT_EQ(describe_figures(r, 0), "200 0 0 500 = 200");
  EXPECT_EQ(describe_figures(r, 1), "1000 0 0 900 = 900");
  EXPECT_EQ(describe_figures(r, 2), "0 0 0 0 = 0");

  const ZEVO_RESULT* fast = fast_result(context_.calc_connections);
  EXPECT_EQ(fast->val, 900.0);
  EXPECT_EQ(fast->condition[0], context_.calc_conditions->name);
  for (int ci = 0; ci < 3; ++ci) EXPECT_EQ(describe_figures(fast, ci), describe_figures(r, ci));
}

TEST_F(CalcZevoCable, LongRingIsSearchedWithoutDeepCalls) {
  // With equal figures nothing prunes: the bond search walks as deep as the ring is long. Under a
  // small call stack, a search that recursed once per step would overflow.
  constexpr int kNodes = 5000;
  std::string lcs, cables;
  for (int i = 0; i < kNodes; ++i) {
    const std::string at = std::to_string(i), next = std::to_string((i + 1) % kNodes);
    lcs += "S" + at + " 10 10,";
    cables += "R" + at + " S" + at + " S" + next + ",";
  }
  CALC_CONNECTION* cc = build(lcs, cables, {"R0"})[0];
  // The best opening leaves 2500 load centres on each side: 25000 generation against 25000 load.
  auto search_under_a_small_stack = [&] {
    const rlimit small = {256 * 1024, 256 * 1024};
    setrlimit(RLIMIT_STACK, &small);
    std::exit(fast_result(cc)->val == 25000.0 ? 0 : 1);
  };
  EXPECT_EXIT(search_under_a_small_stack(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace zevo
