// identify_sub_networks against the literal procedure on many random networks.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "literal_sub_networks.h"
#include "model/record_store.h"
#include "network/copy_network.h"
#include "network/identify_sub_networks.h"
#include "network_text.h"

namespace zevo {
namespace {

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
// with its copies.
void compare_on(RandomNetworks& networks, int pool_size) {
  NETWORK* literal = networks.make(pool_size);
  NETWORK* fast = copy_network(literal);
  // The copy's loop array has one entry more; both are released by the routines.
  testing::identify_sub_networks_literally(literal);
  identify_sub_networks(fast);
  expect_same_outcome(literal, fast);
  identify_sub_networks(fast);
  expect_same_outcome(literal, fast);
  for (int removal = 0; removal < 3; ++removal) {
    networks.remove_a_cable(literal, fast);
    testing::identify_sub_networks_literally(literal);
    identify_sub_networks(fast);
    expect_same_outcome(literal, fast);
  }
}

// Many small networks, where every odd case turns up, and a few large ones.
TEST(IdentifySubNetworksAgainstTheLiteralProcedure, AgreesOnRandomNetworks) {
  struct Run {
    unsigned seed;
    int rounds, smallest, largest;
  };
  for (const Run run : {Run{20240611, 4000, 1, 12}, Run{7, 30, 40, 120}}) {
    RandomNetworks networks(run.seed);
    for (int round = 0; round < run.rounds && !::testing::Test::HasFailure(); ++round) {
      release_all_records();
      SCOPED_TRACE("seed " + std::to_string(run.seed) + " round " + std::to_string(round));
      compare_on(networks, networks.pick(run.smallest, run.largest));
    }
  }
  release_all_records();
}

}  // namespace
}  // namespace zevo
