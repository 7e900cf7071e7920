#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "model/messages.h"
#include "model/record_store.h"
#include "network/calc_connection.h"
#include "network/copy_network.h"
#include "network_text.h"
#include "support/captured_messages.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

using testing::CapturedMessages;

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
