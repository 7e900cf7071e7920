#include "literal_sub_networks.h"

#include "model/record_store.h"

namespace zevo::testing {
namespace {

// Cable j touches cable k, compared in the order n1-n1, n1-n2, n2-n1, n2-n2.
bool adjacent(const CONNECTION* j, const CONNECTION* k) {
  return j->n1 == k->n1 || j->n1 == k->n2 || j->n2 == k->n1 || j->n2 == k->n2;
}

}  // namespace

void identify_sub_networks_literally(NETWORK* nw) {
  NETWORK_CONNECTION** nc = nw->nc;
  NETWORK_NODE** nn = nw->nn;
  NETWORK_BUS_TRANSFER** nbt = nw->nbt;
  int counter = 1;

  // 1. Reset.
  for (int k = 0; k < nw->nbr_connection; ++k) {
    if (nc[k]) nc[k]->sub_network = 0;
  }
  for (int t = 0; t < nw->nbr_bustransfers; ++t) {
    if (nbt[t]) {
      nbt[t]->sub_network1 = 0;
      nbt[t]->sub_network2 = 0;
    }
  }
  for (int i = 0; i < nw->nbr_network_nodes; ++i) {
    if (nn[i]) nn[i]->sub_network = 0;
  }

  // 2. Cable sub-networks.
  for (;;) {
    int seed = -1;
    for (int i = 0; i < nw->nbr_connection; ++i) {
      if (nc[i] && nc[i]->sub_network == 0) {
        seed = i;
        break;
      }
    }
    if (seed < 0) break;
    nc[seed]->sub_network = counter;
    bool changed = true;
    while (changed) {
      changed = false;
      for (int k = seed; k < nw->nbr_connection; ++k) {
        if (!nc[k] || nc[k]->sub_network != 0) continue;
        for (int j = seed; j < nw->nbr_connection; ++j) {
          if (j == k || !nc[j] || nc[j]->sub_network != counter) continue;
          if (adjacent(nc[j]->c, nc[k]->c)) {
            nc[k]->sub_network = counter;
            changed = true;
            break;
          }
        }
      }
    }
    ++counter;
  }

  // 3. Lcs.
  for (int i = 0; i < nw->nbr_network_nodes; ++i) {
    if (!nn[i]) continue;
    bool touched = false;
    for (int k = 0; k < nw->nbr_connection; ++k) {
      if (nc[k] && (nc[k]->c->n1 == nn[i]->n || nc[k]->c->n2 == nn[i]->n)) {
        nn[i]->sub_network = nc[k]->sub_network;
        touched = true;
        break;
      }
    }
    if (!touched) nn[i]->sub_network = counter++;
  }

  // 4.
  nw->nbr_sub_networks = counter - 1;

  // 5. Loop counts.
  if (nw->nbr_loops) release_record(nw->nbr_loops);
  nw->nbr_loops = alloc_array<int>(nw->nbr_sub_networks + 1, " literal: out of memory\n");
  for (int s = 0; s <= nw->nbr_sub_networks; ++s) {
    int branches = 0;
    int nodes = 0;
    for (int k = 0; k < nw->nbr_connection; ++k) {
      if (nc[k] && nc[k]->sub_network == s) ++branches;
    }
    for (int i = 0; i < nw->nbr_network_nodes; ++i) {
      if (nn[i] && nn[i]->sub_network == s) ++nodes;
    }
    nw->nbr_loops[s] = branches - nodes + 1;
  }

  // 6. Bus transfers.
  for (int t = 0; t < nw->nbr_bustransfers; ++t) {
    NETWORK_BUS_TRANSFER* entry = nbt[t];
    if (!entry) continue;
    for (int i = 0; i < nw->nbr_network_nodes; ++i) {
      if (!nn[i]) continue;
      if (nn[i]->n == entry->bt->n1) entry->sub_network1 = nn[i]->sub_network;
      if (nn[i]->n == entry->bt->n2) entry->sub_network2 = nn[i]->sub_network;
      if (entry->sub_network1 > 0 && entry->sub_network2 > 0) break;
    }
  }
}

}  // namespace zevo::testing
