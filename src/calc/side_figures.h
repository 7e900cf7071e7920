// The figures that can count on the sides of a cable, gathered once per run from the base
// network, and the balance of one split of a sub-network in the order the balance prescribes.
//
// Entry points:
// - SideFigures::gather(nw, names, nbr): takes the base network (numbered by
//   identify_sub_networks) and the requested condition names; keeps, for every node slot and
//   bus-transfer slot, the figures of its condition entries that match each name, in list
//   order, and classifies every sub-network (exact sums, monotone figures). Reads `nw` and
//   `names` during the call only; owns its arrays.
// - SideFigures::flow_ceiling(sub): at or above the value of every split of sub-network `sub`
//   as balance() gives it, whatever the signs of its figures: per condition the smaller of the
//   positive generation and the positive load of the whole sub-network, widened by the error
//   bounds of the sums. Infinite when a figure is NaN (a flow may then skip a side's sum).
// - SideFigures::balance(sub, side, out): the figures and the value of one split of sub-network
//   `sub`, added exactly as calculate_zevo adds them: node slots ascending, each node's entries
//   in list order, then bus-transfer slots ascending. `side` gives, by node slot, 1 for side 1,
//   2 for side 2 and 0 for neither; nodes outside `sub` must read 0.
// Nothing here prints or ends the run; the standard containers throw std::bad_alloc.
#pragma once

#include <vector>

#include "calc/balance.h"
#include "calc/exact_sums.h"
#include "model/network_records.h"

namespace zevo {

class SideFigures {
 public:
  void gather(const NETWORK* nw, const char* const* names, int nbr_conditions);

  int nbr_conditions() const { return nbr_conditions_; }
  int nbr_nodes() const { return static_cast<int>(node_sub_.size()); }
  // Base sub-network of a node slot (0 for an empty slot).
  int sub_network_of(int node) const { return node_sub_[node]; }
  // Node slots of sub-network `sub`, ascending; bus-transfer slots with an end in it, ascending.
  const std::vector<int>& nodes_of(int sub) const { return sub_nodes_[sub]; }
  const std::vector<int>& bus_transfers_of(int sub) const { return sub_bts_[sub]; }
  // Node slot of a bus transfer's first or second load centre, or -1 when no slot holds it.
  int bus_end(int bt, int which) const { return which == 1 ? bt_end1_[bt] : bt_end2_[bt]; }

  // Sums of a node's (or a bus transfer's) matching entries under one condition, in list order.
  double node_generation(int node, int ci) const { return sum_of(node, ci, term_g_); }
  double node_load(int node, int ci) const { return sum_of(node, ci, term_l_); }
  double bus_generation(int bt, int ci) const { return sum_of(nbr_nodes() + bt, ci, term_g_); }
  double bus_load(int bt, int ci) const { return sum_of(nbr_nodes() + bt, ci, term_l_); }

  // Every figure of the sub-network is a multiple of one power of two and their absolute values
  // add up to at most 2^53 of it, so sums of any of them, in any order and with differences
  // of such sums, are exact.
  bool exact(int sub) const { return sub_exact_[sub]; }
  // No figure of the sub-network is negative or NaN: a side's sums cannot fall as it grows.
  bool monotone(int sub) const { return sub_monotone_[sub]; }
  // Number of figures of the sub-network, for error bounds of sums taken in another order.
  int nbr_figures(int sub) const { return sub_nbr_terms_[sub]; }
  // The sum of every finite figure of the sub-network (an overflow guard for such bounds).
  double finite_total(int sub) const { return sub_finite_total_[sub]; }

  double flow_ceiling(int sub) const;
  void balance(int sub, const std::vector<signed char>& side, SideBalance* out) const;

  // Exact sums: every finite figure of the network as a whole multiple of one power of two.
  // `exactly_summed(sub)`: the sub-network's figures are finite and fit, so the fixed sums below
  // are its sums, exact; sum_error(sub) bounds how far the prescribed double sums of its
  // figures, and so the value of any split, may lie from the exact ones.
  const FixedScale& scale() const { return scale_; }
  bool exactly_summed(int sub) const { return scale_.usable() && sub_finite_[sub]; }
  double sum_error(int sub) const { return sub_error_[sub]; }
  Fixed node_fixed_g(int node, int ci) const { return fixed_g_[fixed_at(node, ci)]; }
  Fixed node_fixed_l(int node, int ci) const { return fixed_l_[fixed_at(node, ci)]; }
  Fixed bus_fixed_g(int bt, int ci) const { return fixed_g_[fixed_at(nbr_nodes() + bt, ci)]; }
  Fixed bus_fixed_l(int bt, int ci) const { return fixed_l_[fixed_at(nbr_nodes() + bt, ci)]; }

 private:
  double sum_of(int holder, int ci, const std::vector<double>& figures) const;
  void classify(int sub);
  void scale_figures();
  std::size_t fixed_at(int holder, int ci) const {
    return static_cast<std::size_t>(holder) * nbr_conditions_ + ci;
  }

  int nbr_conditions_ = 0;
  // Holders are node slots, then bus-transfer slots; the entries of holder h under condition
  // ci are [term_first_[h * nbr_conditions_ + ci], term_first_[... + 1]).
  std::vector<int> term_first_;
  std::vector<double> term_g_, term_l_;
  std::vector<int> node_sub_;
  std::vector<int> bt_end1_, bt_end2_;
  std::vector<std::vector<int>> sub_nodes_, sub_bts_;
  std::vector<char> sub_exact_, sub_monotone_;
  std::vector<int> sub_nbr_terms_;
  std::vector<double> sub_finite_total_;
  FixedScale scale_;
  std::vector<Fixed> fixed_g_, fixed_l_;  // by holder and condition, fixed_at
  std::vector<char> sub_finite_;
  std::vector<double> sub_error_;
};

}  // namespace zevo
