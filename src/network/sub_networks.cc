#include "network/sub_networks.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/record_store.h"

namespace zevo {
namespace {

// Gives every distinct NODE pointer that is added a dense index 0, 1, 2 ... in the order in
// which it was first added. Open addressing over a power-of-two table; a null pointer is a key
// like any other, since ends are compared by pointer alone.
class NodeIndex {
 public:
  void reset(std::size_t max_keys) {
    std::size_t capacity = 16;
    while (capacity < 2 * max_keys) capacity *= 2;
    keys_.assign(capacity, nullptr);
    ids_.assign(capacity, -1);
    size_ = 0;
  }

  int add(const NODE* node) {
    std::size_t slot = probe(node);
    if (ids_[slot] < 0) {
      keys_[slot] = node;
      ids_[slot] = size_++;
    }
    return ids_[slot];
  }

  // The index of `node`, or -1 when it was never added.
  int find(const NODE* node) const { return ids_[probe(node)]; }

  int size() const { return size_; }

 private:
  std::size_t probe(const NODE* node) const {
    const std::size_t mask = keys_.size() - 1;
    auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(node));
    std::size_t slot = static_cast<std::size_t>((bits >> 4) * 0x9E3779B97F4A7C15ull) & mask;
    while (ids_[slot] >= 0 && keys_[slot] != node) slot = (slot + 1) & mask;
    return slot;
  }

  std::vector<const NODE*> keys_;
  std::vector<int> ids_;
  int size_ = 0;
};

// Union-find over nc indexes, with path halving.
class CableGroups {
 public:
  void reset(int count) {
    parent_.resize(count);
    for (int k = 0; k < count; ++k) parent_[k] = k;
  }

  int root(int k) {
    while (parent_[k] != k) {
      parent_[k] = parent_[parent_[k]];
      k = parent_[k];
    }
    return k;
  }

  void join(int a, int b) {
    a = root(a);
    b = root(b);
    if (a < b) {
      parent_[b] = a;
    } else if (b < a) {
      parent_[a] = b;
    }
  }

 private:
  std::vector<int> parent_;
};

// What is known of one NODE: the lowest nc index of a cable ending at it, and the nn slots that
// hold it (first and last, linked in index order through Scratch::next_slot).
struct NodeUse {
  int first_cable;
  int first_slot;
  int last_slot;
};

}  // namespace

struct SubNetworkScratch::Storage {
  NodeIndex index;
  CableGroups groups;
  std::vector<NodeUse> uses;
  std::vector<int> group_number;  // by the root's nc index
  std::vector<int> next_slot;     // next nn slot holding the same NODE, or -1
};

SubNetworkScratch::SubNetworkScratch() : storage_(std::make_unique<Storage>()) {}
SubNetworkScratch::~SubNetworkScratch() = default;

namespace {

using Scratch = SubNetworkScratch::Storage;

// The number of slots in use; a negative count (never built so) holds none.
int slots_in_use(int count) { return count > 0 ? count : 0; }

NodeUse& use_of(Scratch& s, int id) {
  if (id >= static_cast<int>(s.uses.size())) s.uses.resize(id + 1, NodeUse{-1, -1, -1});
  return s.uses[id];
}

// The cables are the branches: cables sharing an end NODE form one group, and the groups are
// numbered from 1 in the order of their lowest nc index. Returns the next free number.
int number_cable_groups(NETWORK* nw, Scratch& s) {
  const int count = slots_in_use(nw->nbr_connection);
  s.groups.reset(count);
  for (int k = 0; k < count; ++k) {
    NETWORK_CONNECTION* entry = nw->nc[k];
    if (!entry) continue;
    entry->sub_network = 0;
    for (const NODE* end : {entry->c->n1, entry->c->n2}) {
      NodeUse& use = use_of(s, s.index.add(end));
      if (use.first_cable < 0) {
        use.first_cable = k;
      } else {
        s.groups.join(k, use.first_cable);
      }
    }
  }
  s.group_number.assign(count, 0);
  int next = 1;
  for (int k = 0; k < count; ++k) {
    if (!nw->nc[k]) continue;
    int& number = s.group_number[s.groups.root(k)];
    if (number == 0) number = next++;
    nw->nc[k]->sub_network = number;
  }
  return next;
}

// An lc takes the number of the first cable in nc that ends at it; an lc that no cable reaches
// is a sub-network of its own, numbered in nn order. Returns the next free number.
int number_nodes(NETWORK* nw, Scratch& s, int next) {
  const int count = slots_in_use(nw->nbr_network_nodes);
  s.next_slot.assign(count, -1);
  for (int i = 0; i < count; ++i) {
    NETWORK_NODE* entry = nw->nn[i];
    if (!entry) continue;
    NodeUse& use = use_of(s, s.index.add(entry->n));
    entry->sub_network = use.first_cable >= 0 ? nw->nc[use.first_cable]->sub_network : next++;
    if (use.first_slot < 0) {
      use.first_slot = i;
    } else {
      s.next_slot[use.last_slot] = i;
    }
    use.last_slot = i;
  }
  return next;
}

// Loops per sub-network: branches - nodes + 1. Entry 0 counts the entries without a number,
// of which there are none, so it is 1.
void count_loops(NETWORK* nw) {
  release_record(nw->nbr_loops);
  const int n = nw->nbr_sub_networks;
  nw->nbr_loops = alloc_releasable_array<int>(
      static_cast<std::size_t>(n) + 1, " *** ERROR: Out of Memory in identify_sub_networks() a\n");
  for (int s = 0; s <= n; ++s) nw->nbr_loops[s] = 1;
  for (int k = 0; k < nw->nbr_connection; ++k) {
    if (nw->nc[k]) ++nw->nbr_loops[nw->nc[k]->sub_network];
  }
  for (int i = 0; i < nw->nbr_network_nodes; ++i) {
    if (nw->nn[i]) --nw->nbr_loops[nw->nn[i]->sub_network];
  }
}

// The number that a walk over nn from slot 0 leaves for an lc: the walk stops at slot `stop`,
// and each slot holding the lc overwrites the number until then. 0 when nn does not hold it.
int number_seen_by_walk(const NETWORK* nw, const Scratch& s, int id, int stop) {
  if (id < 0 || s.uses[id].first_slot < 0) return 0;
  int slot = s.uses[id].first_slot;
  while (s.next_slot[slot] >= 0 && s.next_slot[slot] <= stop) slot = s.next_slot[slot];
  return nw->nn[slot]->sub_network;
}

// A bus transfer takes the numbers of its two lcs as a walk over nn finds them: the walk ends
// once both are found, or at the end of nn, so an lc that nn does not hold leaves 0.
void number_bus_transfers(NETWORK* nw, const Scratch& s) {
  for (int t = 0; t < nw->nbr_bustransfers; ++t) {
    NETWORK_BUS_TRANSFER* entry = nw->nbt[t];
    if (!entry) continue;
    const int id1 = s.index.find(entry->bt->n1);
    const int id2 = s.index.find(entry->bt->n2);
    const int first1 = id1 >= 0 ? s.uses[id1].first_slot : -1;
    const int first2 = id2 >= 0 ? s.uses[id2].first_slot : -1;
    const int stop =
        first1 >= 0 && first2 >= 0 ? (first1 > first2 ? first1 : first2) : nw->nbr_network_nodes;
    entry->sub_network1 = number_seen_by_walk(nw, s, id1, stop);
    entry->sub_network2 = number_seen_by_walk(nw, s, id2, stop);
  }
}

}  // namespace

void identify_sub_networks(NETWORK* nw, SubNetworkScratch& reused) {
  if (!nw) return;
  Scratch& scratch = reused.storage();
  scratch.index.reset(2 * static_cast<std::size_t>(slots_in_use(nw->nbr_connection)) +
                      static_cast<std::size_t>(slots_in_use(nw->nbr_network_nodes)));
  scratch.uses.clear();

  const int after_cables = number_cable_groups(nw, scratch);
  const int after_nodes = number_nodes(nw, scratch, after_cables);
  nw->nbr_sub_networks = after_nodes - 1;
  count_loops(nw);
  number_bus_transfers(nw, scratch);
}

void identify_sub_networks(NETWORK* nw) {
  SubNetworkScratch scratch;
  identify_sub_networks(nw, scratch);
}

}  // namespace zevo
