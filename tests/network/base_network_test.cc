// The base network: name references resolved, then the arrays built from the lists and
// numbered.
#include "network/base_network.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <utility>

#include "model/messages.h"
#include "model/record_store.h"
#include "network/copy_network.h"
#include "network_text.h"
#include "support/captured_messages.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

using testing::CapturedMessages;

TEST(CalcConnection, ResolvesCableEndsBusTransferEndsAndRequestedCables) {
  ZEVO_CONTEXT context;
  zevo_init(&context);
  testing::add_records(&context, "P Q R | PQ=P-Q RR=R-R | B=R-P | PQ PQ RR");
  CapturedMessages messages;
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
    CapturedMessages messages;
    EXPECT_THROW(calc_connection(&context), RunEnded);
    EXPECT_EQ(messages.out(), message);
    EXPECT_EQ(messages.err(), "");
  }
}

// Name resolution looks names up in an index; here it is compared with the walk from the head
// of the nodes list that it replaces, on random inputs with repeated and missing names.

bool same(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }

// Every node named like an end sets it; the walk stops once both ends are set.
bool resolve_by_walking(NODE* nodes, const char* lc1, NODE** n1, const char* lc2, NODE** n2) {
  for (NODE* node = nodes; node && !(*n1 && *n2); node = node->next) {
    if (same(lc1, node->name)) *n1 = node;
    if (same(lc2, node->name)) *n2 = node;
  }
  return *n1 && *n2;
}

// One of three names, or none; the builder copies the text.
const char* random_name(std::mt19937& random) {
  static const char* const kNames[] = {nullptr, "a", "b", "c"};
  return kNames[random() % 4];
}

TEST(CalcConnectionRandom, ResolvesEveryEndAsTheWalkFromTheHeadDoes) {
  std::mt19937 random(8122026);
  int nbr_resolved = 0;
  for (int round = 0; round < 5000; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    ZEVO_CONTEXT context;
    zevo_init(&context);
    for (int i = static_cast<int>(random() % 6); i > 0; --i) {
      testing::add_node(&context, random_name(random));
    }
    CONNECTION* cable =
        testing::add_connection(&context, "C", random_name(random), random_name(random));
    NODE* preset = context.nodes && random() % 4 == 0 ? context.nodes : nullptr;
    cable->n1 = preset;

    NODE* n1 = preset;
    NODE* n2 = nullptr;
    const bool resolves = resolve_by_walking(context.nodes, cable->lc1, &n1, cable->lc2, &n2);
    CapturedMessages messages;
    if (resolves) {
      calc_connection(&context);
      EXPECT_EQ(cable->n1, n1);
      EXPECT_EQ(cable->n2, n2);
      ++nbr_resolved;
    } else {
      EXPECT_THROW(calc_connection(&context), RunEnded);
      EXPECT_NE(messages.out().find(" node not found ("), std::string::npos);
    }
  }
  EXPECT_GT(nbr_resolved, 1000);  // both outcomes are exercised
}

// Lcs N1, N2, N3; cables C1 (N1-N2) and C2, C3 (both N2-N3); bus transfers B1 (N1-N3) and
// B2 (N3-N3); each kind given in that order, as a document would.
class CreateBaseNetwork : public ::testing::Test {
 protected:
  void SetUp() override {
    zevo_init(&context);
    testing::add_records(&context, "N1 N2 N3 | C1=N1-N2 C2=N2-N3 C3=N2-N3 | B1=N1-N3 B2=N3-N3");
    calc_connection(&context);
  }

  // What standard error receives when the build ends the run; nothing goes to standard output.
  std::string error_of_build() {
    CapturedMessages messages;
    EXPECT_THROW(create_base_network(&context), RunEnded);
    fail_allocation_after(0);
    EXPECT_EQ(messages.out(), "");
    return messages.err();
  }

  ZEVO_CONTEXT context;
};

// Each array ends in a null slot; the numbering comes last: C3 and C2 in parallel between N2
// and N3, C1 on to N1, 3 - 3 + 1 = 1 loop.
TEST_F(CreateBaseNetwork, ArraysHoldTheListsInReverseDocumentOrderAndAreNumbered) {
  create_base_network(&context);
  NETWORK* nw = context.nw;
  EXPECT_EQ(testing::slot_names(nw), "nc C3 C2 C1 - / nn N3 N2 N1 - / bt B2 B1 -");
  EXPECT_EQ(nw->nc[2]->c, testing::find_connection(&context, "C1"));
  EXPECT_EQ(nw->nn[2]->n, context.nodes->next->next);
  EXPECT_EQ(testing::numbering(nw), "nc 1 1 1 / nn 1 1 1 / bt 1:1 1:1 / loops 1");
}

// A copy keeps the one null slot of a kind that has no records.
TEST(CreateBaseNetworkOfFewRecords, GivesOneNullSlotForEveryMissingKind) {
  ZEVO_CONTEXT context;
  zevo_init(&context);
  testing::add_records(&context, "A B | AB=A-B");
  testing::build_network(&context);
  EXPECT_EQ(testing::slot_names(context.nw), "nc AB - / nn B A - / bt -");
  EXPECT_EQ(testing::slot_names(copy_network(context.nw)), "nc AB - / nn B A - / bt -");

  zevo_init(&context);
  create_base_network(&context);
  EXPECT_EQ(testing::slot_names(context.nw), "nc - / nn - / bt -");
  EXPECT_EQ(context.nw->nbr_sub_networks, 0);
  EXPECT_NE(context.nw->nbr_loops, nullptr);
}

TEST_F(CreateBaseNetwork, CountAboveOrBelowTheListLengthStopsTheRun) {
  struct Case {
    int ZEVO_CONTEXT::*count;
    int value;
    const char* message;
  };
  const Case cases[] = {
      {&ZEVO_CONTEXT::nbr_connections, 4,
       " *** ERROR: nbr_connections (4) does not equal number of connections\n"},
      {&ZEVO_CONTEXT::nbr_connections, 2,
       " *** ERROR: nbr_connections (2) does not equal number of connections\n"},
      {&ZEVO_CONTEXT::nbr_nodes, 5, " *** ERROR: nbr_nodes (5) does not equal number of nodes\n"},
      {&ZEVO_CONTEXT::nbr_nodes, 0, " *** ERROR: nbr_nodes (0) does not equal number of nodes\n"},
      {&ZEVO_CONTEXT::nbr_bustransfers, 3,
       " *** ERROR: nbr_bustransfers (3) does not equal number of bustransfers\n"},
      {&ZEVO_CONTEXT::nbr_bustransfers, 1,
       " *** ERROR: nbr_bustransfers (1) does not equal number of bustransfers\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const int right = context.*c.count;
    context.*c.count = c.value;
    EXPECT_EQ(error_of_build(), c.message);
    context.*c.count = right;
  }
}

TEST(CreateBaseNetworkOfNull, StopsTheRun) {
  CapturedMessages messages;
  EXPECT_THROW(create_base_network(nullptr), RunEnded);
  EXPECT_EQ(messages.err(), " *** ERROR: Null pointer in create_base_network\n");
}

// Allocation order: nc, 3 cable entries, nn, 3 node entries, nbt, 2 bus transfer entries,
// then the loop counts of identify_sub_networks.
TEST_F(CreateBaseNetwork, ExhaustedMemoryNamesTheAllocationSite) {
  const std::pair<long, const char*> cases[] = {
      {1, " *** ERROR: Out of Memory in create_base_network() b\n"},
      {2, " *** ERROR: Out of Memory in create_base_network() a\n"},
      {4, " *** ERROR: Out of Memory in create_base_network() a\n"},
      {5, " *** ERROR: Out of Memory in create_base_network() c\n"},
      {6, " *** ERROR: Out of Memory in create_base_network() d\n"},
      {9, " *** ERROR: Out of Memory in create_base_network() e\n"},
      {11, " *** ERROR: Out of Memory in create_base_network() f\n"},
      {12, " *** ERROR: Out of Memory in identify_sub_networks() a\n"},
  };
  for (const auto& [n, message] : cases) {
    SCOPED_TRACE(n);
    fail_allocation_after(n);
    EXPECT_EQ(error_of_build(), message);
  }
}

}  // namespace
}  // namespace zevo
