// Timing of the network routines that the cut search runs once per trial.
#include <benchmark/benchmark.h>

#include "model/record_store.h"
#include "network/copy_network.h"
#include "network/sub_networks.h"

namespace zevo {
namespace {

const char* const kOom = " bench: out of memory\n";

// A meshed network of `cables` cables over cables / 2 lcs: a ring through every lc plus one
// chord from each lc, and a bus transfer for every hundredth lc.
NETWORK* make_meshed_network(int cables) {
  const int lcs = cables / 2;
  auto* nw = alloc_record<NETWORK>(kOom);
  nw->nbr_network_nodes = lcs;
  nw->nn = alloc_array<NETWORK_NODE*>(lcs + 1, kOom);
  for (int i = 0; i < lcs; ++i) {
    nw->nn[i] = alloc_record<NETWORK_NODE>(kOom);
    nw->nn[i]->n = alloc_record<NODE>(kOom);
  }
  auto lc = [&](long i) { return nw->nn[i % lcs]->n; };
  nw->nbr_connection = cables;
  nw->nc = alloc_array<NETWORK_CONNECTION*>(cables + 1, kOom);
  for (int k = 0; k < cables; ++k) {
    auto* c = alloc_record<CONNECTION>(kOom);
    const long i = k / 2;
    c->n1 = lc(i);
    c->n2 = k % 2 == 0 ? lc(i + 1) : lc(i * 7 + 3);
    nw->nc[k] = alloc_record<NETWORK_CONNECTION>(kOom);
    nw->nc[k]->c = c;
  }
  nw->nbr_bustransfers = lcs / 100;
  nw->nbt = alloc_array<NETWORK_BUS_TRANSFER*>(nw->nbr_bustransfers + 1, kOom);
  for (int t = 0; t < nw->nbr_bustransfers; ++t) {
    auto* bt = alloc_record<BUS_TRANSFER>(kOom);
    bt->n1 = lc(100L * t);
    bt->n2 = lc(100L * t + 50);
    nw->nbt[t] = alloc_record<NETWORK_BUS_TRANSFER>(kOom);
    nw->nbt[t]->bt = bt;
  }
  identify_sub_networks(nw);
  return nw;
}

// Gives back the blocks of a copy, so that long runs do not fill the memory.
void release_copy(NETWORK* nw) {
  for (int k = 0; k < nw->nbr_connection; ++k) release_record(nw->nc[k]);
  for (int i = 0; i < nw->nbr_network_nodes; ++i) release_record(nw->nn[i]);
  for (int t = 0; t < nw->nbr_bustransfers; ++t) release_record(nw->nbt[t]);
  release_record(nw->nc);
  release_record(nw->nn);
  release_record(nw->nbt);
  release_record(nw->nbr_loops);
  release_record(nw);
}

void BM_IdentifySubNetworks(benchmark::State& state) {
  NETWORK* nw = make_meshed_network(static_cast<int>(state.range(0)));
  SubNetworkScratch scratch;
  for (auto _ : state) {
    identify_sub_networks(nw, scratch);
    benchmark::DoNotOptimize(nw->nbr_sub_networks);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  release_all_records();
}
BENCHMARK(BM_IdentifySubNetworks)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_CopyNetwork(benchmark::State& state) {
  NETWORK* nw = make_meshed_network(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    NETWORK* copy = copy_network(nw);
    benchmark::DoNotOptimize(copy);
    state.PauseTiming();
    release_copy(copy);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  release_all_records();
}
BENCHMARK(BM_CopyNetwork)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// One trial of the cut search: copy, take a cable out, renumber.
void BM_CopyCutAndRenumber(benchmark::State& state) {
  NETWORK* nw = make_meshed_network(static_cast<int>(state.range(0)));
  SubNetworkScratch scratch;
  int cut = 0;
  for (auto _ : state) {
    NETWORK* copy = copy_network(nw);
    NETWORK_CONNECTION* taken_out = copy->nc[cut];
    copy->nc[cut] = nullptr;
    identify_sub_networks(copy, scratch);
    benchmark::DoNotOptimize(copy->nbr_sub_networks);
    state.PauseTiming();
    release_record(taken_out);
    cut = (cut + 1) % copy->nbr_connection;
    release_copy(copy);
    state.ResumeTiming();
  }
  release_all_records();
}
BENCHMARK(BM_CopyCutAndRenumber)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zevo
