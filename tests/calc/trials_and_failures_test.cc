// One trial of the cut search, its allocation and the removal of its cuts, and the messages
// with which the balance and the cut search end the run, each on its own stream.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>

#include "calc/balance.h"
#include "calc/calc_zevo_cable.h"
#include "calc/reference/literal_cut_search.h"
#include "model/record_store.h"
#include "network/copy_network.h"
#include "search_network.h"
#include "support/captured_messages.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

// The ring with C12 requested, built but not computed; a trial t_ for C12 that cuts C31; and a
// copy of C12 that is in no network, with its n1 a node of no network.
class BuiltRing : public testing::SearchNetwork {
 public:
  void SetUp() override {
    SearchNetwork::SetUp();
    cc_ = build(testing::kRingLcs, testing::kRingCables, {"C12"})[0];
    c31_ = context_.connections;  // the list runs C31, C23, C12
    c23_ = c31_->next;
    c12_ = c23_->next;
    names_[0] = context_.calc_conditions->name;
    t_ = trial({c31_});
    stray_ = *c12_;
    stray_.n1 = &elsewhere_;
  }
  // A trial for C12 on the base network, cutting `cuts` in that order.
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

  CALC_CONNECTION* cc_ = nullptr;
  CONNECTION *c12_ = nullptr, *c23_ = nullptr, *c31_ = nullptr;
  const char* names_[2] = {nullptr, nullptr};
  CALC_CUT_CONNECTION_ZEVO* t_ = nullptr;
  CONNECTION stray_;
  NODE elsewhere_{"SB9", nullptr, nullptr};
};

TEST_F(BuiltRing, AllocationGivesAnEmptyTrialOnAFreshCopy) {
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

TEST_F(BuiltRing, AllocationRaisesNoConditionsToOne) {
  const char* none[1] = {nullptr};
  CALC_CUT_CONNECTION_ZEVO* t = alloc_CALC_CUT_CONNECTION_ZEVO(0, none, context_.nw);
  EXPECT_EQ(t->zevo->nbr_conditions, 1);
  EXPECT_EQ(t->zevo->condition[0], nullptr);
  EXPECT_EQ(t->zevo->condition[1], nullptr);
}

TEST_F(BuiltRing, EliminateEmptiesEverySlotOfTheCable) {
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

// Runs `call`, which must end the run, checks that it printed exactly `message` on `stream` and
// nothing on the other one. With `fail_at`, the fail_at-th allocation of the call fails.
void expect_run_ends(const std::function<void()>& call, Stream stream, const std::string& message,
                     long fail_at = 0) {
  testing::CapturedMessages messages;
  fail_allocation_after(fail_at);
  EXPECT_THROW(call(), RunEnded);
  fail_allocation_after(0);
  EXPECT_EQ(messages.out(), stream == Stream::out ? message : "");
  EXPECT_EQ(messages.err(), stream == Stream::err ? message : "");
}

struct FailureCase;
struct Failure : BuiltRing, ::testing::WithParamInterface<FailureCase> {};
struct FailureCase {
  const char* name;
  void (*spoil)(Failure&);  // may be null
  void (*call)(Failure&);
  Stream stream;
  const char* message;
};
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

TEST_P(Failure, EndsTheRunWithItsMessage) {
  if (GetParam().spoil) GetParam().spoil(*this);
  expect_run_ends([&] { GetParam().call(*this); }, GetParam().stream, GetParam().message);
}

void compute_c12(Failure& f) { calc_zevo_cable(&f.context_, f.cc_); }
void literal_c12(Failure& f) { literal_calc_zevo_cable(&f.context_, f.cc_); }
void compute_trial(Failure& f) { calculate_calc_connection_zevo(f.t_); }

const FailureCase kCases[] = {
    {"CalcZevoCableWithoutContext", nullptr, [](Failure& f) { calc_zevo_cable(nullptr, f.cc_); },
     Stream::err, " *** ERROR: NULL POINTER in calc_zevo_cable\n"},
    {"CalcZevoCableWithoutCable", nullptr,
     [](Failure& f) { calc_zevo_cable(&f.context_, nullptr); }, Stream::err,
     " *** ERROR: NULL POINTER in calc_zevo_cable\n"},
    {"ConditionListOneEntryShort", [](Failure& f) { f.context_.nbr_calc_conditions = 2; },
     compute_c12, Stream::out, "*** ERROR: number of calc_conditions not correct (2)"},
    {"ConditionListWithAnEntryLeftOver", [](Failure& f) { f.context_.nbr_calc_conditions = 0; },
     compute_c12, Stream::out, "*** ERROR: number of calc_conditions not correct (0)"},
    {"CableMissingFromTheNetwork", [](Failure& f) { f.cc_->c = &f.stray_; }, compute_c12,
     Stream::out, " *** ERROR: cannot find cable C12 in network (3) (3)\n"},
    {"CableEndMissingFromTheNetwork",  // after the base network was built
     [](Failure& f) { f.c12_->n2 = &f.elsewhere_; }, compute_c12, Stream::out,
     " ERROR: cannot find one of the nodes for cable C12 in network \n"},
    {"LiteralCableMissingFromTheNetwork", [](Failure& f) { f.cc_->c = &f.stray_; }, literal_c12,
     Stream::out, " *** ERROR: cannot find cable C12 in network (3) (3)\n"},
    {"LiteralCableEndMissingFromTheNetwork", [](Failure& f) { f.c12_->n2 = &f.elsewhere_; },
     literal_c12, Stream::out, " ERROR: cannot find one of the nodes for cable C12 in network \n"},
    {"AllocationWithoutNames", nullptr,
     [](Failure& f) { alloc_CALC_CUT_CONNECTION_ZEVO(1, nullptr, f.context_.nw); }, Stream::err,
     " *** ERROR: NULL POINTER in alloc_CALC_CUT_CONNECTION_ZEVO\n"},
    {"AllocationWithoutNetwork", nullptr,
     [](Failure& f) { alloc_CALC_CUT_CONNECTION_ZEVO(1, f.names_, nullptr); }, Stream::err,
     " *** ERROR: NULL POINTER in alloc_CALC_CUT_CONNECTION_ZEVO\n"},
    {"EliminateWithoutNetwork", nullptr, [](Failure& f) { eliminate_connection(nullptr, f.c12_); },
     Stream::err, " *** ERROR: NULL Pointer in eliminate_connection()\n"},
    {"EliminateWithoutCable", nullptr,
     [](Failure& f) { eliminate_connection(f.context_.nw, nullptr); }, Stream::err,
     " *** ERROR: NULL Pointer in eliminate_connection()\n"},
    {"TrialIsNull", nullptr, [](Failure&) { calculate_calc_connection_zevo(nullptr); }, Stream::err,
     " *** ERROR: NULL Pointer in calculate_calc_connection_zevo\n"},
    {"TrialWithoutResult", [](Failure& f) { f.t_->zevo = nullptr; }, compute_trial, Stream::err,
     " *** Internal  ERROR: ccc->zevo is NULL"},
    {"TrialResultWithoutNetwork", [](Failure& f) { f.t_->zevo->nw = nullptr; }, compute_trial,
     Stream::err, " *** Internal  ERROR: ccc->zevo->nw is NULL"},
    {"TrialNetworkWithoutNodes", [](Failure& f) { f.t_->zevo->nw->nn = nullptr; }, compute_trial,
     Stream::err, " *** Internal  ERROR: ccc->zevo->nw->nn is NULL"},
    {"TrialWithoutCable", [](Failure& f) { f.t_->c = nullptr; }, compute_trial, Stream::err,
     " *** INTERNAL ERROR: ccc->c is NULL\n"},
    {"CutCableMissingFromTheNetworkIsALogicProblem", nullptr,
     [](Failure& f) {
       calculate_calc_connection_zevo(f.trial({f.c31_, f.c31_}));
     },
     Stream::err,
     " *** ERROR: logic problem -- connection C31 not in network in "
     "calculate_calc_connection_zevo\n"},
    // With C31 cut, C23 and C12 keep SB1, SB2, SB3 in sub-network 1; SB9 is nowhere.
    {"TrialCableEndOutsideTheNetwork", [](Failure& f) { f.t_->c = &f.stray_; }, compute_trial,
     Stream::err,
     " *** ERROR, did not find one of the nodes (SB9) 0 (SB2) 1 in "
     "calculate_calc_connection_zevo\n"},
    {"BalanceOfOneConditionWithoutRecord", nullptr, [](Failure&) { calculate_zevo_ci(nullptr, 0); },
     Stream::out, " *** ERROR, NULL pointere in calculate_zevo"},
    {"BalanceWithoutRecord", nullptr, [](Failure&) { calculate_zevo(nullptr); }, Stream::out,
     " *** ERROR: NULL Pointer in calculate_zevo()\n"},
    // The trial's result has one condition: index 0 is the only one in range.
    {"ConditionIndexEqualToTheCount", nullptr, [](Failure& f) { calculate_zevo_ci(f.t_->zevo, 1); },
     Stream::out, "*** ERROR: specified condition index is out of range (1  0 - 1)\n"},
    {"NegativeConditionIndex", nullptr, [](Failure& f) { calculate_zevo_ci(f.t_->zevo, -1); },
     Stream::out, "*** ERROR: specified condition index is out of range (-1  0 - 1)\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, Failure, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The number of allocations copy_network makes for the base network.
long allocations_of_a_copy(const NETWORK* nw) {
  const std::size_t before = nbr_records_held();
  copy_network(nw);
  return static_cast<long>(nbr_records_held() - before);
}

using OutOfMemory = BuiltRing;

TEST_F(OutOfMemory, EveryAllocationOfATrialHasTheSameMessage) {
  // The trial, its result record, the name array and the five number arrays come before the
  // network copy, whose first allocation has a message of its own.
  for (int n = 1; n <= 9; ++n) {
    SCOPED_TRACE(n);
    expect_run_ends([&] { alloc_CALC_CUT_CONNECTION_ZEVO(1, names_, context_.nw); }, Stream::err,
                    n <= 8 ? " *** ERROR: Out of memory in alloc_CALC_CUT_CONNECTION_ZEVO"
                           : " *** ERROR: Out of Memory in copy_network() a\n",
                    n);
  }
}

TEST_F(OutOfMemory, ResultArraysOfTheCableGoToStandardOutput) {
  // The six arrays of the result are the search's only records.
  for (long n = 1; n <= 6; ++n) {
    SCOPED_TRACE(n);
    expect_run_ends([&] { calc_zevo_cable(&context_, cc_); }, Stream::out,
                    " *** ERROR: Out of memory in calc_zevo_cable\n", n);
  }
}

TEST_F(OutOfMemory, LiteralResultArraysGoToStandardOutputAndCutsToStandardError) {
  // The cable's copy comes first; the six arrays of the result follow it. Then, before the
  // first cut: the loop counts of the renumbering and the first trial (8 records and a copy of
  // the cable's network, one cable entry short).
  const long copy = allocations_of_a_copy(context_.nw);
  auto compute_c12 = [&] { literal_calc_zevo_cable(&context_, cc_); };
  for (long n = copy + 1; n <= copy + 6; ++n) {
    SCOPED_TRACE(n);
    expect_run_ends(compute_c12, Stream::out, " *** ERROR: Out of memory in calc_zevo_cable\n", n);
  }
  expect_run_ends(compute_c12, Stream::err, " *** ERROR: Out of Memory in calc_zevo_cable cutc\n",
                  copy + 6 + 1 + 8 + (copy - 1) + 1);
}

}  // namespace
}  // namespace zevo
