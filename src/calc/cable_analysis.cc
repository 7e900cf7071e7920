#include "calc/cable_analysis.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

#include "calc/cut_set_search.h"
#include "calc/exporter_search.h"

namespace zevo {
namespace {

constexpr int kNone = INT_MAX;

}  // namespace

void CableAnalysis::build(const NETWORK* nw, const char* const* names, int nbr_conditions) {
  nw_ = nw;
  nbr_conditions_ = nbr_conditions;
  figures_.gather(nw, names, nbr_conditions);
  const int nodes = figures_.nbr_nodes();
  const int cables = nw->nbr_connection > 0 ? nw->nbr_connection : 0;
  const int subs = nw->nbr_sub_networks > 0 ? nw->nbr_sub_networks : 0;

  node_slot_.clear();
  for (int i = 0; i < nodes; ++i) {
    if (nw->nn[i]) node_slot_.emplace(nw->nn[i]->n, i);
  }
  cable_slot_.clear();
  std::vector<int> end1(cables, -1), end2(cables, -1);
  cable_sub_.assign(cables, 0);
  sub_cables_.assign(subs + 1, {});
  for (int k = 0; k < cables; ++k) {
    const NETWORK_CONNECTION* entry = nw->nc[k];
    if (!entry || !entry->c) continue;
    cable_slot_.emplace(entry->c, k);
    end1[k] = node_slot(entry->c->n1);
    end2[k] = node_slot(entry->c->n2);
    cable_sub_[k] = entry->sub_network;
    if (entry->sub_network > 0 && entry->sub_network <= subs) {
      sub_cables_[entry->sub_network].push_back(k);
    }
  }
  graph_.build(nodes, end1, end2);
  dfs_.run(graph_, nullptr, -1);

  // A looped part is a subtree of the depth-first forest joined by tree edges that are no
  // bridges, so preorder hands its number down from its first node.
  component_.assign(nodes, -1);
  tree_root_.assign(nodes, -1);
  int components = 0;
  for (int x : dfs_.order) {
    const int e = dfs_.parent_edge[x];
    const int parent = e >= 0 ? graph_.other_end(e, x) : -1;
    tree_root_[x] = parent >= 0 ? tree_root_[parent] : x;
    component_[x] = parent >= 0 && !dfs_.bridge(graph_, e) ? component_[parent] : components++;
  }
  number_groups();
  exact_.build(figures_, graph_, dfs_, component_, tree_root_);
  reduced_ = -1;
  side_.assign(nodes, 0);
  best_side_.assign(nodes, 0);
  local_.assign(nodes, -1);
  hang_.assign(nodes, -1);
  attached_ = -1;
}

int CableAnalysis::cable_slot(const CONNECTION* c) const {
  auto found = cable_slot_.find(c);
  return found == cable_slot_.end() ? -1 : found->second;
}

int CableAnalysis::node_slot(const NODE* n) const {
  auto found = node_slot_.find(n);
  return found == node_slot_.end() ? -1 : found->second;
}

// ---- Numbering as identify_sub_networks would number the network without one cable ----

// Cable groups are numbered by their lowest nc slot, cable-less nodes after them in nn order.
// Every cable is filed under its deeper end (a tree edge under its child), so that the lowest
// slot of a subtree, and of a tree with a subtree left out, are minima over preorder ranges.
void CableAnalysis::number_groups() {
  const int nodes = figures_.nbr_nodes();
  nbr_groups_ = 0;
  group_min_.clear();
  for (std::size_t s = 1; s < sub_cables_.size(); ++s) {
    if (sub_cables_[s].empty()) break;
    group_min_.push_back(sub_cables_[s].front());
    ++nbr_groups_;
  }
  lone_before_.assign(nodes + 1, 0);
  for (int i = 0; i < nodes; ++i) {
    const int sub = figures_.sub_network_of(i);
    lone_before_[i + 1] = lone_before_[i] + (nw_->nn[i] && sub > nbr_groups_ ? 1 : 0);
  }

  std::vector<int> own(nodes, kNone), key(nodes, kNone);
  for (int k = 0; k < graph_.nbr_edges(); ++k) {
    const int a = graph_.end1(k), b = graph_.end2(k);
    if (a < 0 || b < 0 || dfs_.tree_child(graph_, k) >= 0) continue;
    const int deeper = dfs_.tin[a] > dfs_.tin[b] ? a : b;
    own[deeper] = std::min(own[deeper], k);
  }
  below_min_ = own;
  for (auto x = dfs_.order.rbegin(); x != dfs_.order.rend(); ++x) {
    const int e = dfs_.parent_edge[*x];
    key[*x] = std::min(own[*x], e >= 0 ? e : kNone);
    if (e < 0) continue;
    const int parent = graph_.other_end(e, *x);
    below_min_[parent] = std::min(below_min_[parent], std::min(e, below_min_[*x]));
  }
  const int count = static_cast<int>(dfs_.order.size());
  prefix_min_.assign(count, kNone);
  suffix_min_.assign(count, kNone);
  for (int pos = 0; pos < count; ++pos) {
    const int x = dfs_.order[pos];
    const bool same_tree = pos > dfs_.tin[tree_root_[x]];
    prefix_min_[pos] = std::min(key[x], same_tree ? prefix_min_[pos - 1] : kNone);
  }
  for (int pos = count - 1; pos >= 0; --pos) {
    const int x = dfs_.order[pos];
    const bool same_tree = pos + 1 < dfs_.tout[tree_root_[x]];
    suffix_min_[pos] = std::min(key[x], same_tree ? suffix_min_[pos + 1] : kNone);
  }
}

// The number of one part of sub-network `sub` once the cable is out: a group of cables whose
// lowest slot is `min_slot`, or (min_slot kNone) the node `lone` alone. `distinct` tells
// whether the other part is another one.
int CableAnalysis::number_of_part(int sub, int min_slot, int lone, int other_min, int other_lone,
                                  bool distinct) const {
  const bool other_cables = distinct && other_min != kNone;
  if (min_slot != kNone) {
    const int lower = static_cast<int>(
        std::lower_bound(group_min_.begin(), group_min_.end(), min_slot) - group_min_.begin());
    const int lower_elsewhere = lower - (group_min_[sub - 1] < min_slot ? 1 : 0);
    return 1 + lower_elsewhere + (other_cables && other_min < min_slot ? 1 : 0);
  }
  const int groups_after = nbr_groups_ - 1 + (other_cables ? 1 : 0);
  const bool other_lone_before = distinct && other_min == kNone && other_lone < lone;
  return groups_after + 1 + lone_before_[lone] + (other_lone_before ? 1 : 0);
}

void CableAnalysis::number_sides(int slot, int end1, int end2, ZEVO_RESULT* r) const {
  const int sub = figures_.sub_network_of(end1);
  if (end1 == end2 || !dfs_.bridge(graph_, slot)) {
    const std::vector<int>& cables = sub_cables_[sub];
    int min_slot = kNone;
    for (std::size_t i = 0; i < cables.size() && i < 2 && min_slot == kNone; ++i) {
      if (cables[i] != slot) min_slot = cables[i];
    }
    r->sub_network1 = r->sub_network2 = number_of_part(sub, min_slot, end1, kNone, -1, false);
    return;
  }
  const int below = dfs_.tree_child(graph_, slot);
  const int above = graph_.other_end(slot, below);
  const int root = tree_root_[below];
  const int from = dfs_.tin[below], to = dfs_.tout[below];
  const int below_min = below_min_[below];
  const int above_min = std::min(from > dfs_.tin[root] ? prefix_min_[from - 1] : kNone,
                                 to < dfs_.tout[root] ? suffix_min_[to] : kNone);
  const int number_below = number_of_part(sub, below_min, below, above_min, above, true);
  const int number_above = number_of_part(sub, above_min, above, below_min, below, true);
  r->sub_network1 = end1 == below ? number_below : number_above;
  r->sub_network2 = end1 == below ? number_above : number_below;
}

// ---- Values ----

void CableAnalysis::compute(int slot, int end1, int end2, ZEVO_RESULT* r, Opening* opening) {
  opening->found = false;
  opening->open.clear();
  number_sides(slot, end1, end2, r);
  r->val = 0.0;
  if (end1 == end2) return;  // no cut parts a node from itself
  if (dfs_.bridge(graph_, slot)) {
    compute_radial(slot, end1, r);
    opening->found = true;
    return;
  }
  const int sub = figures_.sub_network_of(end1);
  if (figures_.monotone(sub) && figures_.exactly_summed(sub) &&
      compute_exactly(slot, end1, end2, r, opening)) {
    return;
  }
  // Sums taken in another order keep their error bound only far from overflow; near it, only
  // the ordered balance of every set of cuts is safe.
  const bool bounded = figures_.exact(sub) || figures_.finite_total(sub) < DBL_MAX / 16;
  if (figures_.monotone(sub) && bounded) {
    opening->found = compute_by_bonds(slot, end1, end2, r);
  } else {
    opening->found = compute_by_cut_sets(slot, end1, end2, r);
  }
  if (opening->found) collect_open_cables(slot, sub_cables_[sub], &opening->open);
  for (int x : figures_.nodes_of(sub)) best_side_[x] = 0;
}

// The bonds of the looped part with exact sums; false when they do not settle the printed
// value, and nothing is set then.
bool CableAnalysis::compute_exactly(int slot, int end1, int end2, ZEVO_RESULT* r,
                                    Opening* opening) {
  const int sub = figures_.sub_network_of(end1);
  const int component = component_[end1];
  if (reduced_ != component) {
    exact_.make_part(component, sub, &part_);
    chains_.reduce(part_);
    reduced_ = component;
  }
  const std::span<const int> cables = exact_.cables(component);
  const int cable =
      static_cast<int>(std::lower_bound(cables.begin(), cables.end(), slot) - cables.begin());
  split_.val = 0;
  if (!chains_.search(cable, exact_.local(end1), exact_.local(end2), &split_)) {
    return true;  // no split gives a flow above zero
  }
  best_.resize(nbr_conditions_);
  if (!settle_figures(figures_, sub, split_, &best_)) return false;
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
    const int a = graph_.end1(k), b = graph_.end2(k);
    if (k != slot && a >= 0 && b >= 0 && best_side_[a] != best_side_[b]) open->push_back(k);
  }
}

// Side "below" is the subtree under the cable; "above" the rest of its tree.
void CableAnalysis::compute_radial(int slot, int end1, ZEVO_RESULT* r) {
  const int below = dfs_.tree_child(graph_, slot);
  const int sub = figures_.sub_network_of(end1);
  const signed char below_side = end1 == below ? 1 : 2;
  best_.resize(nbr_conditions_);
  if (figures_.exactly_summed(sub)) {
    exact_.split_radial(slot, end1, sub, &split_);
    if (settle_figures(figures_, sub, split_, &best_)) {
      copy_figures(best_, r);
      return;
    }
  }
  for (int x : figures_.nodes_of(sub))
    side_[x] = dfs_.holds(below, x) ? below_side : 3 - below_side;
  figures_.balance(sub, side_, &best_);
  for (int x : figures_.nodes_of(sub)) side_[x] = 0;
  copy_figures(best_, r);
}

// Every node of the sub-network hangs from one node of the looped part: itself when in the
// part, the part's first node for everything above it in the tree, else what its parent hangs
// from. The part becomes a bond problem whose node weights carry what hangs from them.
void CableAnalysis::attach_to_component(int component, int sub) {
  if (attached_ == component) return;
  const std::vector<int>& nodes = figures_.nodes_of(sub);
  int top = -1, members = 0;
  for (int x : nodes) {
    if (component_[x] != component) continue;
    local_[x] = members++;
    if (top < 0 || dfs_.tin[x] < dfs_.tin[top]) top = x;
  }
  const int root = tree_root_[top];
  for (int pos = dfs_.tin[root]; pos < dfs_.tout[root]; ++pos) {
    const int x = dfs_.order[pos];
    if (component_[x] == component) {
      hang_[x] = x;
    } else if (!dfs_.holds(top, x)) {
      hang_[x] = top;
    } else {
      hang_[x] = hang_[graph_.other_end(dfs_.parent_edge[x], x)];
    }
  }
  part_edges_.clear();
  for (int k : sub_cables_[sub]) {
    const int a = graph_.end1(k), b = graph_.end2(k);
    if (a >= 0 && b >= 0 && component_[a] == component && component_[b] == component) {
      part_edges_.push_back(k);
    }
  }

  BondProblem& p = problem_;
  p.nbr_conditions = nbr_conditions_;
  p.weight_g.assign(static_cast<std::size_t>(nbr_conditions_) * members, 0.0);
  p.weight_l.assign(static_cast<std::size_t>(nbr_conditions_) * members, 0.0);
  for (int x : nodes) {
    const int at = local_[hang_[x]];
    for (int ci = 0; ci < nbr_conditions_; ++ci) {
      p.weight_g[static_cast<std::size_t>(ci) * members + at] += figures_.node_generation(x, ci);
      p.weight_l[static_cast<std::size_t>(ci) * members + at] += figures_.node_load(x, ci);
    }
  }
  const std::vector<int>& buses = figures_.bus_transfers_of(sub);
  const int nb = static_cast<int>(buses.size());
  p.bus_a.assign(nb, -1);
  p.bus_b.assign(nb, -1);
  p.bus_g.assign(static_cast<std::size_t>(nbr_conditions_) * nb, 0.0);
  p.bus_l.assign(static_cast<std::size_t>(nbr_conditions_) * nb, 0.0);
  for (int i = 0; i < nb; ++i) {
    for (int which : {1, 2}) {
      const int end = figures_.bus_end(buses[i], which);
      if (end < 0 || figures_.sub_network_of(end) != sub) continue;
      (which == 1 ? p.bus_a : p.bus_b)[i] = local_[hang_[end]];
    }
    for (int ci = 0; ci < nbr_conditions_; ++ci) {
      p.bus_g[static_cast<std::size_t>(ci) * nb + i] = figures_.bus_generation(buses[i], ci);
      p.bus_l[static_cast<std::size_t>(ci) * nb + i] = figures_.bus_load(buses[i], ci);
    }
  }
  members_ = members;
  attached_ = component;
}

bool CableAnalysis::compute_by_bonds(int slot, int end1, int end2, ZEVO_RESULT* r) {
  const int sub = figures_.sub_network_of(end1);
  attach_to_component(component_[end1], sub);
  std::vector<int> a(part_edges_.size(), -1), b(part_edges_.size(), -1);
  for (std::size_t i = 0; i < part_edges_.size(); ++i) {
    if (part_edges_[i] == slot) continue;
    a[i] = local_[graph_.end1(part_edges_[i])];
    b[i] = local_[graph_.end2(part_edges_[i])];
  }
  problem_.graph.build(members_, a, b);
  problem_.s = local_[end1];
  problem_.t = local_[end2];
  // Sums over the part's weights add the same non-negative figures as the balance in another
  // order: each lies within a factor 1 + 2n(2^-53) of the prescribed one for n figures.
  problem_.margin =
      figures_.exact(sub) ? 1.0 : 1.0 + 8.0 * (figures_.nbr_figures(sub) + 2.0) * 0x1p-53;

  const std::vector<int>& nodes = figures_.nodes_of(sub);
  Recompute recompute = [&](const std::vector<char>& in_side1, SideBalance* out) {
    for (int x : nodes) side_[x] = in_side1[local_[hang_[x]]] ? 1 : 2;
    figures_.balance(sub, side_, out);
    for (int x : nodes) side_[x] = 0;
  };
  best_.resize(nbr_conditions_);
  std::vector<char> in_side1;
  if (!search_bonds(problem_, recompute, &best_, &in_side1)) return false;
  copy_figures(best_, r);
  for (int x : nodes) best_side_[x] = in_side1[local_[hang_[x]]] ? 1 : 2;
  return true;
}

bool CableAnalysis::compute_by_cut_sets(int slot, int end1, int end2, ZEVO_RESULT* r) {
  const int sub = figures_.sub_network_of(end1);
  const std::vector<int>& nodes = figures_.nodes_of(sub);
  attached_ = -1;  // local_ is renumbered for the whole sub-network
  for (std::size_t i = 0; i < nodes.size(); ++i) local_[nodes[i]] = static_cast<int>(i);
  std::vector<int> a, b;
  const std::vector<int>& cables = sub_cables_[sub];
  for (auto k = cables.rbegin(); k != cables.rend(); ++k) {
    if (*k == slot || graph_.end1(*k) < 0 || graph_.end2(*k) < 0) continue;
    a.push_back(local_[graph_.end1(*k)]);
    b.push_back(local_[graph_.end2(*k)]);
  }
  ExporterProblem problem;
  CableGraph& part = problem.graph;
  part.build(static_cast<int>(nodes.size()), a, b);
  const int loops = static_cast<int>(cables.size()) - 1 - static_cast<int>(nodes.size()) + 1;

  best_.resize(nbr_conditions_);
  problem.s = local_[end1];
  problem.t = local_[end2];
  problem.nbr_loops = loops;
  // With few loops in many load centres there are far fewer sets of cuts than splits.
  const double every_set = estimate_every_set_cost(problem);
  if (estimate_split_cost(problem) < every_set &&
      gather_exporter_figures(figures_, sub, local_, &problem)) {
    std::vector<signed char> side;
    auto balance_split = [&](const std::vector<signed char>& split, SideBalance* out) {
      for (std::size_t i = 0; i < nodes.size(); ++i) side_[nodes[i]] = split[i];
      figures_.balance(sub, side_, out);
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
        best_.resize(nbr_conditions_);
        break;
    }
  }
  SideBalance candidate;
  candidate.resize(nbr_conditions_);
  bool found = false;
  search_cut_sets(part, local_[end1], local_[end2], loops,
                  [&](const std::vector<signed char>& side) {
                    for (std::size_t i = 0; i < nodes.size(); ++i) side_[nodes[i]] = side[i];
                    figures_.balance(sub, side_, &candidate);
                    for (int x : nodes) side_[x] = 0;
                    if (!(candidate.val > best_.val)) return;
                    best_ = candidate;
                    for (std::size_t i = 0; i < nodes.size(); ++i) best_side_[nodes[i]] = side[i];
                    found = true;
                  });
  if (found) copy_figures(best_, r);
  return found;
}

}  // namespace zevo
