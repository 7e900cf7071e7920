#include "calc/side_figures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

#include "model/names.h"

namespace zevo {
namespace {}  // namespace

void SideFigures::gather(const NETWORK* nw, const char* const* names, int nbr_conditions) {
  nbr_conditions_ = nbr_conditions;
  const int nodes = nw->nbr_network_nodes > 0 ? nw->nbr_network_nodes : 0;
  const int bts = nw->nbr_bustransfers > 0 ? nw->nbr_bustransfers : 0;

  term_first_.assign(static_cast<std::size_t>(nodes + bts) * nbr_conditions + 1, 0);
  term_g_.clear();
  term_l_.clear();
  std::size_t at = 0;
  auto add_holder = [&](const CONDITION* conditions) {
    for (int ci = 0; ci < nbr_conditions; ++ci) {
      term_first_[at++] = static_cast<int>(term_g_.size());
      for (const CONDITION* entry = conditions; entry; entry = entry->next) {
        if (!same_name(entry->name, names[ci])) continue;
        term_g_.push_back(entry->generation);
        term_l_.push_back(entry->load);
      }
    }
  };

  int nbr_subs = nw->nbr_sub_networks > 0 ? nw->nbr_sub_networks : 0;
  node_sub_.assign(nodes, 0);
  std::unordered_map<const NODE*, int> slot_of;
  for (int i = 0; i < nodes; ++i) {
    const NETWORK_NODE* slot = nw->nn[i];
    add_holder(slot ? slot->n->conditions : nullptr);
    if (!slot) continue;
    node_sub_[i] = slot->sub_network;
    slot_of.emplace(slot->n, i);
  }
  bt_end1_.assign(bts, -1);
  bt_end2_.assign(bts, -1);
  for (int b = 0; b < bts; ++b) {
    const NETWORK_BUS_TRANSFER* slot = nw->nbt[b];
    add_holder(slot ? slot->bt->conditions : nullptr);
    if (!slot) continue;
    auto end1 = slot_of.find(slot->bt->n1);
    auto end2 = slot_of.find(slot->bt->n2);
    if (end1 != slot_of.end()) bt_end1_[b] = end1->second;
    if (end2 != slot_of.end()) bt_end2_[b] = end2->second;
  }
  term_first_[at] = static_cast<int>(term_g_.size());

  sub_nodes_.assign(nbr_subs + 1, {});
  sub_bts_.assign(nbr_subs + 1, {});
  for (int i = 0; i < nodes; ++i) {
    if (node_sub_[i] > 0 && node_sub_[i] <= nbr_subs) sub_nodes_[node_sub_[i]].push_back(i);
  }
  for (int b = 0; b < bts; ++b) {
    const int s1 = bt_end1_[b] >= 0 ? node_sub_[bt_end1_[b]] : 0;
    const int s2 = bt_end2_[b] >= 0 ? node_sub_[bt_end2_[b]] : 0;
    if (s1 > 0 && s1 <= nbr_subs) sub_bts_[s1].push_back(b);
    if (s2 > 0 && s2 <= nbr_subs && s2 != s1) sub_bts_[s2].push_back(b);
  }
  sub_exact_.assign(nbr_subs + 1, 0);
  sub_monotone_.assign(nbr_subs + 1, 0);
  sub_nbr_terms_.assign(nbr_subs + 1, 0);
  sub_finite_total_.assign(nbr_subs + 1, 0.0);
  sub_finite_.assign(nbr_subs + 1, 0);
  sub_error_.assign(nbr_subs + 1, 0.0);
  for (int s = 1; s <= nbr_subs; ++s) classify(s);
  scale_figures();
}

void SideFigures::scale_figures() {
  std::vector<double> all(term_g_);
  all.insert(all.end(), term_l_.begin(), term_l_.end());
  scale_.choose(all);
  const std::size_t holders = term_first_.size() / (nbr_conditions_ > 0 ? nbr_conditions_ : 1);
  fixed_g_.assign(holders * nbr_conditions_, 0);
  fixed_l_.assign(holders * nbr_conditions_, 0);
  if (!scale_.usable()) return;
  for (std::size_t h = 0; h + 1 < term_first_.size(); ++h) {
    for (int t = term_first_[h]; t < term_first_[h + 1]; ++t) {
      if (!std::isfinite(term_g_[t]) || !std::isfinite(term_l_[t])) continue;
      fixed_g_[h] += scale_.scale(term_g_[t]);
      fixed_l_[h] += scale_.scale(term_l_[t]);
    }
  }
}

void SideFigures::classify(int sub) {
  std::vector<int> holders = sub_nodes_[sub];
  for (int b : sub_bts_[sub]) holders.push_back(nbr_nodes() + b);
  auto for_each_figure = [&](auto&& visit) {
    for (int h : holders) {
      const auto first = static_cast<std::size_t>(term_first_[h * nbr_conditions_]);
      const auto last = static_cast<std::size_t>(term_first_[(h + 1) * nbr_conditions_]);
      for (std::size_t t = first; t < last; ++t) {
        visit(term_g_[t]);
        visit(term_l_[t]);
      }
    }
  };

  bool monotone = true, finite = true;
  int lowest = 1 << 20, count = 0;
  double total = 0.0;
  for_each_figure([&](double x) {
    ++count;
    if (std::isnan(x) || x < 0) monotone = false;
    if (!std::isfinite(x)) {
      finite = false;
      return;
    }
    total += std::fabs(x);
    if (x != 0) lowest = std::min(lowest, binary_of(x).exponent);
  });
  // With every figure k * 2^lowest, a sum stays exact while its multiple of 2^lowest fits in
  // 53 bits; the scaled figures are whole numbers, added here without rounding.
  bool exact = finite;
  std::uint64_t scaled_total = 0;
  const std::uint64_t limit = std::uint64_t{1} << 53;
  if (exact) {
    for_each_figure([&](double x) {
      if (!exact || x == 0) return;
      const Binary b = binary_of(x);
      const int shift = b.exponent - lowest;
      if (shift > 53 || (b.mantissa << shift) > limit) {
        exact = false;
        return;
      }
      scaled_total += b.mantissa << shift;
      if (scaled_total > limit) exact = false;
    });
  }
  sub_exact_[sub] = exact;
  sub_finite_[sub] = finite;
  sub_error_[sub] = sum_error_bound(count, total);
  sub_monotone_[sub] = monotone;
  sub_nbr_terms_[sub] = count;
  sub_finite_total_[sub] = total;
}

double SideFigures::sum_of(int holder, int ci, const std::vector<double>& figures) const {
  const std::size_t h = static_cast<std::size_t>(holder) * nbr_conditions_ + ci;
  double sum = 0.0;
  for (int t = term_first_[h]; t < term_first_[h + 1]; ++t) sum += figures[t];
  return sum;
}

double SideFigures::flow_ceiling(int sub) const {
  double ceiling = 0.0;
  for (int ci = 0; ci < nbr_conditions_; ++ci) {
    double g = 0.0, l = 0.0;
    bool nan = false;
    auto add = [&](int holder) {
      const std::size_t h = static_cast<std::size_t>(holder) * nbr_conditions_ + ci;
      for (int t = term_first_[h]; t < term_first_[h + 1]; ++t) {
        nan = nan || std::isnan(term_g_[t]) || std::isnan(term_l_[t]);
        g += std::fmax(term_g_[t], 0.0);
        l += std::fmax(term_l_[t], 0.0);
      }
    };
    for (int node : sub_nodes_[sub]) add(node);
    for (int b : sub_bts_[sub]) add(nbr_nodes() + b);
    if (nan) return HUGE_VAL;
    // A side's sum lies within the error bound of its exact sum, which is at most the exact sum
    // of the positive figures, itself within the error bound of g (or l).
    ceiling = std::fmax(ceiling, upper_bound_of(std::fmin(g, l), 2.0 * sub_error_[sub]));
  }
  return ceiling;
}

void SideFigures::balance(int sub, const std::vector<signed char>& side, SideBalance* out) const {
  out->val = 0.0;
  for (int ci = 0; ci < nbr_conditions_; ++ci) {
    double g1 = 0.0, l1 = 0.0, g2 = 0.0, l2 = 0.0;
    auto add = [&](int holder, bool to1, bool to2) {
      const std::size_t h = static_cast<std::size_t>(holder) * nbr_conditions_ + ci;
      for (int t = term_first_[h]; t < term_first_[h + 1]; ++t) {
        if (to1) {
          g1 += term_g_[t];
          l1 += term_l_[t];
        }
        if (to2) {
          g2 += term_g_[t];
          l2 += term_l_[t];
        }
      }
    };
    for (int node : sub_nodes_[sub]) add(node, side[node] == 1, side[node] == 2);
    // A bus transfer counts on every side that one of its two load centres lies on.
    for (int b : sub_bts_[sub]) {
      const int s1 = bt_end1_[b] >= 0 ? side[bt_end1_[b]] : 0;
      const int s2 = bt_end2_[b] >= 0 ? side[bt_end2_[b]] : 0;
      add(nbr_nodes() + b, s1 == 1 || s2 == 1, s1 == 2 || s2 == 2);
    }
    out->c_g1[ci] = g1;
    out->c_l1[ci] = l1;
    out->c_g2[ci] = g2;
    out->c_l2[ci] = l2;
    out->c_val[ci] = std::fmax(std::fmin(g1, l2), std::fmin(g2, l1));
    if (out->c_val[ci] > out->val) out->val = out->c_val[ci];
  }
}

}  // namespace zevo
