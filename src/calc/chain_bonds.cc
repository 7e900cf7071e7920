#include "calc/chain_bonds.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace zevo {
namespace {

Fixed lower(Fixed a, Fixed b) { return a < b ? a : b; }
Fixed higher(Fixed a, Fixed b) { return a < b ? b : a; }

}  // namespace

void ChainBonds::Sums::assign(int nbr) {
  for (std::vector<Fixed>* v : {&g1, &l1, &g2, &l2}) v->assign(nbr, 0);
}

Fixed ChainBonds::Sums::value() const {
  Fixed val = 0;
  for (std::size_t ci = 0; ci < g1.size(); ++ci) {
    val = higher(val, higher(lower(g1[ci], l2[ci]), lower(g2[ci], l1[ci])));
  }
  return val;
}

// Branch points become keys; the rest is walked into chains. A part that is one ring has no
// branch point: its first node is taken as one.
void ChainBonds::reduce(const ExactPart& part) {
  p_ = &part;
  frontiers_.clear();
  const int n = part.nbr_nodes;
  const int m = static_cast<int>(part.end1.size());
  std::vector<int> degree(n + 1, 0);
  for (int e = 0; e < m; ++e) {
    if (part.end1[e] == part.end2[e]) continue;
    ++degree[part.end1[e]];
    ++degree[part.end2[e]];
  }
  first_.assign(n + 1, 0);
  for (int x = 0; x < n; ++x) first_[x + 1] = first_[x] + degree[x];
  half_edge_.assign(first_[n], 0);
  half_to_.assign(first_[n], 0);
  std::vector<int> fill(first_.begin(), first_.end() - 1);
  for (int e = 0; e < m; ++e) {
    const int a = part.end1[e], b = part.end2[e];
    if (a == b) continue;
    half_edge_[fill[a]] = e, half_to_[fill[a]++] = b;
    half_edge_[fill[b]] = e, half_to_[fill[b]++] = a;
  }
  std::vector<char> branch(n, 0);
  bool any = false;
  for (int x = 0; x < n; ++x) {
    branch[x] = degree[x] != 2;
    any = any || branch[x];
  }
  for (std::size_t i = 0; i < part.bus_a.size(); ++i) {
    for (int end : {part.bus_a[i], part.bus_b[i]}) {
      if (end >= 0) branch[end] = 1, any = true;
    }
  }
  if (!any && n > 0) branch[0] = 1;
  base_key_.assign(n, -1);
  key_node_.clear();
  for (int x = 0; x < n; ++x) {
    if (!branch[x]) continue;
    base_key_[x] = static_cast<int>(key_node_.size());
    key_node_.push_back(x);
  }
  nbr_base_keys_ = static_cast<int>(key_node_.size());

  const int nc = part.nbr_conditions;
  chains_.clear();
  chain_nodes_.clear();
  chain_edges_.clear();
  pre_g_.clear();
  pre_l_.clear();
  edge_chain_.assign(m, -1);
  edge_place_.assign(m, -1);
  std::vector<char> used(m, 0);
  for (int x = 0; x < n; ++x) {
    if (!branch[x]) continue;
    for (int h = first_[x]; h < first_[x + 1]; ++h) {
      if (used[half_edge_[h]]) continue;
      const int chain = static_cast<int>(chains_.size());
      Chain c{base_key_[x],
              -1,
              static_cast<int>(chain_nodes_.size()),
              static_cast<int>(chain_edges_.size()),
              0,
              pre_g_.size()};
      int came = half_edge_[h], at = half_to_[h];
      auto take_edge = [&](int e) {
        used[e] = 1;
        edge_chain_[e] = chain;
        edge_place_[e] = static_cast<int>(chain_edges_.size()) - c.edges;
        chain_edges_.push_back(e);
      };
      take_edge(came);
      while (!branch[at]) {
        chain_nodes_.push_back(at);
        const int next = half_edge_[first_[at]] == came ? first_[at] + 1 : first_[at];
        came = half_edge_[next];
        take_edge(came);
        at = half_to_[next];
      }
      c.v = base_key_[at];
      c.len = static_cast<int>(chain_nodes_.size()) - c.nodes;
      for (int ci = 0; ci < nc; ++ci) {
        Fixed sg = 0, sl = 0;
        pre_g_.push_back(0);
        pre_l_.push_back(0);
        for (int j = 0; j < c.len; ++j) {
          const std::size_t node = static_cast<std::size_t>(ci) * n + chain_nodes_[c.nodes + j];
          pre_g_.push_back(sg += part.g[node]);
          pre_l_.push_back(sl += part.l[node]);
        }
      }
      chains_.push_back(c);
    }
  }
}

Fixed ChainBonds::prefix(const std::vector<Fixed>& pre, const View& v, int ci, int j) const {
  const Chain& c = chains_[v.chain];
  const std::size_t row = c.pre + static_cast<std::size_t>(ci) * (c.len + 1);
  return pre[row + v.from + j] - pre[row + v.from];
}

Fixed ChainBonds::taken(const std::vector<Fixed>& pre, const Cut& cut, int ci, int p) const {
  const View& v = views_[cut.view];
  if (cut.from_u) return prefix(pre, v, ci, p);
  return prefix(pre, v, ci, v.len) - prefix(pre, v, ci, v.len - p);
}

int ChainBonds::cut_edge(const Cut& cut, int p) const {
  const View& v = views_[cut.view];
  const int place = v.from + (cut.from_u ? p : v.len - p);
  return chain_edges_[chains_[v.chain].edges + place];
}

int ChainBonds::add_key(int node) {
  if (base_key_[node] >= 0) return base_key_[node];
  const int k = static_cast<int>(key_node_.size());
  key_node_.push_back(node);
  for (int ci = 0; ci < p_->nbr_conditions; ++ci) {
    const std::size_t at = static_cast<std::size_t>(ci) * p_->nbr_nodes + node;
    key_g_.push_back(p_->g[at]);
    key_l_.push_back(p_->l[at]);
  }
  return k;
}

// The reduced graph without the cable: its chain split at the cable, its two ends keys, the
// chains that come back to one key folded into that key.
void ChainBonds::cut_out(int cable, int s, int t) {
  const int nc = p_->nbr_conditions;
  key_node_.resize(nbr_base_keys_);
  key_g_.clear();
  key_l_.clear();
  for (int k = 0; k < nbr_base_keys_; ++k) {
    for (int ci = 0; ci < nc; ++ci) {
      const std::size_t at = static_cast<std::size_t>(ci) * p_->nbr_nodes + key_node_[k];
      key_g_.push_back(p_->g[at]);
      key_l_.push_back(p_->l[at]);
    }
  }
  ks_ = add_key(s);
  kt_ = add_key(t);
  nbr_keys_ = static_cast<int>(key_node_.size());
  // Key weights by condition first, as the explorer reads them.
  wg_.assign(static_cast<std::size_t>(nc) * nbr_keys_, 0);
  wl_.assign(static_cast<std::size_t>(nc) * nbr_keys_, 0);
  for (int k = 0; k < nbr_keys_; ++k) {
    for (int ci = 0; ci < nc; ++ci) {
      wg_[key_index(ci, k)] = key_g_[static_cast<std::size_t>(k) * nc + ci];
      wl_[key_index(ci, k)] = key_l_[static_cast<std::size_t>(k) * nc + ci];
    }
  }
  views_.clear();
  auto add_view = [&](View v) {
    if (v.u != v.v) {
      views_.push_back(v);
      return;
    }
    for (int ci = 0; ci < nc; ++ci) {
      wg_[key_index(ci, v.u)] += prefix(pre_g_, v, ci, v.len);
      wl_[key_index(ci, v.u)] += prefix(pre_l_, v, ci, v.len);
    }
  };
  const int split = cable >= 0 ? edge_chain_[cable] : -1;
  for (int c = 0; c < static_cast<int>(chains_.size()); ++c) {
    const Chain& chain = chains_[c];
    if (c != split) {
      add_view({chain.u, chain.v, c, 0, chain.len});
      continue;
    }
    // The cable is edge j of the chain, between its nodes j - 1 and j (the ends at -1 and len).
    const int j = edge_place_[cable], len = chain.len;
    auto key_at = [&](int i) {
      return i < 0 ? chain.u : i >= len ? chain.v : add_key_index(chain_nodes_[chain.nodes + i]);
    };
    if (j >= 1) add_view({chain.u, key_at(j - 1), c, 0, j - 1});
    if (j <= len - 1) add_view({key_at(j), chain.v, c, j + 1, len - 1 - j});
  }
  long_views_.clear();
  for (std::size_t v = 0; v < views_.size(); ++v) {
    if (views_[v].len > 0) long_views_.push_back(static_cast<int>(v));
  }
  std::vector<int> key_degree(nbr_keys_ + 1, 0);
  for (const View& v : views_) ++key_degree[v.u], ++key_degree[v.v];
  key_first_.assign(nbr_keys_ + 1, 0);
  for (int k = 0; k < nbr_keys_; ++k) key_first_[k + 1] = key_first_[k] + key_degree[k];
  key_view_.assign(key_first_[nbr_keys_], 0);
  std::vector<int> at(key_first_.begin(), key_first_.end() - 1);
  for (std::size_t c = 0; c < views_.size(); ++c) {
    key_view_[at[views_[c].u]++] = static_cast<int>(c);
    key_view_[at[views_[c].v]++] = static_cast<int>(c);
  }
}

// The key of a chain node that became one of the cable's ends.
int ChainBonds::add_key_index(int node) const {
  if (node == key_node_[ks_]) return ks_;
  return kt_;
}

bool ChainBonds::search(int cable, int s, int t, ExactSplit* best, SearchBudget* budget) {
  best_ = best;
  found_ = false;
  budget_ = budget;
  frames_.clear();
  if (s < 0 || t < 0 || s == t) return false;
  cut_out(cable, s, t);
  in_a_.assign(nbr_keys_, 0);
  in_x_.assign(nbr_keys_, 0);
  mark_.assign(nbr_keys_, 0);
  seen_.assign(nbr_keys_, 0);
  a_trail_.clear();
  frontier_.clear();
  frames_.clear();
  frame_most_.clear();
  base_.assign(p_->nbr_conditions);
  most_.assign(p_->nbr_conditions);
  point_.assign(p_->nbr_conditions);
  in_x_[kt_] = 1;
  if (close_side(ks_)) explore();
  if (found_) std::sort(best->cuts.begin(), best->cuts.end());
  return found_;
}

int ChainBonds::across(int view, int k) const {
  return views_[view].u == k ? views_[view].v : views_[view].u;
}

// Takes v and every key that t can no longer reach into A, unless one of them is kept out.
bool ChainBonds::close_side(int v) {
  ++seen_stamp_;
  const int t = kt_;
  queue_.assign(1, t);
  seen_[t] = seen_stamp_;
  for (std::size_t q = 0; q < queue_.size(); ++q) {
    const int x = queue_[q];
    for (int h = key_first_[x]; h < key_first_[x + 1]; ++h) {
      const int y = across(key_view_[h], x);
      if (y == v || in_a_[y] || seen_[y] == seen_stamp_) continue;
      seen_[y] = seen_stamp_;
      queue_.push_back(y);
    }
  }
  for (int x = 0; x < nbr_keys_; ++x) {
    if (!in_a_[x] && seen_[x] != seen_stamp_ && in_x_[x]) return false;
  }
  for (int x = 0; x < nbr_keys_; ++x) {
    if (in_a_[x] || seen_[x] == seen_stamp_) continue;
    in_a_[x] = 1;
    a_trail_.push_back(x);
  }
  return true;
}

// The sums of the bond of the current A less its cut chains (base_), and the most any bond
// below it can hold on each side (most_): side 1 stays out of X, side 2 out of A.
void ChainBonds::take_sums() {
  const int nb = static_cast<int>(p_->bus_a.size());
  for (int ci = 0; ci < p_->nbr_conditions; ++ci) {
    Fixed g1 = 0, l1 = 0, g2 = 0, l2 = 0, g1m = 0, l1m = 0, g2m = 0, l2m = 0;
    for (int x = 0; x < nbr_keys_; ++x) {
      const Fixed g = wg_[key_index(ci, x)], l = wl_[key_index(ci, x)];
      if (in_a_[x]) {
        g1 += g, l1 += l;
      } else {
        g2 += g, l2 += l;
      }
      if (!in_x_[x]) g1m += g, l1m += l;
    }
    g2m = g2, l2m = l2;
    for (int v : long_views_) {
      const View& c = views_[v];
      const Fixed g = total(pre_g_, c, ci), l = total(pre_l_, c, ci);
      const bool a_u = in_a_[c.u], a_v = in_a_[c.v];
      if (a_u && a_v) g1 += g, l1 += l;
      if (!a_u && !a_v) g2 += g, l2 += l;
      if (!(in_x_[c.u] && in_x_[c.v])) g1m += g, l1m += l;
      if (!(a_u && a_v)) g2m += g, l2m += l;
    }
    for (int i = 0; i < nb; ++i) {
      const int a = p_->bus_a[i] >= 0 ? base_key_[p_->bus_a[i]] : -1;
      const int b = p_->bus_b[i] >= 0 ? base_key_[p_->bus_b[i]] : -1;
      const std::size_t at = static_cast<std::size_t>(ci) * nb + i;
      const Fixed g = p_->bus_g[at], l = p_->bus_l[at];
      if ((a >= 0 && in_a_[a]) || (b >= 0 && in_a_[b])) g1 += g, l1 += l;
      if ((a >= 0 && !in_a_[a]) || (b >= 0 && !in_a_[b])) g2 += g, l2 += l, g2m += g, l2m += l;
      if ((a >= 0 && !in_x_[a]) || (b >= 0 && !in_x_[b])) g1m += g, l1m += l;
    }
    base_.g1[ci] = g1, base_.l1[ci] = l1, base_.g2[ci] = g2, base_.l2[ci] = l2;
    most_.g1[ci] = g1m, most_.l1[ci] = l1m, most_.g2[ci] = g2m, most_.l2[ci] = l2m;
  }
}

// The sums with the cut chains cut at `at`, side 1 taking the first at[i] nodes of cut i.
void ChainBonds::sum_at(const std::vector<int>& at, Sums* out) const {
  for (int ci = 0; ci < p_->nbr_conditions; ++ci) {
    Fixed g1 = base_.g1[ci], l1 = base_.l1[ci], g2 = base_.g2[ci], l2 = base_.l2[ci];
    for (std::size_t i = 0; i < cuts_.size(); ++i) {
      const View& c = views_[cuts_[i].view];
      const Fixed tg = taken(pre_g_, cuts_[i], ci, at[i]);
      const Fixed tl = taken(pre_l_, cuts_[i], ci, at[i]);
      g1 += tg, l1 += tl;
      g2 += total(pre_g_, c, ci) - tg;
      l2 += total(pre_l_, c, ci) - tl;
    }
    out->g1[ci] = g1, out->l1[ci] = l1, out->g2[ci] = g2, out->l2[ci] = l2;
  }
}

void ChainBonds::weigh_point(const std::vector<int>& at) {
  sum_at(at, &point_);
  const Fixed val = point_.value();
  if (!(val > best_->val)) return;
  best_->val = val;
  best_->g1 = point_.g1, best_->l1 = point_.l1, best_->g2 = point_.g2, best_->l2 = point_.l2;
  best_->cuts = short_cuts_;
  for (std::size_t i = 0; i < cuts_.size(); ++i) best_->cuts.push_back(cut_edge(cuts_[i], at[i]));
  found_ = true;
}

// The cut positions of the current bond of the reduced graph, condition by condition and for
// each direction of flow (cut_positions.h).
void ChainBonds::weigh_bond() {
  // A cut chain without interior nodes adds nothing to either side; only its cable is noted.
  cuts_.clear();
  short_cuts_.clear();
  for (std::size_t c = 0; c < views_.size(); ++c) {
    const View& view = views_[c];
    if (in_a_[view.u] == in_a_[view.v]) continue;
    const Cut cut{static_cast<int>(c), in_a_[view.u] != 0};
    if (view.len > 0) {
      cuts_.push_back(cut);
    } else {
      short_cuts_.push_back(cut_edge(cut, 0));
    }
  }
  if (cuts_.empty()) {
    weigh_point({});
    return;
  }
  const std::size_t k = cuts_.size();
  axes_.resize(k);
  const WeighPositions weigh = [this](const std::vector<int>& at) { weigh_point(at); };
  for (int ci = 0; ci < p_->nbr_conditions; ++ci) {
    Fixed total_g = 0, total_l = 0;
    for (const Cut& cut : cuts_) {
      total_g += total(pre_g_, views_[cut.view], ci);
      total_l += total(pre_l_, views_[cut.view], ci);
    }
    // From side 1 to side 2 the generation of side 1 rises against the load of side 2; the
    // other way the load of side 1 rises against the generation of side 2.
    for (const bool to_side2 : {true, false}) {
      // The positions left lie under the bound of this bond's search node.
      if (budget_ && budget_->run_out()) return;
      const Fixed rise0 = to_side2 ? base_.g1[ci] : base_.l1[ci];
      const Fixed fall0 = to_side2 ? base_.l2[ci] + total_l : base_.g2[ci] + total_g;
      const Fixed most_rise = rise0 + (to_side2 ? total_g : total_l);
      if (!(lower(most_rise, fall0) > best_->val)) continue;
      for (std::size_t i = 0; i < k; ++i) {
        const View& v = views_[cuts_[i].view];
        const Chain& c = chains_[v.chain];
        const std::size_t row = c.pre + static_cast<std::size_t>(ci) * (c.len + 1) + v.from;
        const Fixed* g = pre_g_.data() + row;
        const Fixed* l = pre_l_.data() + row;
        axes_[i] = {to_side2 ? g : l, to_side2 ? l : g, v.len, cuts_[i].from_u};
      }
      if (k != 3) {
        positions_.search(rise0, fall0, axes_, &best_->val, weigh);
        continue;
      }
      // The two longer chains are combined once for every cable whose bonds cut the same three.
      std::size_t a = 0;
      for (std::size_t i = 1; i < k; ++i) {
        if (axes_[i].len < axes_[a].len) a = i;
      }
      const std::size_t b = a == 0 ? 1 : 0, c = a == 2 ? 1 : 2;
      std::array<int, 10> key{ci, to_side2};
      for (std::size_t i : {b, c}) {
        const View& v = views_[cuts_[i].view];
        const std::size_t at = i == b ? 2 : 6;
        key[at] = v.chain, key[at + 1] = v.from, key[at + 2] = v.len, key[at + 3] = cuts_[i].from_u;
      }
      const auto [entry, fresh] = frontiers_.try_emplace(key);
      if (fresh) build_pair_frontier(axes_[b], axes_[c], &entry->second);
      positions_.search_three(rise0, fall0, axes_, a, b, c, entry->second, &best_->val, weigh);
    }
  }
}

bool ChainBonds::enter_node() {
  take_sums();
  Fixed bound = 0;
  for (int ci = 0; ci < p_->nbr_conditions; ++ci) {
    bound =
        higher(bound, higher(lower(most_.g1[ci], most_.l2[ci]), lower(most_.g2[ci], most_.l1[ci])));
  }
  if (!(bound > best_->val)) return false;
  weigh_bond();

  const std::size_t first = frontier_.size();
  ++stamp_;
  for (int x = 0; x < nbr_keys_; ++x) {
    if (!in_a_[x]) continue;
    for (int h = key_first_[x]; h < key_first_[x + 1]; ++h) {
      const int y = across(key_view_[h], x);
      if (in_a_[y] || in_x_[y] || mark_[y] == stamp_) continue;
      mark_[y] = stamp_;
      frontier_.push_back(y);
    }
  }
  frames_.push_back({first, frontier_.size(), first, 0, false, bound});
  for (int ci = 0; ci < p_->nbr_conditions; ++ci) {
    frame_most_.insert(frame_most_.end(), {most_.g1[ci], most_.l1[ci], most_.g2[ci], most_.l2[ci]});
  }
  return true;
}

// What the frame on top still allows side 1 loses a sibling kept out of A.
void ChainBonds::keep_out(int v) {
  in_x_[v] = 1;
  Fixed* most = &frame_most_[frame_most_.size() - 4 * static_cast<std::size_t>(p_->nbr_conditions)];
  for (int ci = 0; ci < p_->nbr_conditions; ++ci, most += 4) {
    most[0] -= wg_[key_index(ci, v)];
    most[1] -= wl_[key_index(ci, v)];
  }
}

// Whether taking v into A may lead to a better bond, judged before its side is closed: side 1
// keeps at most what the frame still allows, side 2 loses at least v.
bool ChainBonds::child_may_beat(int v) const {
  const Fixed* most =
      &frame_most_[frame_most_.size() - 4 * static_cast<std::size_t>(p_->nbr_conditions)];
  for (int ci = 0; ci < p_->nbr_conditions; ++ci, most += 4) {
    const Fixed one_way = lower(most[0], most[3] - wl_[key_index(ci, v)]);
    const Fixed other_way = lower(most[2] - wg_[key_index(ci, v)], most[1]);
    if (higher(one_way, other_way) > best_->val) return true;
  }
  return false;
}

// The same walk over search nodes as the bond search of the unreduced part.
void ChainBonds::explore() {
  if (!enter_node()) return;
  while (!frames_.empty()) {
    if (budget_ && budget_->run_out()) return;  // the frames left hold what is unexplored
    Frame& frame = frames_.back();
    if (frame.child_open) {
      for (std::size_t j = frame.trail; j < a_trail_.size(); ++j) in_a_[a_trail_[j]] = 0;
      a_trail_.resize(frame.trail);
      frame.child_open = false;
      keep_out(frontier_[frame.next++]);
    }
    if (frame.next == frame.last) {
      for (std::size_t i = frame.first; i < frame.last; ++i) in_x_[frontier_[i]] = 0;
      frontier_.resize(frame.first);
      frames_.pop_back();
      frame_most_.resize(frame_most_.size() - 4 * static_cast<std::size_t>(p_->nbr_conditions));
      continue;
    }
    const int v = frontier_[frame.next];
    frame.trail = a_trail_.size();
    if (!child_may_beat(v) || !close_side(v)) {
      keep_out(v);
      ++frame.next;
      continue;
    }
    frame.child_open = true;
    enter_node();  // may grow frames_: `frame` is not used after this
  }
}

Fixed ChainBonds::pending_bound() const {
  Fixed most = 0;
  for (const Frame& frame : frames_) {
    if (frame.bound > best_->val) most = higher(most, frame.bound);
  }
  return most;
}

}  // namespace zevo
