// identify_sub_networks on hand-made cases, and against the literal procedure on many random
// networks.
#include "network/sub_networks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "literal_sub_networks.h"
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
// The second numbering works in a scratch kept from case to case.
TEST(IdentifySubNetworks, NumbersGroupsLoneLcsLoopsAndBusTransfers) {
  SubNetworkScratch scratch;
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
    identify_sub_networks(nw, scratch);
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

const char* const kOom = " random network: out of memory\n";

class RandomNetworks {
 public:
  explicit RandomNetworks(unsigned seed) : random_(seed) {}

  // A network over a pool of `pool_size` lcs with parallel cables, cables whose two ends are
  // one lc, removed cables, lcs that no cable touches, lcs that cables reach but nn does not
  // hold (and, now and then, an lc held by two nn slots), bus transfers, null slots
  // everywhere, and stale numbers in every entry.
  NETWORK* make(int pool_size) {
    std::vector<NODE*> pool;
    for (int i = 0; i < pool_size; ++i) pool.push_back(alloc_record<NODE>(kOom));

    std::vector<NODE*> held;
    for (NODE* node : pool) {
      if (chance(0.9)) held.push_back(node);
    }
    if (chance(0.1)) {
      for (int d = pick(1, 3); d > 0; --d) held.push_back(pool[pick(0, pool_size - 1)]);
    }
    std::shuffle(held.begin(), held.end(), random_);

    auto* nw = alloc_record<NETWORK>(kOom);
    nw->nbr_network_nodes = static_cast<int>(held.size());
    nw->nn = alloc_array<NETWORK_NODE*>(held.size() + 1, kOom);
    for (std::size_t i = 0; i < held.size(); ++i) {
      if (chance(0.1)) continue;
      nw->nn[i] = alloc_record<NETWORK_NODE>(kOom);
      *nw->nn[i] = {held[i], pick(0, 5)};
    }

    const int cables = pick(0, 2 * pool_size);
    const double removed = chance(0.05) ? 1.0 : 0.25;
    nw->nbr_connection = cables;
    nw->nc = alloc_array<NETWORK_CONNECTION*>(cables + 1, kOom);
    std::vector<CONNECTION*> laid;
    for (int k = 0; k < cables; ++k) {
      auto* c = alloc_record<CONNECTION>(kOom);
      c->n1 = pool[pick(0, pool_size - 1)];
      if (chance(0.1)) {
        c->n2 = c->n1;
      } else if (!laid.empty() && chance(0.15)) {
        const CONNECTION* twin = laid[pick(0, static_cast<int>(laid.size()) - 1)];
        c->n1 = chance(0.5) ? twin->n1 : twin->n2;
        c->n2 = c->n1 == twin->n1 ? twin->n2 : twin->n1;
      } else {
        c->n2 = pool[pick(0, pool_size - 1)];
      }
      laid.push_back(c);
      if (chance(removed)) continue;
      nw->nc[k] = alloc_record<NETWORK_CONNECTION>(kOom);
      *nw->nc[k] = {c, pick(0, 5)};
    }

    const int transfers = pick(0, 4);
    nw->nbr_bustransfers = transfers;
    nw->nbt = alloc_array<NETWORK_BUS_TRANSFER*>(transfers + 1, kOom);
    for (int t = 0; t < transfers; ++t) {
      if (chance(0.2)) continue;
      auto* bt = alloc_record<BUS_TRANSFER>(kOom);
      bt->n1 = pool[pick(0, pool_size - 1)];
      bt->n2 = chance(0.1) ? bt->n1 : pool[pick(0, pool_size - 1)];
      nw->nbt[t] = alloc_record<NETWORK_BUS_TRANSFER>(kOom);
      *nw->nbt[t] = {bt, pick(0, 5), pick(0, 5)};
    }

    nw->nbr_sub_networks = pick(0, 3);
    if (chance(0.5)) nw->nbr_loops = alloc_array<int>(nw->nbr_sub_networks + 1, kOom);
    return nw;
  }

  // Empties one more cable slot, if any is left.
  void remove_a_cable(NETWORK* a, NETWORK* b) {
    std::vector<int> present;
    for (int k = 0; k < a->nbr_connection; ++k) {
      if (a->nc[k]) present.push_back(k);
    }
    if (present.empty()) return;
    const int k = present[pick(0, static_cast<int>(present.size()) - 1)];
    a->nc[k] = nullptr;
    b->nc[k] = nullptr;
  }

  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool chance(double p) { return std::bernoulli_distribution(p)(random_); }

 private:
  std::mt19937 random_;
};

// Every number, count and loop entry of `actual` equals that of `expected`.
void expect_same_outcome(const NETWORK* expected, const NETWORK* actual) {
  ASSERT_EQ(testing::numbering(actual), testing::numbering(expected));
  EXPECT_EQ(actual->nbr_loops[0], expected->nbr_loops[0]);
}

// Numbers one network both ways, then renumbers the fast one again unchanged, then removes
// cables from both one at a time and numbers both again after each, as the cut search does
// with its copies, in the scratch the caller keeps.
void compare_on(RandomNetworks& networks, int pool_size, SubNetworkScratch& scratch) {
  NETWORK* literal = networks.make(pool_size);
  NETWORK* fast = copy_network(literal);
  // The copy's loop array has one entry more; both are released by the routines.
  testing::identify_sub_networks_literally(literal);
  identify_sub_networks(fast, scratch);
  expect_same_outcome(literal, fast);
  identify_sub_networks(fast, scratch);
  expect_same_outcome(literal, fast);
  for (int removal = 0; removal < 3; ++removal) {
    networks.remove_a_cable(literal, fast);
    testing::identify_sub_networks_literally(literal);
    identify_sub_networks(fast, scratch);
    expect_same_outcome(literal, fast);
  }
}

// Many small networks, where every odd case turns up, and a few large ones.
TEST(IdentifySubNetworksAgainstTheLiteralProcedure, AgreesOnRandomNetworks) {
  struct Run {
    unsigned seed;
    int rounds, smallest, largest;
  };
  SubNetworkScratch scratch;  // one for every network, small and large alike
  for (const Run run : {Run{20240611, 4000, 1, 12}, Run{7, 30, 40, 120}}) {
    RandomNetworks networks(run.seed);
    for (int round = 0; round < run.rounds && !::testing::Test::HasFailure(); ++round) {
      release_all_records();
      SCOPED_TRACE("seed " + std::to_string(run.seed) + " round " + std::to_string(round));
      compare_on(networks, networks.pick(run.smallest, run.largest), scratch);
    }
  }
  release_all_records();
}

}  // namespace
}  // namespace zevo
