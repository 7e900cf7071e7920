#include "network/identify_sub_networks.h"

#include <gtest/gtest.h>

#include <string>

#include "model/messages.h"
#include "model/record_store.h"
#include "network/copy_network.h"
#include "network_text.h"
#include "support/captured_messages.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

// Every entry of `nw` gets a wrong number, which a new run must not trust.
void plant_stale_numbers(NETWORK* nw) {
  for (int k = 0; k < nw->nbr_connection; ++k) {
    if (nw->nc[k]) nw->nc[k]->sub_network = 7;
  }
  for (int i = 0; i < nw->nbr_network_nodes; ++i) {
    if (nw->nn[i]) nw->nn[i]->sub_network = 7;
  }
  for (int t = 0; t < nw->nbr_bustransfers; ++t) {
    if (nw->nbt[t]) nw->nbt[t]->sub_network1 = nw->nbt[t]->sub_network2 = 9;
  }
}

// Records are given in document order, so every array holds them reversed.
struct Case {
  const char* name;
  const char* network;
  const char* emptied;  // slots emptied after building, before renumbering
  const char* expected;
};

const Case kCases[] = {
    {"ring of three", "P Q R | PQ=P-Q QR=Q-R RP=R-P", "", "nc 1 1 1 / nn 1 1 1 / bt / loops 1"},
    {"parallel pair", "P Q | A=P-Q B=Q-P", "", "nc 1 1 / nn 1 1 / bt / loops 1"},
    {"radial feeder", "P Q R S | PQ=P-Q QR=Q-R RS=R-S", "", "nc 1 1 1 / nn 1 1 1 1 / bt / loops 0"},
    // RS holds slot 0, so R and S are sub-network 1; PQ in slot 2 makes P and Q number 2.
    {"radial feeder without its middle cable", "P Q R S | PQ=P-Q QR=Q-R RS=R-S", "QR",
     "nc 1 - 2 / nn 1 1 2 2 / bt / loops 0 0"},
    // B: 2 cables, 3 lcs, no loop; A: a parallel pair.
    {"groups joined only by a bus transfer",
     "A1 A2 B1 B2 B3 | A12=A1-A2 A21=A2-A1 B12=B1-B2 B23=B2-B3 | T=A2-B3", "",
     "nc 1 1 2 2 / nn 1 1 1 2 2 / bt 2:1 / loops 0 1"},
    // nn: Q, L2, P, L1; a bus transfer with both ends on one lc gets its number twice.
    {"lone lcs after every group in nn order", "L1 P L2 Q | PQ=P-Q | T=L1-L1", "",
     "nc 1 / nn 1 2 1 3 / bt 3:3 / loops 0 0 0"},
    {"every cable removed", "P Q R S | PQ=P-Q QR=Q-R RS=R-S SP=S-P | T=P-R", "PQ QR RS SP",
     "nc - - - - / nn 1 2 3 4 / bt 4:2 / loops 0 0 0 0"},
    // RR (slot 0) is 1 with 1 - 1 + 1 = 1 loop; QP and PQ are 2 with 1 loop; S is 3.
    {"cable with both ends on one lc", "P Q R S | PQ=P-Q QP=Q-P RR=R-R | T=P-R", "",
     "nc 1 2 2 / nn 3 1 2 2 / bt 2:1 / loops 1 1 0"},
    // P is no longer an lc of the network: sub-network 1 has one cable and only Q.
    {"null nn and nbt slots", "P Q R | PQ=P-Q | T1=P-Q T2=Q-R", "P T1",
     "nc 1 / nn 2 1 - / bt 1:2 - / loops 1 0"},
    {"bus transfer to an lc outside nn", "P Q | PQ=P-Q | T=P-Q", "Q",
     "nc 1 / nn - 1 / bt 1:0 / loops 1"},
};

// As in the cut search, each case is a copy of the base network with slots emptied, numbered
// again; and once more over stale numbers: the same outcome, the old loop-count array released.
TEST(IdentifySubNetworks, NumbersGroupsLoneLcsLoopsAndBusTransfers) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ZEVO_CONTEXT context;
    zevo_init(&context);
    testing::add_records(&context, c.network);
    testing::build_network(&context);
    NETWORK* nw = copy_network(context.nw);
    for (const std::string& name : testing::words(c.emptied)) testing::empty_slot(nw, name);
    identify_sub_networks(nw);
    EXPECT_EQ(testing::numbering(nw), c.expected);

    const std::size_t held = nbr_records_held();
    plant_stale_numbers(nw);
    identify_sub_networks(nw);
    EXPECT_EQ(testing::numbering(nw), c.expected);
    EXPECT_EQ(nbr_records_held(), held);
  }
}

TEST(IdentifySubNetworks, OutOfMemoryForTheLoopCounts) {
  ZEVO_CONTEXT context;
  zevo_init(&context);
  testing::add_records(&context, "P");
  testing::build_network(&context);
  testing::CapturedMessages messages;
  fail_allocation_after(1);
  EXPECT_THROW(identify_sub_networks(context.nw), RunEnded);
  fail_allocation_after(0);
  EXPECT_EQ(messages.err(), " *** ERROR: Out of Memory in identify_sub_networks() a\n");
  EXPECT_EQ(messages.out(), "");
}

}  // namespace
}  // namespace zevo
