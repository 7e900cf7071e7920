#include "network/calc_connection.h"

#include <gtest/gtest.h>

#include "model/messages.h"
#include "support/captured_messages.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

using testing::add_bus_transfer;
using testing::add_calc_connection;
using testing::add_connection;
using testing::add_node;
using testing::CapturedMessages;

class CalcConnection : public ::testing::Test {
 protected:
  void SetUp() override { zevo_init(&context); }
  ZEVO_CONTEXT context;
};

TEST_F(CalcConnection, ResolvesCableEndsBusTransferEndsAndRequestedCables) {
  NODE* p = add_node(&context, "P");
  NODE* q = add_node(&context, "Q");
  NODE* r = add_node(&context, "R");
  CONNECTION* pq = add_connection(&context, "PQ", "P", "Q");
  CONNECTION* rr = add_connection(&context, "RR", "R", "R");
  BUS_TRANSFER* bt = add_bus_transfer(&context, "B", "R", "P");
  CALC_CONNECTION* first = add_calc_connection(&context, "PQ");
  CALC_CONNECTION* again = add_calc_connection(&context, "PQ");
  CALC_CONNECTION* other = add_calc_connection(&context, "RR");

  CapturedMessages messages;
  calc_connection(&context);

  EXPECT_EQ(pq->n1, p);
  EXPECT_EQ(pq->n2, q);
  EXPECT_EQ(rr->n1, r);
  EXPECT_EQ(rr->n2, r);
  EXPECT_EQ(bt->n1, r);
  EXPECT_EQ(bt->n2, p);
  EXPECT_EQ(first->c, pq);
  EXPECT_EQ(again->c, pq);  // requested twice: both point at the one cable
  EXPECT_EQ(other->c, rr);
  EXPECT_EQ(messages.out(), "");
  EXPECT_EQ(messages.err(), "");
}

TEST_F(CalcConnection, NamesDifferingOnlyInCaseDoNotMatch) {
  add_node(&context, "sb1");
  add_node(&context, "SB2");
  add_connection(&context, "C1", "SB1", "SB2");
  CapturedMessages messages;
  EXPECT_THROW(calc_connection(&context), RunEnded);
  EXPECT_EQ(messages.out(), " *** ERROR: Connection C1 node not found (SB1 SB2)\n");
  EXPECT_EQ(messages.err(), "");
}

TEST_F(CalcConnection, RequestedCableMatchedOnlyWithExactCase) {
  add_node(&context, "A");
  add_node(&context, "B");
  add_connection(&context, "cable", "A", "B");
  add_calc_connection(&context, "CABLE");
  CapturedMessages messages;
  EXPECT_THROW(calc_connection(&context), RunEnded);
  EXPECT_EQ(messages.out(), " *** ERROR: Cable (CABLE) does not exist in calc_connection");
}

TEST_F(CalcConnection, EitherMissingCableEndStopsTheRun) {
  add_node(&context, "A");
  add_connection(&context, "C9", "A", "Z");
  {
    CapturedMessages messages;
    EXPECT_THROW(calc_connection(&context), RunEnded);
    EXPECT_EQ(messages.out(), " *** ERROR: Connection C9 node not found (A Z)\n");
  }
  ZEVO_CONTEXT second;
  zevo_init(&second);
  add_node(&second, "A");
  add_connection(&second, "C8", "Z", "A");
  CapturedMessages messages;
  EXPECT_THROW(calc_connection(&second), RunEnded);
  EXPECT_EQ(messages.out(), " *** ERROR: Connection C8 node not found (Z A)\n");
}

TEST_F(CalcConnection, MissingBusTransferEndStopsTheRunAfterTheCables) {
  add_node(&context, "A");
  add_node(&context, "B");
  CONNECTION* c = add_connection(&context, "C1", "A", "B");
  add_bus_transfer(&context, "BT1", "B", "Y");
  CapturedMessages messages;
  EXPECT_THROW(calc_connection(&context), RunEnded);
  EXPECT_EQ(messages.out(), " *** ERROR: Bus Transfer BT1 node not found (B Y)\n");
  EXPECT_NE(c->n1, nullptr);  // the cable pass ran first
}

TEST_F(CalcConnection, FirstUnresolvedCableInListOrderIsReported) {
  add_node(&context, "A");
  add_connection(&context, "read_first", "A", "X");
  add_connection(&context, "read_last", "A", "Y");  // head of the list: walked first
  CapturedMessages messages;
  EXPECT_THROW(calc_connection(&context), RunEnded);
  EXPECT_EQ(messages.out(), " *** ERROR: Connection read_last node not found (A Y)\n");
}

TEST_F(CalcConnection, UnnamedRecordsMatchNothing) {
  add_node(&context, nullptr);
  add_node(&context, "A");
  add_connection(&context, nullptr, "A", nullptr);
  CapturedMessages messages;
  EXPECT_THROW(calc_connection(&context), RunEnded);
  EXPECT_EQ(messages.out(), " *** ERROR: Connection (null) node not found (A (null))\n");
}

}  // namespace
}  // namespace zevo
