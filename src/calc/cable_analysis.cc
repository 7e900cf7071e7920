#include "calc/cable_analysis.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <utility>

#include "calc/cut_set_search.h"
#include "calc/exporter_search.h"

namespace zevo {
namespace {

constexpr int kNone = INT_MAX;

// A search that ran out of its budget leaves r with the figures of the best split it found. When
// what it left unexplored may be worth more, the value becomes the bound, so that a cable sized
// on it is safe; else the best split is the value after all.
void bound_result(const SearchBudget* budget, ZEVO_RESULT* r, Opening* opening) {
  if (!budget || !budget->stopped() || !(budget->bound() > r->val)) return;
  opening->bounded = true;
  opening->found_val = r->val;
  r->val = budget->bound();
}

}  // namespace

CableAnalysis::CableAnalysis() : CableAnalysis(std::make_shared<Tables>()) {}

CableAnalysis::CableAnalysis(std::shared_ptr<Tables> tables)
    : tables_(std::move(tables)), t_(*tables_) {}

CableAnalysis::~CableAnalysis() = default;

std::unique_ptr<CableAnalysis> CableAnalysis::share() const {
  std::unique_ptr<CableAnalysis> other(new CableAnalysis(tables_));
  other->clear_scratch();
  return other;
}

void CableAnalysis::clear_scratch() {
  const int nodes = t_.figures.nbr_nodes();
  reduced_ = -1;
  side_.assign(nodes, 0);
  best_side_.assign(nodes, 0);
  local_.assign(nodes, -1);
  hang_.assign(nodes, -1);
  attached_ = -1;
}

void CableAnalysis::build(const NETWORK* nw, const char* const* names, int nbr_conditions) {
  Tables& t = *tables_;
  t.nw = nw;
  t.nbr_conditions = nbr_conditions;
  t.figures.gather(nw, names, nbr_conditions);
  const int nodes = t.figures.nbr_nodes();
  const int cables = nw->nbr_connection > 0 ? nw->nbr_connection : 0;
  const int subs = nw->nbr_sub_networks > 0 ? nw->nbr_sub_networks : 0;

  t.node_slot.clear();
  for (int i = 0; i < nodes; ++i) {
    if (nw->nn[i]) t.node_slot.emplace(nw->nn[i]->n, i);
  }
  t.cable_slot.clear();
  std::vector<int> end1(cables, -1), end2(cables, -1);
  t.cable_sub.assign(cables, 0);
  t.sub_cables.assign(subs + 1, {});
  for (int k = 0; k < cables; ++k) {
    const NETWORK_CONNECTION* entry = nw->nc[k];
    if (!entry || !entry->c) continue;
    t.cable_slot.emplace(entry->c, k);
    end1[k] = node_slot(entry->c->n1);
    end2[k] = node_slot(entry->c->n2);
    t.cable_sub[k] = entry->sub_network;
    if (entry->sub_network > 0 && entry->sub_network <= subs) {
      t.sub_cables[entry->sub_network].push_back(k);
    }
  }
  t.graph.build(nodes, end1, end2);
  t.dfs.run(t.graph, nullptr, -1);

  // A looped part is a subtree of the depth-first forest joined by tree edges that are no
  // bridges, so preorder hands its number down from its first node.
  t.component.assign(nodes, -1);
  t.tree_root.assign(nodes, -1);
  int components = 0;
  for (int x : t.dfs.order) {
    const int e = t.dfs.parent_edge[x];
    const int parent = e >= 0 ? t.graph.other_end(e, x) : -1;
    t.tree_root[x] = parent >= 0 ? t.tree_root[parent] : x;
    t.component[x] = parent >= 0 && !t.dfs.bridge(t.graph, e) ? t.component[parent] : components++;
  }
  number_groups();
  t.exact.build(t.figures, t.graph, t.dfs, t.component, t.tree_root);
  clear_scratch();
}

int CableAnalysis::cable_slot(const CONNECTION* c) const {
  auto found = t_.cable_slot.find(c);
  return found == t_.cable_slot.end() ? -1 : found->second;
}

int CableAnalysis::node_slot(const NODE* n) const {
  auto found = t_.node_slot.find(n);
  return found == t_.node_slot.end() ? -1 : found->second;
}

// ---- Numbering as identify_sub_networks would number the network without one cable ----

// Cable groups are numbered by their lowest nc slot, cable-less nodes after them in nn order.
// Every cable is filed under its deeper end (a tree edge under its child), so that the lowest
// slot of a subtree, and of a tree with a subtree left out, are minima over preorder ranges.
void CableAnalysis::number_groups() {
  Tables& t = *tables_;
  const int nodes = t.figures.nbr_nodes();
  t.nbr_groups = 0;
  t.group_min.clear();
  for (std::size_t s = 1; s < t.sub_cables.size(); ++s) {
    if (t.sub_cables[s].empty()) break;
    t.group_min.push_back(t.sub_cables[s].front());
    ++t.nbr_groups;
  }
  t.lone_before.assign(nodes + 1, 0);
  for (int i = 0; i < nodes; ++i) {
    const int sub = t.figures.sub_network_of(i);
    t.lone_before[i + 1] = t.lone_before[i] + (t.nw->nn[i] && sub > t.nbr_groups ? 1 : 0);
  }

  std::vector<int> own(nodes, kNone), key(nodes, kNone);
  for (int k = 0; k < t.graph.nbr_edges(); ++k) {
    const int a = t.graph.end1(k), b = t.graph.end2(k);
    if (a < 0 || b < 0 || t.dfs.tree_child(t.graph, k) >= 0) continue;
    const int deeper = t.dfs.tin[a] > t.dfs.tin[b] ? a : b;
    own[deeper] = std::min(own[deeper], k);
  }
  t.below_min = own;
  for (auto x = t.dfs.order.rbegin(); x != t.dfs.order.rend(); ++x) {
    const int e = t.dfs.parent_edge[*x];
    key[*x] = std::min(own[*x], e >= 0 ? e : kNone);
    if (e < 0) continue;
    const int parent = t.graph.other_end(e, *x);
    t.below_min[parent] = std::min(t.below_min[parent], std::min(e, t.below_min[*x]));
  }
  const int count = static_cast<int>(t.dfs.order.size());
  t.prefix_min.assign(count, kNone);
  t.suffix_min.assign(count, kNone);
  for (int pos = 0; pos < count; ++pos) {
    const int x = t.dfs.order[pos];
    const bool same_tree = pos > t.dfs.tin[t.tree_root[x]];
    t.prefix_min[pos] = std::min(key[x], same_tree ? t.prefix_min[pos - 1] : kNone);
  }
  for (int pos = count - 1; pos >= 0; --pos) {
    const int x = t.dfs.order[pos];
    const bool same_tree = pos + 1 < t.dfs.tout[t.tree_root[x]];
    t.suffix_min[pos] = std::min(key[x], same_tree ? t.suffix_min[pos + 1] : kNone);
  }
}

// The number of one part of sub-network `sub` once the cable is out: a group of cables whose
// lowest slot is `min_slot`, or (min_slot kNone) the node `lone` alone. `distinct` tells
// whether the other part is another one.
int CableAnalysis::number_of_part(int sub, int min_slot, int lone, int other_min, int other_lone,
                                  bool distinct) const {
  const bool other_cables = distinct && other_min != kNone;
  if (min_slot != kNone) {
    const int lower =
        static_cast<int>(std::lower_bound(t_.group_min.begin(), t_.group_min.end(), min_slot) -
                         t_.group_min.begin());
    const int lower_elsewhere = lower - (t_.group_min[sub - 1] < min_slot ? 1 : 0);
    return 1 + lower_elsewhere + (other_cables && other_min < min_slot ? 1 : 0);
  }
  const int groups_after = t_.nbr_groups - 1 + (other_cables ? 1 : 0);
  const bool other_lone_before = distinct && other_min == kNone && other_lone < lone;
  return groups_after + 1 + t_.lone_before[lone] + (other_lone_before ? 1 : 0);
}

void CableAnalysis::number_sides(int slot, int end1, int end2, ZEVO_RESULT* r) const {
  const int sub = t_.figures.sub_network_of(end1);
  if (end1 == end2 || !t_.dfs.bridge(t_.graph, slot)) {
    const std::vector<int>& cables = t_.sub_cables[sub];
    int min_slot = kNone;
    for (std::size_t i = 0; i < cables.size() && i < 2 && min_slot == kNone; ++i) {
      if (cables[i] != slot) min_slot = cables[i];
    }
    r->sub_network1 = r->sub_network2 = number_of_part(sub, min_slot, end1, kNone, -1, false);
    return;
  }
  const int below = t_.dfs.tree_child(t_.graph, slot);
  const int above = t_.graph.other_end(slot, below);
  const int root = t_.tree_root[below];
  const int from = t_.dfs.tin[below], to = t_.dfs.tout[below];
  const int below_min = t_.below_min[below];
  const int above_min = std::min(from > t_.dfs.tin[root] ? t_.prefix_min[from - 1] : kNone,
                                 to < t_.dfs.tout[root] ? t_.suffix_min[to] : kNone);
  const int number_below = number_of_part(sub, below_min, below, above_min, above, true);
  const int number_above = number_of_part(sub, above_min, above, below_min, below, true);
  r->sub_network1 = end1 == below ? number_below : number_above;
  r->sub_network2 = end1 == below ? number_above : number_below;
}

// ---- Values ----

void CableAnalysis::compute(int slot, int end1, int end2, ZEVO_RESULT* r, Opening* opening,
                            SearchBudget* budget) {
  opening->found = false;
  opening->open.clear();
  opening->bounded = false;
  opening->found_val = 0.0;
  number_sides(slot, end1, end2, r);
  r->val = 0.0;
  if (end1 == end2) return;  // no cut parts a node from itself
  if (t_.dfs.bridge(t_.graph, slot)) {
    compute_radial(slot, end1, r);
    opening->found = true;
    return;
  }
  const int sub = t_.figures.sub_network_of(end1);
  if (t_.figures.monotone(sub) && t_.figures.exactly_summed(sub) &&
      compute_exactly(slot, end1, end2, r, opening, budget)) {
    bound_result(budget, r, opening);
    return;
  }
  // Sums taken in another order keep their error bound only far from overflow; near it, only
  // the ordered balance of every set of cuts is safe.
  const bool bounded = t_.figures.exact(sub) || t_.figures.finite_total(sub) < DBL_MAX / 16;
  if (t_.figures.monotone(sub) && bounded) {
    opening->found = compute_by_bonds(slot, end1, end2, r, budget);
  } else {
    opening->found = compute_by_cut_sets(slot, end1, end2, r, budget);
  }
  if (opening->found) collect_open_cables(slot, t_.sub_cables[sub], &opening->open);
  for (int x : t_.figures.nodes_of(sub)) best_side_[x] = 0;
  bound_result(budget, r, opening);
}

// The bonds of the looped part with exact sums; false when they do not settle the printed
// value, and nothing is set then. A search stopped short of the value gives the figures of its
// best bond as they are, and its bound.
bool CableAnalysis::compute_exactly(int slot, int end1, int end2, ZEVO_RESULT* r, Opening* opening,
                                    SearchBudget* budget) {
  const int sub = t_.figures.sub_network_of(end1);
  const int component = t_.component[end1];
  if (reduced_ != component) {
    t_.exact.make_part(component, sub, &part_);
    chains_.reduce(part_);
    reduced_ = component;
  }
  const std::span<const int> cables = t_.exact.cables(component);
  const int cable =
      static_cast<int>(std::lower_bound(cables.begin(), cables.end(), slot) - cables.begin());
  split_.val = 0;
  const bool found =
      chains_.search(cable, t_.exact.local(end1), t_.exact.local(end2), &split_, budget);
  const Fixed pending = chains_.pending_bound();
  if (pending > 0) {
    // The balance's sums lie within the sums' error bound of the exact ones.
    const double error = t_.figures.exact(sub) ? 0.0 : t_.figures.sum_error(sub);
    budget->raise_bound(upper_bound_of(t_.figures.scale().to_double(pending), error));
  }
  if (!found) return true;  // no split gives a flow above zero
  best_.resize(t_.nbr_conditions);
  if (!settle_figures(t_.figures, sub, split_, &best_) && pending == 0) return false;
  copy_figures(best_, r);
  opening->found = true;
  for (int k : split_.cuts) opening->open.push_back(cables[k]);
  return true;
}

// The cables of `cables`, other than `slot`, whose ends lie on different sides of the best split
// (or one on a side and one on neither).
void CableAnalysis::collect_open_cables(int slot, const std::vector<int>& cables,
                                        std::vector<int>* open) const {
  for (int k : cables) {
    const int a = t_.graph.end1(k), b = t_.graph.end2(k);
    if (k != slot && a >= 0 && b >= 0 && best_side_[a] != best_side_[b]) open->push_back(k);
  }
}

// Side "below" is the subtree under the cable; "above" the rest of its tree.
void CableAnalysis::compute_radial(int slot, int end1, ZEVO_RESULT* r) {
  const int below = t_.dfs.tree_child(t_.graph, slot);
  const int sub = t_.figures.sub_network_of(end1);
  const signed char below_side = end1 == below ? 1 : 2;
  best_.resize(t_.nbr_conditions);
  if (t_.figures.exactly_summed(sub)) {
    t_.exact.split_radial(slot, end1, sub, &split_);
    if (settle_figures(t_.figures, sub, split_, &best_)) {
      copy_figures(best_, r);
      return;
    }
  }
  for (int x : t_.figures.nodes_of(sub))
    side_[x] = t_.dfs.holds(below, x) ? below_side : 3 - below_side;
  t_.figures.balance(sub, side_, &best_);
  for (int x : t_.figures.nodes_of(sub)) side_[x] = 0;
  copy_figures(best_, r);
}

// Every node of the sub-network hangs from one node of the looped part: itself when in the
// part, the part's first node for everything above it in the tree, else what its parent hangs
// from. The part becomes a bond problem whose node weights carry what hangs from them.
void CableAnalysis::attach_to_component(int component, int sub) {
  if (attached_ == component) return;
  const std::vector<int>& nodes = t_.figures.nodes_of(sub);
  int top = -1, members = 0;
  for (int x : nodes) {
    if (t_.component[x] != component) continue;
    local_[x] = members++;
    if (top < 0 || t_.dfs.tin[x] < t_.dfs.tin[top]) top = x;
  }
  const int root = t_.tree_root[top];
  for (int pos = t_.dfs.tin[root]; pos < t_.dfs.tout[root]; ++pos) {
    const int x = t_.dfs.order[pos];
    if (t_.component[x] == component) {
      hang_[x] = x;
    } else if (!t_.dfs.holds(top, x)) {
      hang_[x] = top;
    } else {
      hang_[x] = hang_[t_.graph.other_end(t_.dfs.parent_edge[x], x)];
    }
  }
  part_edges_.clear();
  for (int k : t_.sub_cables[sub]) {
    const int a = t_.graph.end1(k), b = t_.graph.end2(k);
    if (a >= 0 && b >= 0 && t_.component[a] == component && t_.component[b] == component) {
      part_edges_.push_back(k);
    }
  }

  BondProblem& p = problem_;
  p.nbr_conditions = t_.nbr_conditions;
  p.weight_g.assign(static_cast<std::size_t>(t_.nbr_conditions) * members, 0.0);
  p.weight_l.assign(static_cast<std::size_t>(t_.nbr_conditions) * members, 0.0);
  for (int x : nodes) {
    const int at = local_[hang_[x]];
    for (int ci = 0; ci < t_.nbr_conditions; ++ci) {
      p.weight_g[static_cast<std::size_t>(ci) * members + at] += t_.figures.node_generation(x, ci);
      p.weight_l[static_cast<std::size_t>(ci) * members + at] += t_.figures.node_load(x, ci);
    }
  }
  const std::vector<int>& buses = t_.figures.bus_transfers_of(sub);
  const int nb = static_cast<int>(buses.size());
  p.bus_a.assign(nb, -1);
  p.bus_b.assign(nb, -1);
  p.bus_g.assign(static_cast<std::size_t>(t_.nbr_conditions) * nb, 0.0);
  p.bus_l.assign(static_cast<std::size_t>(t_.nbr_conditions) * nb, 0.0);
  for (int i = 0; i < nb; ++i) {
    for (int which : {1, 2}) {
      const int end = t_.figures.bus_end(buses[i], which);
      if (end < 0 || t_.figures.sub_network_of(end) != sub) continue;
      (which == 1 ? p.bus_a : p.bus_b)[i] = local_[hang_[end]];
    }
    for (int ci = 0; ci < t_.nbr_conditions; ++ci) {
      p.bus_g[static_cast<std::size_t>(ci) * nb + i] = t_.figures.bus_generation(buses[i], ci);
      p.bus_l[static_cast<std::size_t>(ci) * nb + i] = t_.figures.bus_load(buses[i], ci);
    }
  }
  members_ = members;
  attached_ = component;
}

bool CableAnalysis::compute_by_bonds(int slot, int end1, int end2, ZEVO_RESULT* r,
                                     SearchBudget* budget) {
  const int sub = t_.figures.sub_network_of(end1);
  attach_to_component(t_.component[end1], sub);
  std::vector<int> a(part_edges_.size(), -1), b(part_edges_.size(), -1);
  for (std::size_t i = 0; i < part_edges_.size(); ++i) {
    if (part_edges_[i] == slot) continue;
    a[i] = local_[t_.graph.end1(part_edges_[i])];
    b[i] = local_[t_.graph.end2(part_edges_[i])];
  }
  problem_.graph.build(members_, a, b);
  problem_.s = local_[end1];
  problem_.t = local_[end2];
  // Sums over the part's weights add the same non-negative figures as the balance in another
  // order: each lies within a factor 1 + 2n(2^-53) of the prescribed one for n figures.
  problem_.margin =
      t_.figures.exact(sub) ? 1.0 : 1.0 + 8.0 * (t_.figures.nbr_figures(sub) + 2.0) * 0x1p-53;

  const std::vector<int>& nodes = t_.figures.nodes_of(sub);
  Recompute recompute = [&](const std::vector<char>& in_side1, SideBalance* out) {
    for (int x : nodes) side_[x] = in_side1[local_[hang_[x]]] ? 1 : 2;
    t_.figures.balance(sub, side_, out);
    for (int x : nodes) side_[x] = 0;
  };
  best_.resize(t_.nbr_conditions);
  std::vector<char> in_side1;
  if (!search_bonds(problem_, recompute, &best_, &in_side1, budget)) return false;
  copy_figures(best_, r);
  for (int x : nodes) best_side_[x] = in_side1[local_[hang_[x]]] ? 1 : 2;
  return true;
}

bool CableAnalysis::compute_by_cut_sets(int slot, int end1, int end2, ZEVO_RESULT* r,
                                        SearchBudget* budget) {
  const int sub = t_.figures.sub_network_of(end1);
  const std::vector<int>& nodes = t_.figures.nodes_of(sub);
  attached_ = -1;  // local_ is renumbered for the whole sub-network
  for (std::size_t i = 0; i < nodes.size(); ++i) local_[nodes[i]] = static_cast<int>(i);
  std::vector<int> a, b;
  const std::vector<int>& cables = t_.sub_cables[sub];
  for (auto k = cables.rbegin(); k != cables.rend(); ++k) {
    if (*k == slot || t_.graph.end1(*k) < 0 || t_.graph.end2(*k) < 0) continue;
    a.push_back(local_[t_.graph.end1(*k)]);
    b.push_back(local_[t_.graph.end2(*k)]);
  }
  ExporterProblem problem;
  CableGraph& part = problem.graph;
  part.build(static_cast<int>(nodes.size()), a, b);
  const int loops = static_cast<int>(cables.size()) - 1 - static_cast<int>(nodes.size()) + 1;

  best_.resize(t_.nbr_conditions);
  problem.s = local_[end1];
  problem.t = local_[end2];
  problem.nbr_loops = loops;
  // With few loops in many load centres there are far fewer sets of cuts than splits.
  const double every_set = estimate_every_set_cost(problem);
  if (estimate_split_cost(problem) < every_set &&
      gather_exporter_figures(t_.figures, sub, local_, &problem)) {
    std::vector<signed char> side;
    auto balance_split = [&](const std::vector<signed char>& split, SideBalance* out) {
      for (std::size_t i = 0; i < nodes.size(); ++i) side_[nodes[i]] = split[i];
      t_.figures.balance(sub, side_, out);
      for (int x : nodes) side_[x] = 0;
    };
    // Should the choice be wrong, the search stops at what balancing every set would cost.
    switch (search_exporter_splits(problem, balance_split, every_set + 2e4, &best_, &side)) {
      case SplitOutcome::none:
        return false;
      case SplitOutcome::found:
        copy_figures(best_, r);
        for (std::size_t i = 0; i < nodes.size(); ++i) best_side_[nodes[i]] = side[i];
        return true;
      case SplitOutcome::gave_up:
        best_.resize(t_.nbr_conditions);
        break;
    }
  }
  SideBalance candidate;
  candidate.resize(t_.nbr_conditions);
  bool found = false;
  search_cut_sets(
      part, local_[end1], local_[end2], loops,
      [&](const std::vector<signed char>& side) {
        for (std::size_t i = 0; i < nodes.size(); ++i) side_[nodes[i]] = side[i];
        t_.figures.balance(sub, side_, &candidate);
        for (int x : nodes) side_[x] = 0;
        if (!(candidate.val > best_.val)) return;
        best_ = candidate;
        for (std::size_t i = 0; i < nodes.size(); ++i) best_side_[nodes[i]] = side[i];
        found = true;
      },
      budget);
  // Every set it left unbalanced is bounded by the sub-network's figures as a whole.
  if (budget && budget->stopped()) budget->raise_bound(t_.figures.flow_ceiling(sub));
  if (found) copy_figures(best_, r);
  return found;
}

}  // namespace zevo
