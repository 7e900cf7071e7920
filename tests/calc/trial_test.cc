// One trial of the cut search: its allocation, the removal of its cuts and its calculation.
#include <gtest/gtest.h>

#include <string>

#include "calc/calc_zevo_cable.h"
#include "model/record_store.h"
#include "network/copy_network.h"
#include "search_network.h"
#include "support/captured_messages.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

using testing::CapturedMessages;
using testing::find_connection;

// The ring of three (nc = C31, C23, C12; nn = SB3, SB2, SB1), built but not computed.
class Trial : public testing::SearchNetwork {
 protected:
  void SetUp() override {
    SearchNetwork::SetUp();
    condition("normal");
    lc("SB1", 1000, 0);
    lc("SB2", 0, 600);
    lc("SB3", 0, 300);
    c12_ = cable("C12", "SB1", "SB2");
    c23_ = cable("C23", "SB2", "SB3");
    c31_ = cable("C31", "SB3", "SB1");
    build();
    names_[0] = context_.calc_conditions->name;
  }

  // A trial for C12 on the base network with the given cuts, in that order.
  CALC_CUT_CONNECTION_ZEVO* trial(std::initializer_list<CONNECTION*> cuts) {
    CALC_CUT_CONNECTION_ZEVO* t = alloc_CALC_CUT_CONNECTION_ZEVO(1, names_, context_.nw);
    t->c = c12_;
    CUT_CONNECTION** tail = &t->cuts;
    for (CONNECTION* c : cuts) {
      *tail = alloc_record<CUT_CONNECTION>("oom\n");
      (*tail)->c = c;
      tail = &(*tail)->next;
      ++t->nbr_cut_connection;
    }
    return t;
  }

  CONNECTION* c12_ = nullptr;
  CONNECTION* c23_ = nullptr;
  CONNECTION* c31_ = nullptr;
  const char* names_[2] = {nullptr, nullptr};
};

TEST_F(Trial, AllocationGivesAnEmptyTrialOnAFreshCopy) {
  CALC_CUT_CONNECTION_ZEVO* t = alloc_CALC_CUT_CONNECTION_ZEVO(1, names_, context_.nw);
  EXPECT_EQ(t->c, nullptr);
  EXPECT_EQ(t->cut_flag, kCutJoined);
  EXPECT_EQ(t->cuts, nullptr);
  EXPECT_EQ(t->nbr_cut_connection, 0);
  EXPECT_EQ(t->next, nullptr);
  ASSERT_NE(t->zevo, nullptr);
  const ZEVO_RESULT* z = t->zevo;
  EXPECT_EQ(z->nbr_conditions, 1);
  EXPECT_EQ(z->condition[0], names_[0]);  // the text is shared
  EXPECT_EQ(z->condition[1], nullptr);
  EXPECT_EQ(z->c_val[0], 0.0);
  EXPECT_EQ(z->c_l2[1], 0.0);
  EXPECT_EQ(z->val, 0.0);
  ASSERT_NE(z->nw, nullptr);
  EXPECT_NE(z->nw, context_.nw);
  EXPECT_NE(z->nw->nc[2], context_.nw->nc[2]);
  EXPECT_EQ(z->nw->nc[2]->c, c12_);
}

TEST_F(Trial, AllocationRaisesNoConditionsToOne) {
  const char* none[1] = {nullptr};
  CALC_CUT_CONNECTION_ZEVO* t = alloc_CALC_CUT_CONNECTION_ZEVO(0, none, context_.nw);
  EXPECT_EQ(t->zevo->nbr_conditions, 1);
  EXPECT_EQ(t->zevo->condition[0], nullptr);
  EXPECT_EQ(t->zevo->condition[1], nullptr);
}

TEST_F(Trial, AllocationRefusesMissingNamesOrNetwork) {
  for (int which = 0; which < 2; ++which) {
    CapturedMessages messages;
    EXPECT_THROW(
        alloc_CALC_CUT_CONNECTION_ZEVO(1, which ? names_ : nullptr, which ? nullptr : context_.nw),
        RunEnded);
    EXPECT_EQ(messages.err(), " *** ERROR: NULL POINTER in alloc_CALC_CUT_CONNECTION_ZEVO\n");
    EXPECT_EQ(messages.out(), "");
  }
}

TEST_F(Trial, EveryAllocationOfATrialHasTheSameMessage) {
  // The trial, its result record, the name array and the five number arrays come before the
  // network copy, whose first allocation has a message of its own.
  for (int n = 1; n <= 8; ++n) {
    CapturedMessages messages;
    fail_allocation_after(n);
    EXPECT_THROW(alloc_CALC_CUT_CONNECTION_ZEVO(1, names_, context_.nw), RunEnded);
    fail_allocation_after(0);
    EXPECT_EQ(messages.err(), " *** ERROR: Out of memory in alloc_CALC_CUT_CONNECTION_ZEVO")
        << "allocation " << n;
  }
  CapturedMessages messages;
  fail_allocation_after(9);
  EXPECT_THROW(alloc_CALC_CUT_CONNECTION_ZEVO(1, names_, context_.nw), RunEnded);
  fail_allocation_after(0);
  EXPECT_EQ(messages.err(), " *** ERROR: Out of Memory in copy_network() a\n");
}

TEST_F(Trial, EliminateEmptiesEverySlotOfTheCable) {
  NETWORK* nw = copy_network(context_.nw);
  nw->nc[0] = nw->nc[1];  // the same cable in two slots
  EXPECT_EQ(eliminate_connection(nw, c23_), 0);
  EXPECT_EQ(nw->nc[0], nullptr);
  EXPECT_EQ(nw->nc[1], nullptr);
  EXPECT_EQ(nw->nc[2]->c, c12_);
  EXPECT_EQ(nw->nbr_connection, 3);
  EXPECT_EQ(eliminate_connection(nw, c23_), 1);  // nothing left to empty
  EXPECT_EQ(context_.nw->nc[0]->c, c31_);        // the source is untouched
}

TEST_F(Trial, EliminateRefusesNullArguments) {
  for (int which = 0; which < 2; ++which) {
    CapturedMessages messages;
    EXPECT_THROW(eliminate_connection(which ? context_.nw : nullptr, which ? nullptr : c12_),
                 RunEnded);
    EXPECT_EQ(messages.err(), " *** ERROR: NULL Pointer in eliminate_connection()\n");
  }
}

TEST_F(Trial, SeparatingCutsAreComputed) {
  // C12 and C31 out of the trial's copy: SB1 alone (sub-network 2) against SB2 + SB3.
  CALC_CUT_CONNECTION_ZEVO* t = trial({c12_, c31_});
  calculate_calc_connection_zevo(t);
  EXPECT_EQ(t->cut_flag, kCutSeparates);
  EXPECT_EQ(t->subnetwork1, 2);
  EXPECT_EQ(t->subnetwork2, 1);
  EXPECT_EQ(t->zevo->sub_network1, 2);
  EXPECT_EQ(t->zevo->sub_network2, 1);
  EXPECT_EQ(t->zevo->val, 900.0);
  EXPECT_EQ(t->zevo->nw->nc[0], nullptr);
  EXPECT_EQ(t->zevo->nw->nc[2], nullptr);
  EXPECT_EQ(context_.nw->nc[0]->c, c31_);
}

TEST_F(Trial, JoinedEndsAreNotComputed) {
  CALC_CUT_CONNECTION_ZEVO* t = trial({c31_});  // C12 itself still joins the ends
  calculate_calc_connection_zevo(t);
  EXPECT_EQ(t->cut_flag, kCutJoined);
  EXPECT_EQ(t->subnetwork1, 1);
  EXPECT_EQ(t->subnetwork2, 1);
  EXPECT_EQ(t->zevo->sub_network1, 0);
  EXPECT_EQ(t->zevo->val, 0.0);
}

TEST_F(Trial, CutCableMissingFromTheNetworkIsALogicProblem) {
  CALC_CUT_CONNECTION_ZEVO* t = trial({c31_, c31_});
  CapturedMessages messages;
  EXPECT_THROW(calculate_calc_connection_zevo(t), RunEnded);
  EXPECT_EQ(messages.err(),
            " *** ERROR: logic problem -- connection C31 not in network in "
            "calculate_calc_connection_zevo\n");
}

TEST_F(Trial, IncompleteTrialsEndTheRun) {
  {
    CapturedMessages messages;
    EXPECT_THROW(calculate_calc_connection_zevo(nullptr), RunEnded);
    EXPECT_EQ(messages.err(), " *** ERROR: NULL Pointer in calculate_calc_connection_zevo\n");
  }
  CALC_CUT_CONNECTION_ZEVO* t = trial({c31_});
  NETWORK_NODE** nn = t->zevo->nw->nn;
  t->zevo->nw->nn = nullptr;
  {
    CapturedMessages messages;
    EXPECT_THROW(calculate_calc_connection_zevo(t), RunEnded);
    EXPECT_EQ(messages.err(), " *** Internal  ERROR: ccc->zevo->nw->nn is NULL");
  }
  t->zevo->nw->nn = nn;
  NETWORK* nw = t->zevo->nw;
  t->zevo->nw = nullptr;
  {
    CapturedMessages messages;
    EXPECT_THROW(calculate_calc_connection_zevo(t), RunEnded);
    EXPECT_EQ(messages.err(), " *** Internal  ERROR: ccc->zevo->nw is NULL");
  }
  t->zevo->nw = nw;
  ZEVO_RESULT* zevo = t->zevo;
  t->zevo = nullptr;
  {
    CapturedMessages messages;
    EXPECT_THROW(calculate_calc_connection_zevo(t), RunEnded);
    EXPECT_EQ(messages.err(), " *** Internal  ERROR: ccc->zevo is NULL");
  }
  t->zevo = zevo;
  t->c = nullptr;
  {
    CapturedMessages messages;
    EXPECT_THROW(calculate_calc_connection_zevo(t), RunEnded);
    EXPECT_EQ(messages.err(), " *** INTERNAL ERROR: ccc->c is NULL\n");
    EXPECT_EQ(messages.out(), "");
  }
}

TEST_F(Trial, CableEndOutsideTheNetworkIsReported) {
  CALC_CUT_CONNECTION_ZEVO* t = trial({c31_});
  CONNECTION stray = *c12_;
  NODE elsewhere{"SB9", nullptr, nullptr};
  stray.n1 = &elsewhere;
  t->c = &stray;
  CapturedMessages messages;
  EXPECT_THROW(calculate_calc_connection_zevo(t), RunEnded);
  // With C31 cut, C23 and C12 keep SB1, SB2, SB3 in sub-network 1.
  EXPECT_EQ(messages.err(),
            " *** ERROR, did not find one of the nodes (SB9) 0 (SB2) 1 in "
            "calculate_calc_connection_zevo\n");
}

}  // namespace
}  // namespace zevo
