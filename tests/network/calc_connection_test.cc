#include "network/calc_connection.h"

#include <gtest/gtest.h>

#include <utility>

#include "model/messages.h"
#include "network_text.h"
#include "support/captured_messages.h"

namespace zevo {
namespace {

TEST(CalcConnection, ResolvesCableEndsBusTransferEndsAndRequestedCables) {
  ZEVO_CONTEXT context;
  zevo_init(&context);
  testing::add_records(&context, "P Q R | PQ=P-Q RR=R-R | B=R-P | PQ PQ RR");
  testing::CapturedMessages messages;
  calc_connection(&context);
  // Every list holds its records in reverse: nodes R, Q, P; cables RR, PQ; requests RR, PQ, PQ.
  const NODE* r = context.nodes;
  const NODE* q = r->next;
  const NODE* p = q->next;
  const CONNECTION* rr = context.connections;
  const CONNECTION* pq = rr->next;
  EXPECT_EQ(pq->n1, p);
  EXPECT_EQ(pq->n2, q);
  EXPECT_EQ(rr->n1, r);
  EXPECT_EQ(rr->n2, r);
  EXPECT_EQ(context.bustransfers->n1, r);
  EXPECT_EQ(context.bustransfers->n2, p);
  EXPECT_EQ(context.calc_connections->c, rr);
  EXPECT_EQ(context.calc_connections->next->c, pq);
  EXPECT_EQ(context.calc_connections->next->next->c, pq);  // requested twice: the one cable
  EXPECT_EQ(messages.out(), "");
  EXPECT_EQ(messages.err(), "");
}

// The first reference that does not resolve ends the run with its message on standard output.
// Names differing only in case do not match; a missing name matches nothing. Cables are
// resolved before bus transfers, and bus transfers before requested cables; each list is
// walked from its head, that is from the record read last.
TEST(CalcConnection, UnresolvedReferenceStopsTheRun) {
  const std::pair<const char*, const char*> cases[] = {
      {"sb1 SB2 | C1=SB1-SB2", " *** ERROR: Connection C1 node not found (SB1 SB2)\n"},
      {"A B | cable=A-B | | CABLE", " *** ERROR: Cable (CABLE) does not exist in calc_connection"},
      {"A | C9=A-Z", " *** ERROR: Connection C9 node not found (A Z)\n"},
      {"A | C8=Z-A", " *** ERROR: Connection C8 node not found (Z A)\n"},
      {"A B | C1=A-B | BT1=B-Y", " *** ERROR: Bus Transfer BT1 node not found (B Y)\n"},
      {"A | CX=A-X | BT1=A-Y", " *** ERROR: Connection CX node not found (A X)\n"},
      {"A | | BT1=A-Y | NONE", " *** ERROR: Bus Transfer BT1 node not found (A Y)\n"},
      {"A | read_first=A-X read_last=A-Y",
       " *** ERROR: Connection read_last node not found (A Y)\n"},
      {"~ A | ~=A-~", " *** ERROR: Connection NULL node not found (A NULL)\n"},
  };
  for (const auto& [network, message] : cases) {
    SCOPED_TRACE(network);
    ZEVO_CONTEXT context;
    zevo_init(&context);
    testing::add_records(&context, network);
    testing::CapturedMessages messages;
    EXPECT_THROW(calc_connection(&context), RunEnded);
    EXPECT_EQ(messages.out(), message);
    EXPECT_EQ(messages.err(), "");
  }
}

}  // namespace
}  // namespace zevo
