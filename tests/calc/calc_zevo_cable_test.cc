// The Zevo value of a requested cable: the direct calculation for a cable in no loop, and the
// cut search, whose trial list is checked as well as the value.
#include "calc/calc_zevo_cable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search_network.h"
#include "support/network_builder.h"
#include "trial_list.h"

namespace zevo {
namespace {

using testing::describe_trials;
using testing::find_trial;
using testing::sub_network_of;
using Trials = std::vector<std::string>;

class CalcZevoCable : public testing::SearchNetwork {
 protected:
  void SetUp() override {
    SearchNetwork::SetUp();
    condition("normal");
  }
};

// Nodes in document order SB1, SB2, SB3 (nn = SB3, SB2, SB1), cables C12, C23, C31 (nc = C31,
// C23, C12): the ring of three with C12 requested.
class RingOfThree : public CalcZevoCable {
 protected:
  CALC_CONNECTION* ring(double g1, double l1, double g2, double l2, double g3, double l3) {
    lc("SB1", g1, l1);
    lc("SB2", g2, l2);
    lc("SB3", g3, l3);
    cable("C12", "SB1", "SB2");
    cable("C23", "SB2", "SB3");
    cable("C31", "SB3", "SB1");
    return request("C12");
  }
};

TEST_F(RingOfThree, CableValueIsTheLargerSingleCut) {
  CALC_CONNECTION* cc = ring(1000, 0, 0, 600, 0, 300);
  compute_all();
  const ZEVO_RESULT* r = cc->results;
  // Cutting C31 leaves SB1 against SB2+SB3: max(min(1000, 900), min(0, 0)) = 900.
  // Cutting C23 leaves SB1+SB3 against SB2: max(min(1000, 600), min(0, 300)) = 600.
  EXPECT_EQ(describe_trials(cc), (Trials{"{C23}:1", "{C31}:1"}));
  EXPECT_EQ(r->val, 900.0);
  EXPECT_EQ(r->sub_network1, 1);
  EXPECT_EQ(r->sub_network2, 1);
  EXPECT_EQ(r->nbr_conditions, 1);
  EXPECT_EQ(r->condition[0], context_.calc_conditions->name);  // shared, not copied
  EXPECT_EQ(r->c_val[0], 900.0);
  EXPECT_EQ(r->c_g1[0], 1000.0);
  EXPECT_EQ(r->c_l1[0], 0.0);
  EXPECT_EQ(r->c_g2[0], 0.0);
  EXPECT_EQ(r->c_l2[0], 900.0);
  EXPECT_EQ(r->condition[1], nullptr);
  EXPECT_EQ(r->c_val[1], 0.0);

  // With C31 cut only C23 is left (sub-network 1); SB1 is a sub-network of its own.
  const CALC_CUT_CONNECTION_ZEVO* c31 = find_trial(cc, "{C31}");
  ASSERT_NE(c31, nullptr);
  EXPECT_EQ(c31->c, cc->c);
  EXPECT_EQ(c31->nbr_cut_connection, 1);
  EXPECT_EQ(c31->subnetwork1, 2);
  EXPECT_EQ(c31->subnetwork2, 1);
  EXPECT_EQ(c31->zevo->sub_network1, 2);
  EXPECT_EQ(c31->zevo->sub_network2, 1);
  EXPECT_EQ(c31->zevo->val, 900.0);
  const CALC_CUT_CONNECTION_ZEVO* c23 = find_trial(cc, "{C23}");
  ASSERT_NE(c23, nullptr);
  EXPECT_EQ(c23->subnetwork1, 1);
  EXPECT_EQ(c23->subnetwork2, 2);
  EXPECT_EQ(c23->zevo->val, 600.0);
  EXPECT_EQ(c23->zevo->c_g1[0], 1000.0);
  EXPECT_EQ(c23->zevo->c_l1[0], 300.0);
  EXPECT_EQ(c23->zevo->c_l2[0], 600.0);
}

TEST_F(RingOfThree, EveryTrialWorksOnItsOwnCopyAndTheBaseStaysAsBuilt) {
  CALC_CONNECTION* cc = ring(1000, 0, 0, 600, 0, 300);
  compute_all();
  const NETWORK* base = context_.nw;
  const NETWORK* own = cc->results->nw;
  ASSERT_NE(own, base);
  EXPECT_EQ(own->nbr_connection, 3);
  EXPECT_NE(own->nc[0], nullptr);
  EXPECT_NE(own->nc[1], nullptr);
  EXPECT_EQ(own->nc[2], nullptr);  // C12 taken out
  EXPECT_EQ(own->nbr_loops[1], 0);

  const NETWORK* trial = find_trial(cc, "{C31}")->zevo->nw;
  ASSERT_NE(trial, own);
  EXPECT_EQ(trial->nc[0], nullptr);
  EXPECT_EQ(trial->nc[1]->c->name, std::string("C23"));
  EXPECT_EQ(trial->nc[2], nullptr);

  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(base->nc[i], nullptr);
    EXPECT_EQ(base->nc[i]->sub_network, 1);
    EXPECT_EQ(base->nn[i]->sub_network, 1);
  }
  EXPECT_EQ(base->nbr_sub_networks, 1);
  EXPECT_EQ(base->nbr_loops[1], 1);
}

TEST_F(RingOfThree, TiedTrialsGiveTheFiguresOfTheLaterTrial) {
  // {C31}: SB1 | SB2+SB3: max(min(100, 150), min(5, 0)) = 100, figures 100 0 5 150.
  // {C23}, made later: SB1+SB3 | SB2: max(min(105, 100), min(0, 50)) = 100, figures 105 50 0 100.
  CALC_CONNECTION* cc = ring(100, 0, 0, 100, 5, 50);
  compute_all();
  const ZEVO_RESULT* r = cc->results;
  EXPECT_EQ(find_trial(cc, "{C31}")->zevo->val, 100.0);
  EXPECT_EQ(find_trial(cc, "{C23}")->zevo->val, 100.0);
  EXPECT_EQ(r->val, 100.0);
  EXPECT_EQ(r->c_g1[0], 105.0);
  EXPECT_EQ(r->c_l1[0], 50.0);
  EXPECT_EQ(r->c_g2[0], 0.0);
  EXPECT_EQ(r->c_l2[0], 100.0);
}

TEST_F(CalcZevoCable, WinningTrialIsCopiedForEveryCondition) {
  // Conditions day, night in the document: calc_conditions (and the index) is night, day.
  condition("day");
  condition("night");
  // The fixture's "normal" comes first in the document, so it is index 2 and unused here.
  auto node = [&](const char* name, double day_g, double day_l, double night_g, double night_l) {
    NODE* n = testing::add_node(&context_, name);
    testing::add_condition(n, "day", day_g, day_l);
    testing::add_condition(n, "night", night_g, night_l);
  };
  node("SB1", 1000, 0, 200, 0);
  node("SB2", 0, 600, 0, 100);
  node("SB3", 0, 300, 0, 400);
  cable("C12", "SB1", "SB2");
  cable("C23", "SB2", "SB3");
  cable("C31", "SB3", "SB1");
  CALC_CONNECTION* cc = request("C12");
  compute_all();
  // {C31}: day 900, night max(min(200, 500), 0) = 200; value 900.
  // {C23}: day 600, night max(min(200, 100), min(0, 400)) = 100; value 600.
  const ZEVO_RESULT* r = cc->results;
  ASSERT_EQ(r->nbr_conditions, 3);
  EXPECT_EQ(r->val, 900.0);
  EXPECT_EQ(r->condition[0], std::string("night"));
  EXPECT_EQ(r->condition[1], std::string("day"));
  EXPECT_EQ(r->condition[2], std::string("normal"));
  EXPECT_EQ(r->c_val[0], 200.0);
  EXPECT_EQ(r->c_val[1], 900.0);
  EXPECT_EQ(r->c_val[2], 0.0);
  EXPECT_EQ(r->c_g1[0], 200.0);
  EXPECT_EQ(r->c_g1[1], 1000.0);
  EXPECT_EQ(r->c_l2[0], 500.0);
  EXPECT_EQ(r->c_l2[1], 900.0);
}

TEST_F(CalcZevoCable, CableInNoLoopIsComputedDirectly) {
  // Radial P - Q - R with QR requested: side 1 P+Q (100, 30), side 2 R (5, 30):
  // max(min(100, 30), min(5, 30)) = 30.
  lc("P", 100, 10);
  lc("Q", 0, 20);
  lc("R", 5, 30);
  cable("PQ", "P", "Q");
  cable("QR", "Q", "R");
  CALC_CONNECTION* cc = request("QR");
  compute_all();
  const ZEVO_RESULT* r = cc->results;
  EXPECT_EQ(cc->cut_connections, nullptr);
  EXPECT_EQ(r->val, 30.0);
  // nn = R, Q, P: PQ is sub-network 1, R alone the next.
  EXPECT_EQ(r->sub_network1, 1);
  EXPECT_EQ(r->sub_network2, 2);
  EXPECT_EQ(r->c_g1[0], 100.0);
  EXPECT_EQ(r->c_l1[0], 30.0);
  EXPECT_EQ(r->c_g2[0], 5.0);
  EXPECT_EQ(r->c_l2[0], 30.0);
  EXPECT_EQ(r->nw->nc[0], nullptr);  // nc = QR, PQ
}

TEST_F(CalcZevoCable, TriangleGivesEachCableItsOwnLargestCut) {
  lc("P", 100, 0);
  lc("Q", 0, 60);
  lc("R", 0, 40);
  cable("PQ", "P", "Q");
  cable("QR", "Q", "R");
  cable("RP", "R", "P");
  CALC_CONNECTION* pq = request("PQ");
  CALC_CONNECTION* qr = request("QR");
  compute_all();
  // nc = RP, QR, PQ. For PQ: {RP} gives P | Q+R = 100, {QR} gives P+R | Q = 60.
  EXPECT_EQ(describe_trials(pq), (Trials{"{QR}:1", "{RP}:1"}));
  EXPECT_EQ(find_trial(pq, "{RP}")->zevo->val, 100.0);
  EXPECT_EQ(find_trial(pq, "{QR}")->zevo->val, 60.0);
  EXPECT_EQ(pq->results->val, 100.0);
  EXPECT_EQ(pq->results->sub_network1, pq->results->sub_network2);
  // For QR: {RP} gives Q+P (100, 60) | R (0, 40) = 40; {PQ} gives Q | R+P (100, 40) = 60.
  EXPECT_EQ(describe_trials(qr), (Trials{"{PQ}:1", "{RP}:1"}));
  EXPECT_EQ(find_trial(qr, "{RP}")->zevo->val, 40.0);
  EXPECT_EQ(find_trial(qr, "{PQ}")->zevo->val, 60.0);
  EXPECT_EQ(qr->results->val, 60.0);
}

// Ring A - B - C - D - A (nc = DA, CD, BC, AB) with AB requested; nothing left to grow.
class RingOfFour : public CalcZevoCable {
 protected:
  CALC_CONNECTION* ring() {
    lc("A", 100, 0);
    lc("B", 0, 10);
    lc("C", 0, 20);
    lc("D", 0, 30);
    cable("AB", "A", "B");
    cable("BC", "B", "C");
    cable("CD", "C", "D");
    cable("DA", "D", "A");
    return request("AB");
  }
};

TEST_F(RingOfFour, ThreeSeparatingSingleCuts) {
  CALC_CONNECTION* cc = ring();
  compute_all();
  EXPECT_EQ(cc->results->nw->nbr_loops[cc->results->sub_network1], 0);
  // {DA}: A | B+C+D = min(100, 60); {CD}: A+D | B+C = min(100, 30); {BC}: A+D+C | B = 10.
  EXPECT_EQ(describe_trials(cc), (Trials{"{BC}:1", "{CD}:1", "{DA}:1"}));
  EXPECT_EQ(find_trial(cc, "{DA}")->zevo->val, 60.0);
  EXPECT_EQ(find_trial(cc, "{CD}")->zevo->val, 30.0);
  EXPECT_EQ(find_trial(cc, "{BC}")->zevo->val, 10.0);
  EXPECT_EQ(cc->results->val, 60.0);
}

TEST_F(RingOfFour, BranchGetsATrialThatIsNeverGrownNorCounted) {
  lc("E", 0, 5);
  CALC_CONNECTION* cc = ring();
  cable("DE", "D", "E");  // last in the document: slot 0
  compute_all();
  // Still 4 cables - 5 nodes + 1 = 0 loops. {DE} leaves A and B joined; the growth pass it
  // triggers makes nothing, since one cut is more than 0 loops.
  EXPECT_EQ(cc->results->nw->nbr_loops[cc->results->sub_network1], 0);
  EXPECT_EQ(describe_trials(cc), (Trials{"{BC}:1", "{CD}:1", "{DA}:1", "{DE}:0"}));
  const CALC_CUT_CONNECTION_ZEVO* de = find_trial(cc, "{DE}");
  EXPECT_EQ(de->subnetwork1, de->subnetwork2);
  EXPECT_EQ(de->zevo->val, 0.0);
  EXPECT_EQ(de->zevo->c_g1[0], 0.0);  // nothing computed
  // {DA}: A | B+C+D+E = min(100, 65); E goes with D on the other trials too.
  EXPECT_EQ(find_trial(cc, "{DA}")->zevo->val, 65.0);
  EXPECT_EQ(find_trial(cc, "{CD}")->zevo->val, 30.0);
  EXPECT_EQ(cc->results->val, 65.0);
}

TEST_F(RingOfFour, BranchesAreNotPairedWithoutLoopsLeft) {
  CALC_CONNECTION* cc = ring();
  lc("E", 0, 5);
  lc("F", 0, 7);
  cable("BF", "B", "F");
  cable("DE", "D", "E");
  compute_all();
  // nc = DE, BF, DA, CD, BC, AB. The two branch cuts leave A and B joined, and each would be
  // a candidate for the other, but a single cut is already more than the 0 loops left.
  EXPECT_EQ(describe_trials(cc), (Trials{"{BC}:1", "{CD}:1", "{DA}:1", "{BF}:0", "{DE}:0"}));
  // {DA}: A | B+C+D+E+F = min(100, 72).
  EXPECT_EQ(cc->results->val, 72.0);
}

TEST_F(CalcZevoCable, CablesOfOtherSubNetworksAreNotTried) {
  lc("SB1", 1000, 0);
  lc("SB2", 0, 600);
  lc("SB3", 0, 300);
  lc("G", 0, 0);
  lc("H", 0, 0);
  cable("C12", "SB1", "SB2");
  cable("C23", "SB2", "SB3");
  cable("C31", "SB3", "SB1");
  cable("GH1", "G", "H");  // an island with a loop of its own
  cable("GH2", "G", "H");
  CALC_CONNECTION* cc = request("C12");
  compute_all();
  EXPECT_EQ(describe_trials(cc), (Trials{"{C23}:1", "{C31}:1"}));
  EXPECT_EQ(cc->results->val, 900.0);
}

TEST_F(CalcZevoCable, TwoParallelCablesEachTryTheOther) {
  lc("A", 80, 5);
  lc("B", 10, 60);
  cable("P1", "A", "B");
  cable("P2", "B", "A");  // laid the other way round
  CALC_CONNECTION* p1 = request("P1");
  CALC_CONNECTION* p2 = request("P2");
  compute_all();
  // P1: A | B = max(min(80, 60), min(10, 5)) = 60.
  EXPECT_EQ(describe_trials(p1), (Trials{"{P2}:1"}));
  EXPECT_EQ(p1->results->val, 60.0);
  EXPECT_EQ(p1->results->c_g1[0], 80.0);
  EXPECT_EQ(p1->results->c_l1[0], 5.0);
  EXPECT_EQ(p1->results->c_g2[0], 10.0);
  EXPECT_EQ(p1->results->c_l2[0], 60.0);
  // P2 runs from B: side 1 is B, max(min(10, 5), min(80, 60)) = 60.
  EXPECT_EQ(describe_trials(p2), (Trials{"{P1}:1"}));
  EXPECT_EQ(p2->results->val, 60.0);
  EXPECT_EQ(p2->results->c_g1[0], 10.0);
  EXPECT_EQ(p2->results->c_l1[0], 60.0);
  EXPECT_EQ(p2->results->c_g2[0], 80.0);
  EXPECT_EQ(p2->results->c_l2[0], 5.0);
}

TEST_F(CalcZevoCable, ThreeParallelCablesRepeatThePairInTheSecondPass) {
  lc("A", 50, 10);
  lc("B", 5, 40);
  cable("X", "A", "B");
  cable("Y", "A", "B");
  cable("Z", "A", "B");
  CALC_CONNECTION* cc = request("X");
  compute_all();
  // nc = Z, Y, X; X out leaves 2 - 2 + 1 = 1 loop. First set {Z} then {Y}, both joined.
  // Pass 1 grows {Y} by {Z}; pass 2 does it again; pass 3 exceeds 1 + 1.
  EXPECT_EQ(cc->results->nw->nbr_loops[1], 1);
  EXPECT_EQ(describe_trials(cc), (Trials{"{Y,Z}:1", "{Y,Z}:1", "{Y}:0", "{Z}:0"}));
  const CALC_CUT_CONNECTION_ZEVO* newest = cc->cut_connections;
  const CALC_CUT_CONNECTION_ZEVO* older = newest->next;
  EXPECT_EQ(newest->nbr_cut_connection, 2);
  EXPECT_NE(newest->zevo->nw, older->zevo->nw);
  EXPECT_NE(newest->cuts, older->cuts);
  // A | B: max(min(50, 40), min(5, 10)) = 40, for both repetitions.
  EXPECT_EQ(newest->zevo->val, 40.0);
  EXPECT_EQ(older->zevo->val, 40.0);
  EXPECT_EQ(cc->results->val, 40.0);
  EXPECT_EQ(cc->results->c_g1[0], 50.0);
  EXPECT_EQ(cc->results->c_l2[0], 40.0);
  EXPECT_EQ(cc->results->sub_network1, cc->results->sub_network2);
}

TEST_F(CalcZevoCable, PairsThatStayJoinedWithOneLoopAreGivenUp) {
  lc("A", 100, 0);
  lc("B", 0, 30);
  lc("E", 0, 20);
  cable("S", "B", "E");  // a spur
  cable("X", "A", "B");
  cable("Y", "A", "B");
  cable("Z", "A", "B");
  CALC_CONNECTION* cc = request("X");
  compute_all();
  // nc = Z, Y, X, S; X out leaves 3 - 3 + 1 = 1 loop. First-set list {S}, {Y}, {Z}, all
  // joined. Each pass grows {S} into {S,Y} and {S,Z} (still joined with 2 cuts > 1 loop: 2) and
  // {Y} into {Y,Z} (separates); two passes run.
  EXPECT_EQ(cc->results->nw->nbr_loops[1], 1);
  EXPECT_EQ(describe_trials(cc), (Trials{"{Y,Z}:1", "{S,Z}:2", "{S,Y}:2", "{Y,Z}:1", "{S,Z}:2",
                                         "{S,Y}:2", "{S}:0", "{Y}:0", "{Z}:0"}));
  const CALC_CUT_CONNECTION_ZEVO* given_up = find_trial(cc, "{S,Y}");
  EXPECT_EQ(given_up->subnetwork1, given_up->subnetwork2);
  EXPECT_EQ(given_up->zevo->val, 0.0);
  // {Y,Z}: A | B+E = max(min(100, 50), min(0, 0)) = 50.
  EXPECT_EQ(find_trial(cc, "{Y,Z}")->zevo->val, 50.0);
  EXPECT_EQ(cc->results->val, 50.0);
}

TEST_F(CalcZevoCable, SeparatingSingleCutIsNoCandidate) {
  lc("A", 100, 0);
  lc("M", 0, 30);
  lc("B", 0, 50);
  cable("X", "A", "B");
  cable("Y", "M", "B");
  cable("Z", "M", "B");
  cable("K", "A", "M");
  CALC_CONNECTION* cc = request("X");
  compute_all();
  // nc = K, Z, Y, X; X out leaves 1 loop. {K} separates alone, so it never joins {Y} or {Z}:
  // only {Y,Z} is grown, in both passes.
  EXPECT_EQ(describe_trials(cc), (Trials{"{Y,Z}:1", "{Y,Z}:1", "{Y}:0", "{Z}:0", "{K}:1"}));
  // {K}: A | M+B = min(100, 80); {Y,Z}: A+M | B = max(min(100, 50), min(0, 30)) = 50.
  EXPECT_EQ(find_trial(cc, "{K}")->zevo->val, 80.0);
  EXPECT_EQ(find_trial(cc, "{Y,Z}")->zevo->val, 50.0);
  EXPECT_EQ(cc->results->val, 80.0);
}

TEST_F(CalcZevoCable, TwoLoopsLeftGrowPairsAndTriplesOverThreePasses) {
  lc("A", 100, 0);
  lc("B", 0, 70);
  cable("W", "A", "B");
  cable("X", "A", "B");
  cable("Y", "A", "B");
  cable("Z", "A", "B");
  CALC_CONNECTION* cc = request("W");
  compute_all();
  // nc = Z, Y, X, W; W out leaves 3 - 2 + 1 = 2 loops, so 3 passes and up to 3 cuts.
  // First-set list {X}, {Y}, {Z}. Pairs stay joined with 2 cuts (not more than 2 loops) and
  // are grown again; a triple cuts every cable and separates. Every pass grows each joined
  // trial of the list, the ones made by earlier passes included:
  //   pass 1: {X} -> {X,Y}, {X,Z}; {Y} -> {Y,Z}
  //   pass 2: {Y,Z} -> nothing; {X,Z} -> {X,Z,Y}; {X,Y} -> {X,Y,Z}; then as pass 1
  //   pass 3: the two pairs of pass 2 and the two of pass 1 give a triple each; then as pass 1
  EXPECT_EQ(cc->results->nw->nbr_loops[1], 2);
  EXPECT_EQ(describe_trials(cc), (Trials{// pass 3
                                         "{Y,Z}:0", "{X,Z}:0", "{X,Y}:0", "{X,Y,Z}:1", "{X,Z,Y}:1",
                                         "{X,Y,Z}:1", "{X,Z,Y}:1",
                                         // pass 2
                                         "{Y,Z}:0", "{X,Z}:0", "{X,Y}:0", "{X,Y,Z}:1", "{X,Z,Y}:1",
                                         // pass 1
                                         "{Y,Z}:0", "{X,Z}:0", "{X,Y}:0",
                                         // first set
                                         "{X}:0", "{Y}:0", "{Z}:0"}));
  EXPECT_EQ(find_trial(cc, "{X,Y,Z}")->nbr_cut_connection, 3);
  // A | B: min(100, 70).
  EXPECT_EQ(find_trial(cc, "{X,Z,Y}")->zevo->val, 70.0);
  EXPECT_EQ(cc->results->val, 70.0);
}

TEST_F(CalcZevoCable, TrialThatAlsoCutsOffABranchCountsItNowhere) {
  // X and Y join A and B directly, U - V runs A - E - B, F1 and F2 hang F on A:
  // nc = Y, F1, F2, U, V, X; X out leaves 5 - 4 + 1 = 2 loops. {V,U} stays joined (through Y)
  // and grows by Y into {V,U,Y}, which leaves A+F, B and E apart. E's negative figures make
  // that trial the largest:
  //   cuts with Y and U:   A+F | B+E  max(min(100, 50), min(-30, 0))   = 50
  //   cuts with Y and V:   A+F+E | B  max(min(70, 200), min(0, -150))  = 70
  //   {V,U,Y}:             A+F | B    max(min(100, 200), min(0, 0))    = 100
  lc("A", 100, 0);
  lc("B", 0, 200);
  lc("E", -30, -150);
  lc("F", 0, 0);
  cable("X", "A", "B");
  cable("V", "E", "B");
  cable("U", "A", "E");
  cable("F2", "A", "F");
  cable("F1", "A", "F");
  cable("Y", "A", "B");
  CALC_CONNECTION* cc = request("X");
  compute_all();
  EXPECT_EQ(cc->results->nw->nbr_loops[1], 2);
  const CALC_CUT_CONNECTION_ZEVO* branch = find_trial(cc, "{V,U,Y}");
  ASSERT_NE(branch, nullptr);
  EXPECT_EQ(branch->cut_flag, kCutSeparates);
  const int e = sub_network_of(branch, "E");
  EXPECT_NE(e, branch->subnetwork1);
  EXPECT_NE(e, branch->subnetwork2);
  EXPECT_EQ(sub_network_of(branch, "F"), branch->subnetwork1);
  EXPECT_EQ(branch->zevo->val, 100.0);
  EXPECT_EQ(find_trial(cc, "{V,Y}")->zevo->val, 70.0);
  EXPECT_EQ(find_trial(cc, "{U,Y}")->zevo->val, 50.0);

  const ZEVO_RESULT* r = cc->results;
  EXPECT_EQ(r->val, 100.0);
  EXPECT_EQ(r->c_g1[0], 100.0);
  EXPECT_EQ(r->c_l1[0], 0.0);
  EXPECT_EQ(r->c_g2[0], 0.0);
  EXPECT_EQ(r->c_l2[0], 200.0);
}

TEST_F(CalcZevoCable, NoSeparatingTrialLeavesZero) {
  // A cable from A back to A (validation would refuse it): its ends are one node, so no cut
  // can separate them. Its one trial stays joined and is not grown (0 loops).
  lc("A", 100, 0);
  lc("B", 0, 50);
  cable("AB", "A", "B");
  cable("X", "A", "A");
  CALC_CONNECTION* cc = request("X");
  compute_all();
  const ZEVO_RESULT* r = cc->results;
  EXPECT_EQ(describe_trials(cc), (Trials{"{AB}:0"}));
  EXPECT_EQ(r->val, 0.0);
  EXPECT_EQ(r->sub_network1, r->sub_network2);
  EXPECT_EQ(r->c_val[0], 0.0);
  EXPECT_EQ(r->c_g1[0], 0.0);
  EXPECT_EQ(r->condition[0], std::string("normal"));
}

}  // namespace
}  // namespace zevo
