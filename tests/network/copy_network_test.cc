#include "network/copy_network.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "model/messages.h"
#include "model/record_store.h"
#include "network/sub_networks.h"
#include "network_text.h"
#include "support/captured_messages.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

using testing::CapturedMessages;
using testing::numbering;
using testing::slot_names;

const char kRingNames[] = "nc SP RS QR PQ - / nn S R Q P - / bt T -";
const char kRingNumbers[] = "nc 1 1 1 1 / nn 1 1 1 1 / bt 1:1 / loops 1";

// A ring P-Q-R-S-P (cables PQ, QR, RS, SP; nc: SP, RS, QR, PQ) with a bus transfer P-R.
class CopyNetwork : public ::testing::Test {
 protected:
  void SetUp() override {
    zevo_init(&context);
    testing::add_records(&context, "P Q R S | PQ=P-Q QR=Q-R RS=R-S SP=S-P | T=P-R");
    testing::build_network(&context);
  }

  // What standard error receives when copying `source` ends the run.
  std::string error_when_allocation_fails(const NETWORK* source, long n) {
    CapturedMessages messages;
    fail_allocation_after(n);
    EXPECT_THROW(copy_network(source), RunEnded);
    fail_allocation_after(0);
    EXPECT_EQ(messages.out(), "");
    return messages.err();
  }

  ZEVO_CONTEXT context;
};

TEST_F(CopyNetwork, CopyHasItsOwnEntriesPointingAtTheSameInputRecords) {
  const NETWORK* base = context.nw;
  NETWORK* copy = copy_network(base);
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy, base);
  EXPECT_EQ(slot_names(copy), kRingNames);
  EXPECT_EQ(numbering(copy), kRingNumbers);
  // That the arrays and entries are the copy's own shows in the next test.
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(copy->nc[i]->c, base->nc[i]->c);
    EXPECT_EQ(copy->nn[i]->n, base->nn[i]->n);
  }
  EXPECT_EQ(copy->nbt[0]->bt, base->nbt[0]->bt);
  // Loop counts: one more entry than the source's, with entries 0 and 2 left at 0.
  EXPECT_NE(copy->nbr_loops, base->nbr_loops);
  EXPECT_EQ(copy->nbr_loops[0], 0);
  EXPECT_EQ(copy->nbr_loops[2], 0);
}

// Left in the copy: SP (slot 0) joins S and P, QR (slot 2) joins Q and R.
TEST_F(CopyNetwork, EmptyingAndRenumberingACopyLeavesTheSourceUntouched) {
  NETWORK* copy = copy_network(context.nw);
  copy->nc[1] = nullptr;  // RS
  copy->nc[3] = nullptr;  // PQ
  identify_sub_networks(copy);
  EXPECT_EQ(numbering(copy), "nc 1 - 2 - / nn 1 2 2 1 / bt 1:2 / loops 0 0");
  EXPECT_EQ(slot_names(context.nw), kRingNames);
  EXPECT_EQ(numbering(context.nw), kRingNumbers);
}

TEST_F(CopyNetwork, RemovedSlotsStayRemovedInCopiesOfCopies) {
  NETWORK* first = copy_network(context.nw);
  first->nc[2] = nullptr;
  NETWORK* second = copy_network(first);
  EXPECT_EQ(slot_names(second), "nc SP RS - PQ - / nn S R Q P - / bt T -");
  EXPECT_EQ(slot_names(copy_network(second)), "nc SP RS - PQ - / nn S R Q P - / bt T -");
}

TEST(CopyNetworkOfNull, IsNullAndSilent) {
  CapturedMessages messages;
  EXPECT_EQ(copy_network(nullptr), nullptr);
  EXPECT_EQ(messages.out(), "");
  EXPECT_EQ(messages.err(), "");
}

// Allocation order: the record, nc, 4 cable entries, nn, 4 lc entries, nbt, 1 bus transfer
// entry, the loop counts. The letter f is used twice.
TEST_F(CopyNetwork, ExhaustedMemoryNamesTheAllocationSite) {
  const std::pair<long, const char*> cases[] = {
      {1, " *** ERROR: Out of Memory in copy_network() a\n"},
      {2, " *** ERROR: Out of Memory in copy_network() b\n"},
      {3, " *** ERROR: Out of Memory in copy_network() c\n"},
      {7, " *** ERROR: Out of Memory in copy_network() d\n"},
      {8, " *** ERROR: Out of Memory in copy_network() e\n"},
      {12, " *** ERROR: Out of Memory in copy_network() f\n"},
      {13, " *** ERROR: Out of Memory in copy_network() g\n"},
      {14, " *** ERROR: Out of Memory in copy_network() f\n"},
  };
  for (const auto& [n, message] : cases) {
    SCOPED_TRACE(n);
    EXPECT_EQ(error_when_allocation_fails(context.nw, n), message);
  }
  // Null slots allocate no entry: record, nc, 3 cable entries, nn, 3 lc entries, then nbt.
  NETWORK* emptied = copy_network(context.nw);
  emptied->nc[0] = nullptr;
  emptied->nn[0] = nullptr;
  EXPECT_EQ(error_when_allocation_fails(emptied, 10),
            " *** ERROR: Out of Memory in copy_network() f\n");
}

}  // namespace
}  // namespace zevo
