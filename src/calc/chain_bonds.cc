#include "calc/chain_bonds.h"

#include <cstddef>

namespace zevo {
namespace {

Fixed lower(Fixed a, Fixed b) { return a < b ? a : b; }
Fixed higher(Fixed a, Fixed b) { return a < b ? b : a; }

// The value of one split from its four sums under every condition.
struct Sums {
  std::vector<Fixed> g1, l1, g2, l2;
  void assign(int nbr) {
    for (std::vector<Fixed>* v : {&g1, &l1, &g2, &l2}) v->assign(nbr, 0);
  }
  Fixed value() const {
    Fixed val = 0;
    for (std::size_t ci = 0; ci < g1.size(); ++ci) {
      val = higher(val, higher(lower(g1[ci], l2[ci]), lower(g2[ci], l1[ci])));
    }
    return val;
  }
};

class ChainBondExplorer {
 public:
  ChainBondExplorer(const ExactPart& p, ExactSplit* best) : p_(p), best_(best) {}

  bool run() {
    if (p_.s < 0 || p_.t < 0 || p_.s == p_.t) return false;
    reduce();
    in_a_.assign(nbr_keys_, 0);
    in_x_.assign(nbr_keys_, 0);
    mark_.assign(nbr_keys_, 0);
    seen_.assign(nbr_keys_, 0);
    base_.assign(p_.nbr_conditions);
    most_.assign(p_.nbr_conditions);
    point_.assign(p_.nbr_conditions);
    corner_.assign(p_.nbr_conditions);
    in_x_[key_[p_.t]] = 1;
    if (close_side(key_[p_.s])) explore();
    if (found_) label_best();
    return found_;
  }

 private:
  struct Chain {
    int u, v;         // keys of its ends
    int first, len;   // interior nodes chain_nodes_[first, first + len), from u
    std::size_t pre;  // prefix sums: pre_g_[pre + ci * (len + 1) + j] over the first j nodes
    bool loop;        // u == v: never cut, it follows u
  };
  struct Cut {
    int chain;
    bool from_u;  // u lies on side 1
  };

  Fixed prefix(const std::vector<Fixed>& pre, const Chain& c, int ci, int j) const {
    return pre[c.pre + static_cast<std::size_t>(ci) * (c.len + 1) + j];
  }
  // The figures of the first p interior nodes, counted from the chain's end on side 1.
  Fixed taken(const std::vector<Fixed>& pre, const Cut& cut, int ci, int p) const {
    const Chain& c = chains_[cut.chain];
    if (cut.from_u) return prefix(pre, c, ci, p);
    return prefix(pre, c, ci, c.len) - prefix(pre, c, ci, c.len - p);
  }

  // Branch points become keys; the rest is walked into chains.
  void reduce() {
    const int n = p_.nbr_nodes;
    const int m = static_cast<int>(p_.end1.size());
    std::vector<int> degree(n + 1, 0);
    for (int e = 0; e < m; ++e) {
      if (p_.end1[e] < 0 || p_.end2[e] < 0 || p_.end1[e] == p_.end2[e]) continue;
      ++degree[p_.end1[e]];
      ++degree[p_.end2[e]];
    }
    first_.assign(n + 1, 0);
    for (int x = 0; x < n; ++x) first_[x + 1] = first_[x] + degree[x];
    half_edge_.assign(first_[n], 0);
    half_to_.assign(first_[n], 0);
    std::vector<int> fill(first_.begin(), first_.end() - 1);
    for (int e = 0; e < m; ++e) {
      const int a = p_.end1[e], b = p_.end2[e];
      if (a < 0 || b < 0 || a == b) continue;
      half_edge_[fill[a]] = e, half_to_[fill[a]++] = b;
      half_edge_[fill[b]] = e, half_to_[fill[b]++] = a;
    }
    std::vector<char> branch(n, 0);
    for (int x = 0; x < n; ++x) branch[x] = degree[x] != 2;
    branch[p_.s] = branch[p_.t] = 1;
    for (std::size_t i = 0; i < p_.bus_a.size(); ++i) {
      if (p_.bus_a[i] >= 0) branch[p_.bus_a[i]] = 1;
      if (p_.bus_b[i] >= 0) branch[p_.bus_b[i]] = 1;
    }
    key_.assign(n, -1);
    nbr_keys_ = 0;
    for (int x = 0; x < n; ++x) {
      if (branch[x]) key_[x] = nbr_keys_++;
    }
    const int nc = p_.nbr_conditions;
    wg_.assign(static_cast<std::size_t>(nc) * nbr_keys_, 0);
    wl_.assign(static_cast<std::size_t>(nc) * nbr_keys_, 0);
    for (int x = 0; x < n; ++x) {
      if (key_[x] < 0) continue;
      for (int ci = 0; ci < nc; ++ci) {
        wg_[key_index(ci, key_[x])] = p_.g[static_cast<std::size_t>(ci) * n + x];
        wl_[key_index(ci, key_[x])] = p_.l[static_cast<std::size_t>(ci) * n + x];
      }
    }

    chains_.clear();
    chain_nodes_.clear();
    pre_g_.clear();
    pre_l_.clear();
    std::vector<char> used(m, 0);
    for (int x = 0; x < n; ++x) {
      if (!branch[x]) continue;
      for (int h = first_[x]; h < first_[x + 1]; ++h) {
        if (used[half_edge_[h]]) continue;
        used[half_edge_[h]] = 1;
        Chain c{key_[x], -1, static_cast<int>(chain_nodes_.size()), 0, pre_g_.size(), false};
        int came = half_edge_[h], at = half_to_[h];
        while (!branch[at]) {
          chain_nodes_.push_back(at);
          const int next = half_edge_[first_[at]] == came ? first_[at] + 1 : first_[at];
          came = half_edge_[next];
          used[came] = 1;
          at = half_to_[next];
        }
        c.v = key_[at];
        c.len = static_cast<int>(chain_nodes_.size()) - c.first;
        c.loop = c.u == c.v;
        for (int ci = 0; ci < nc; ++ci) {
          Fixed sg = 0, sl = 0;
          pre_g_.push_back(0);
          pre_l_.push_back(0);
          for (int j = 0; j < c.len; ++j) {
            const std::size_t at_node =
                static_cast<std::size_t>(ci) * n + chain_nodes_[c.first + j];
            pre_g_.push_back(sg += p_.g[at_node]);
            pre_l_.push_back(sl += p_.l[at_node]);
          }
          if (c.loop) wg_[key_index(ci, c.u)] += sg, wl_[key_index(ci, c.u)] += sl;
        }
        chains_.push_back(c);
      }
    }
    // The reduced graph: chains as edges between keys.
    std::vector<int> key_degree(nbr_keys_ + 1, 0);
    for (const Chain& c : chains_) {
      if (!c.loop) ++key_degree[c.u], ++key_degree[c.v];
    }
    key_first_.assign(nbr_keys_ + 1, 0);
    for (int k = 0; k < nbr_keys_; ++k) key_first_[k + 1] = key_first_[k] + key_degree[k];
    key_chain_.assign(key_first_[nbr_keys_], 0);
    std::vector<int> at(key_first_.begin(), key_first_.end() - 1);
    for (std::size_t c = 0; c < chains_.size(); ++c) {
      if (chains_[c].loop) continue;
      key_chain_[at[chains_[c].u]++] = static_cast<int>(c);
      key_chain_[at[chains_[c].v]++] = static_cast<int>(c);
    }
  }

  std::size_t key_index(int ci, int k) const {
    return static_cast<std::size_t>(ci) * nbr_keys_ + k;
  }
  int across(int chain, int k) const {
    return chains_[chain].u == k ? chains_[chain].v : chains_[chain].u;
  }

  // Takes v and every key that t can no longer reach into A, unless one of them is kept out.
  bool close_side(int v) {
    ++seen_stamp_;
    const int t = key_[p_.t];
    queue_.assign(1, t);
    seen_[t] = seen_stamp_;
    for (std::size_t q = 0; q < queue_.size(); ++q) {
      const int x = queue_[q];
      for (int h = key_first_[x]; h < key_first_[x + 1]; ++h) {
        const int y = across(key_chain_[h], x);
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
  void take_sums() {
    const int nb = static_cast<int>(p_.bus_a.size());
    for (int ci = 0; ci < p_.nbr_conditions; ++ci) {
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
      for (const Chain& c : chains_) {
        if (c.loop) continue;
        const Fixed g = prefix(pre_g_, c, ci, c.len), l = prefix(pre_l_, c, ci, c.len);
        const bool a_u = in_a_[c.u], a_v = in_a_[c.v];
        if (a_u && a_v) g1 += g, l1 += l;
        if (!a_u && !a_v) g2 += g, l2 += l;
        if (!(in_x_[c.u] && in_x_[c.v])) g1m += g, l1m += l;
        if (!(a_u && a_v)) g2m += g, l2m += l;
      }
      for (int i = 0; i < nb; ++i) {
        const int a = p_.bus_a[i] >= 0 ? key_[p_.bus_a[i]] : -1;
        const int b = p_.bus_b[i] >= 0 ? key_[p_.bus_b[i]] : -1;
        const std::size_t at = static_cast<std::size_t>(ci) * nb + i;
        const Fixed g = p_.bus_g[at], l = p_.bus_l[at];
        if ((a >= 0 && in_a_[a]) || (b >= 0 && in_a_[b])) g1 += g, l1 += l;
        if ((a >= 0 && !in_a_[a]) || (b >= 0 && !in_a_[b])) g2 += g, l2 += l, g2m += g, l2m += l;
        if ((a >= 0 && !in_x_[a]) || (b >= 0 && !in_x_[b])) g1m += g, l1m += l;
      }
      base_.g1[ci] = g1, base_.l1[ci] = l1, base_.g2[ci] = g2, base_.l2[ci] = l2;
      most_.g1[ci] = g1m, most_.l1[ci] = l1m, most_.g2[ci] = g2m, most_.l2[ci] = l2m;
    }
  }

  // The sums with the cut chains cut at `at`, side 1 taking the first at[i] nodes of cut i.
  void sum_at(const std::vector<int>& at, Sums* out) const {
    for (int ci = 0; ci < p_.nbr_conditions; ++ci) {
      Fixed g1 = base_.g1[ci], l1 = base_.l1[ci], g2 = base_.g2[ci], l2 = base_.l2[ci];
      for (std::size_t i = 0; i < cuts_.size(); ++i) {
        const Chain& c = chains_[cuts_[i].chain];
        const Fixed tg = taken(pre_g_, cuts_[i], ci, at[i]);
        const Fixed tl = taken(pre_l_, cuts_[i], ci, at[i]);
        g1 += tg, l1 += tl;
        g2 += prefix(pre_g_, c, ci, c.len) - tg;
        l2 += prefix(pre_l_, c, ci, c.len) - tl;
      }
      out->g1[ci] = g1, out->l1[ci] = l1, out->g2[ci] = g2, out->l2[ci] = l2;
    }
  }

  // The most any cut positions in the box [lo, hi] can give: side 1 is largest at hi, side 2
  // at lo.
  Fixed box_bound(const std::vector<int>& lo, const std::vector<int>& hi) {
    sum_at(hi, &corner_);
    sum_at(lo, &point_);
    Fixed bound = 0;
    for (int ci = 0; ci < p_.nbr_conditions; ++ci) {
      bound = higher(bound, higher(lower(corner_.g1[ci], point_.l2[ci]),
                                   lower(point_.g2[ci], corner_.l1[ci])));
    }
    return bound;
  }

  void weigh_point(const std::vector<int>& at) {
    sum_at(at, &point_);
    const Fixed val = point_.value();
    if (!(val > best_->val)) return;
    best_->val = val;
    best_->g1 = point_.g1, best_->l1 = point_.l1, best_->g2 = point_.g2, best_->l2 = point_.l2;
    best_a_ = in_a_;
    best_cuts_ = cuts_;
    best_at_ = at;
    found_ = true;
  }

  // Branch and bound over the boxes of cut positions of the current bond of the reduced graph.
  void weigh_bond() {
    cuts_.clear();
    for (std::size_t c = 0; c < chains_.size(); ++c) {
      const Chain& chain = chains_[c];
      if (!chain.loop && in_a_[chain.u] != in_a_[chain.v]) {
        cuts_.push_back({static_cast<int>(c), in_a_[chain.u] != 0});
      }
    }
    const std::size_t k = cuts_.size();
    std::vector<int> lo(k, 0), hi(k);
    for (std::size_t i = 0; i < k; ++i) hi[i] = chains_[cuts_[i].chain].len;
    boxes_.clear();
    boxes_.push_back(lo);
    boxes_.push_back(hi);
    while (!boxes_.empty()) {
      hi = boxes_.back();
      boxes_.pop_back();
      lo = boxes_.back();
      boxes_.pop_back();
      if (!(box_bound(lo, hi) > best_->val)) continue;
      weigh_point(lo);
      weigh_point(hi);
      std::size_t widest = 0;
      for (std::size_t i = 1; i < k; ++i) {
        if (hi[i] - lo[i] > hi[widest] - lo[widest]) widest = i;
      }
      if (k == 0 || hi[widest] - lo[widest] < 2) {
        if (k > 0 && hi[widest] - lo[widest] == 1 && k > 1) {
          // A box one wide in every direction still has corners not yet weighed.
          std::vector<int> mid_hi = hi;
          mid_hi[widest] = lo[widest];
          std::vector<int> mid_lo = lo;
          mid_lo[widest] = hi[widest];
          push_box(lo, mid_hi);
          push_box(mid_lo, hi);
        }
        continue;
      }
      const int mid = lo[widest] + (hi[widest] - lo[widest]) / 2;
      std::vector<int> left_hi = hi, right_lo = lo;
      left_hi[widest] = mid;
      right_lo[widest] = mid;
      // The half with the higher bound is taken first.
      const Fixed left = box_bound(lo, left_hi), right = box_bound(right_lo, hi);
      if (left > right) {
        push_box(right_lo, hi);
        push_box(lo, left_hi);
      } else {
        push_box(lo, left_hi);
        push_box(right_lo, hi);
      }
    }
  }

  void push_box(const std::vector<int>& lo, const std::vector<int>& hi) {
    boxes_.push_back(lo);
    boxes_.push_back(hi);
  }

  struct Frame {
    std::size_t first, last, next, trail;
    bool child_open;
  };

  bool enter_node() {
    take_sums();
    Fixed bound = 0;
    for (int ci = 0; ci < p_.nbr_conditions; ++ci) {
      bound = higher(bound,
                     higher(lower(most_.g1[ci], most_.l2[ci]), lower(most_.g2[ci], most_.l1[ci])));
    }
    if (!(bound > best_->val)) return false;
    weigh_bond();

    const std::size_t first = frontier_.size();
    ++stamp_;
    for (int x = 0; x < nbr_keys_; ++x) {
      if (!in_a_[x]) continue;
      for (int h = key_first_[x]; h < key_first_[x + 1]; ++h) {
        const int y = across(key_chain_[h], x);
        if (in_a_[y] || in_x_[y] || mark_[y] == stamp_) continue;
        mark_[y] = stamp_;
        frontier_.push_back(y);
      }
    }
    frames_.push_back({first, frontier_.size(), first, 0, false});
    return true;
  }

  // The same walk over search nodes as the bond search of the unreduced part.
  void explore() {
    if (!enter_node()) return;
    while (!frames_.empty()) {
      Frame& frame = frames_.back();
      if (frame.child_open) {
        for (std::size_t j = frame.trail; j < a_trail_.size(); ++j) in_a_[a_trail_[j]] = 0;
        a_trail_.resize(frame.trail);
        frame.child_open = false;
        in_x_[frontier_[frame.next++]] = 1;
      }
      if (frame.next == frame.last) {
        for (std::size_t i = frame.first; i < frame.last; ++i) in_x_[frontier_[i]] = 0;
        frontier_.resize(frame.first);
        frames_.pop_back();
        continue;
      }
      const int v = frontier_[frame.next];
      frame.trail = a_trail_.size();
      if (!close_side(v)) {
        in_x_[v] = 1;
        ++frame.next;
        continue;
      }
      frame.child_open = true;
      enter_node();  // may grow frames_: `frame` is not used after this
    }
  }

  void label_best() {
    std::vector<signed char>& side = best_->side;
    side.assign(p_.nbr_nodes, 2);
    for (int x = 0; x < p_.nbr_nodes; ++x) {
      if (key_[x] >= 0) side[x] = best_a_[key_[x]] ? 1 : 2;
    }
    std::vector<int> cut_at(chains_.size(), -1);
    for (std::size_t i = 0; i < best_cuts_.size(); ++i) cut_at[best_cuts_[i].chain] = best_at_[i];
    for (std::size_t c = 0; c < chains_.size(); ++c) {
      const Chain& chain = chains_[c];
      for (int j = 0; j < chain.len; ++j) {
        signed char s = best_a_[chain.u] ? 1 : 2;
        if (cut_at[c] >= 0) {
          const int from_side1 = best_a_[chain.u] ? j : chain.len - 1 - j;
          s = from_side1 < cut_at[c] ? 1 : 2;
        }
        side[chain_nodes_[chain.first + j]] = s;
      }
    }
  }

  const ExactPart& p_;
  ExactSplit* best_;
  bool found_ = false;

  std::vector<int> first_, half_edge_, half_to_;
  std::vector<int> key_;
  int nbr_keys_ = 0;
  std::vector<Fixed> wg_, wl_;
  std::vector<Chain> chains_;
  std::vector<int> chain_nodes_;
  std::vector<Fixed> pre_g_, pre_l_;
  std::vector<int> key_first_, key_chain_;

  std::vector<char> in_a_, in_x_;
  std::vector<int> a_trail_, frontier_, queue_, mark_, seen_;
  std::vector<Frame> frames_;
  int stamp_ = 0, seen_stamp_ = 0;
  Sums base_, most_, point_, corner_;
  std::vector<Cut> cuts_;
  std::vector<std::vector<int>> boxes_;

  std::vector<char> best_a_;
  std::vector<Cut> best_cuts_;
  std::vector<int> best_at_;
};

}  // namespace

bool search_chain_bonds(const ExactPart& part, ExactSplit* best) {
  ChainBondExplorer explorer(part, best);
  return explorer.run();
}

}  // namespace zevo
