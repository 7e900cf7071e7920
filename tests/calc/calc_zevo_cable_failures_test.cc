// The messages with which the cut search ends the run on inconsistent records or exhausted
// memory.
#include <gtest/gtest.h>

#include "calc/calc_zevo_cable.h"
#include "model/record_store.h"
#include "network/copy_network.h"
#include "search_network.h"
#include "support/captured_messages.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

using testing::CapturedMessages;

// The ring of three with C12 requested, built but not computed.
class CalcZevoCableFailure : public testing::SearchNetwork {
 protected:
  void SetUp() override {
    SearchNetwork::SetUp();
    condition("normal");
    lc("SB1", 1000, 0);
    lc("SB2", 0, 600);
    lc("SB3", 0, 300);
    cable("C12", "SB1", "SB2");
    cable("C23", "SB2", "SB3");
    cable("C31", "SB3", "SB1");
    cc_ = request("C12");
    build();
  }

  // The number of allocations copy_network makes for the base network.
  long allocations_of_a_copy() {
    const std::size_t before = nbr_records_held();
    copy_network(context_.nw);
    return static_cast<long>(nbr_records_held() - before);
  }

  CALC_CONNECTION* cc_ = nullptr;
};

TEST_F(CalcZevoCableFailure, NullArguments) {
  for (int which = 0; which < 2; ++which) {
    CapturedMessages messages;
    EXPECT_THROW(calc_zevo_cable(which ? &context_ : nullptr, which ? nullptr : cc_), RunEnded);
    EXPECT_EQ(messages.err(), " *** ERROR: NULL POINTER in calc_zevo_cable\n");
    EXPECT_EQ(messages.out(), "");
  }
}

TEST_F(CalcZevoCableFailure, ConditionCountDisagreeingWithTheList) {
  for (int count : {2, 0}) {  // one entry too few, one left over
    CALC_CONNECTION* cc = testing::add_calc_connection(&context_, "C12");
    cc->c = cc_->c;
    context_.nbr_calc_conditions = count;
    CapturedMessages messages;
    EXPECT_THROW(calc_zevo_cable(&context_, cc), RunEnded);
    EXPECT_EQ(messages.out(),
              "*** ERROR: number of calc_conditions not correct (" + std::to_string(count) + ")");
    EXPECT_EQ(messages.err(), "");
  }
}

TEST_F(CalcZevoCableFailure, CableMissingFromTheNetwork) {
  CONNECTION stray = *cc_->c;
  cc_->c = &stray;
  CapturedMessages messages;
  EXPECT_THROW(calc_zevo_cable(&context_, cc_), RunEnded);
  EXPECT_EQ(messages.out(), " *** ERROR: cannot find cable C12 in network (3) (3)\n");
  EXPECT_EQ(messages.err(), "");
}

TEST_F(CalcZevoCableFailure, CableEndMissingFromTheNetwork) {
  NODE elsewhere{"SB9", nullptr, nullptr};
  cc_->c->n2 = &elsewhere;  // after the base network was built
  CapturedMessages messages;
  EXPECT_THROW(calc_zevo_cable(&context_, cc_), RunEnded);
  EXPECT_EQ(messages.out(), " ERROR: cannot find one of the nodes for cable C12 in network \n");
  EXPECT_EQ(messages.err(), "");
}

TEST_F(CalcZevoCableFailure, ResultArraysOutOfMemoryGoToStandardOutput) {
  // The cable's copy comes first; the six arrays of the result follow it.
  const long copy = allocations_of_a_copy();
  for (long n = copy + 1; n <= copy + 6; ++n) {
    CALC_CONNECTION* cc = testing::add_calc_connection(&context_, "C12");
    cc->c = cc_->c;
    CapturedMessages messages;
    fail_allocation_after(n);
    EXPECT_THROW(calc_zevo_cable(&context_, cc), RunEnded);
    fail_allocation_after(0);
    EXPECT_EQ(messages.out(), " *** ERROR: Out of memory in calc_zevo_cable\n") << n;
    EXPECT_EQ(messages.err(), "");
  }
}

TEST_F(CalcZevoCableFailure, CutOutOfMemoryGoesToStandardError) {
  // Before the first cut: the cable's copy, its six arrays, the loop counts of its renumbering
  // and the first trial (8 records and a copy of the cable's network, one cable entry short).
  const long copy = allocations_of_a_copy();
  CapturedMessages messages;
  fail_allocation_after(copy + 6 + 1 + 8 + (copy - 1) + 1);
  EXPECT_THROW(calc_zevo_cable(&context_, cc_), RunEnded);
  fail_allocation_after(0);
  EXPECT_EQ(messages.err(), " *** ERROR: Out of Memory in calc_zevo_cable cutc\n");
  EXPECT_EQ(messages.out(), "");
}

}  // namespace
}  // namespace zevo
