#include "calc/exporter_search.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace zevo {
namespace {

// Sum of C(n, k) for k = 1 .. most, saturating far above any work that can be done.
double count_subsets_up_to(double n, int most) {
  double sets = 0.0, choose = 1.0;
  for (int k = 1; k <= most && k <= n && sets < 1e300; ++k) {
    choose = choose * (n - k + 1) / k;
    sets += choose;
  }
  return sets;
}

class ExporterSearch {
 public:
  ExporterSearch(const ExporterProblem& p, const BalanceSplit& balance, double work_limit)
      : p_(p), g_(p.graph), balance_(balance), splits_(p, balance, work_limit) {}

  SplitOutcome run(SideBalance* best, std::vector<signed char>* best_side) {
    if (p_.s < 0 || p_.t < 0 || p_.s == p_.t) return SplitOutcome::none;
    candidate_.resize(p_.nbr_conditions);
    bool found = false;
    std::vector<char> cut(m_, 0);
    for (int e = 0; e < m_; ++e) {
      if (!splits_.between_ends(e)) continue;
      cut[e] = 1;
      splits_.label_components(cut, &side_);
      cut[e] = 0;
      balance_(side_, &candidate_);
      if (!(candidate_.val > best->val)) continue;
      *best = candidate_;
      *best_side = side_;
      found = true;
    }
    if (p_.nbr_loops < 1) return found ? SplitOutcome::found : SplitOutcome::none;

    const double top = splits_.bound_of_all();
    bool grown = false;
    for (double step = top / 256; !grown && !splits_.gave_up(); step *= 2) {
      const double floor = std::max(top - step, best->val);
      grown = splits_.search_largest(floor, best, &witness_side_);
      if (floor == best->val) break;
    }
    if (splits_.gave_up()) return SplitOutcome::gave_up;
    if (!grown) return found ? SplitOutcome::found : SplitOutcome::none;

    // The split found first of the largest value fits J all along, so a first set is found.
    target_ = best->val;
    *best_side = witness_side_;
    std::vector<signed char> first;
    const bool fixed = fix_first_set(&first);
    if (splits_.gave_up()) return SplitOutcome::gave_up;
    if (fixed) *best_side = first;
    balance_(*best_side, best);
    return SplitOutcome::found;
  }

 private:
  // J one cable at a time: first whether J may end here, then whether a split of the largest
  // value fits with the cable in J (else it stays out).
  bool fix_first_set(std::vector<signed char>* first) {
    make_witness();
    for (int e = 0; !splits_.gave_up(); ++e) {
      if (splits_.nbr_in_j() > 0 && end_here(first)) return true;
      if (e == m_) return false;
      if (splits_.between_ends(e) || splits_.nbr_in_j() == p_.nbr_loops) {
        splits_.decide(false);
        continue;
      }
      splits_.decide(true);
      if (witness_[e] && e != witness_y_) continue;
      const bool fitting = splits_.overflowed() ? splits_.search_fitting(target_, &witness_side_)
                                                : find_fitting_tie();
      if (fitting) {
        make_witness();
        continue;
      }
      splits_.undecide();
      splits_.decide(false);
    }
    return false;
  }

  bool find_fitting_tie() {
    const std::vector<signed char>& ties = splits_.ties();
    for (std::size_t at = 0; at < ties.size(); at += n_) {
      if (!splits_.afford(m_)) return false;
      side_.assign(ties.begin() + at, ties.begin() + at + n_);
      if (!splits_.fits(side_)) continue;
      witness_side_ = side_;
      return true;
    }
    return false;
  }

  // J is exactly the cables in J so far: the first y after J's first cable that completes a
  // reached set of the largest value. Such a y alone separates the ends once J is cut.
  bool end_here(std::vector<signed char>* first) {
    std::vector<char> cut(m_, 0);
    for (int e = 0; e < m_; ++e) cut[e] = splits_.in_j(e) ? 1 : 0;
    dfs_.run(g_, &cut, p_.s);
    if (!dfs_.reached(p_.t)) return false;
    std::vector<int> ys;
    for (int x = p_.t; dfs_.parent_edge[x] >= 0; x = g_.other_end(dfs_.parent_edge[x], x)) {
      if (dfs_.low[x] == dfs_.tin[x]) ys.push_back(dfs_.parent_edge[x]);
    }
    std::sort(ys.begin(), ys.end());
    const int j_first = splits_.first_in_j();
    for (int y : ys) {
      if (y < j_first || splits_.between_ends(y)) continue;
      if (!splits_.afford(n_ + m_)) return false;
      cut[y] = 1;
      splits_.label_components(cut, &side_);
      cut[y] = 0;
      bool lowest = true;
      for (int e = j_first + 1; e < y && lowest; ++e) {
        lowest = !(cut[e] && (side_[g_.end1(e)] | side_[g_.end2(e)]) == 3);
      }
      if (!lowest) continue;
      balance_(side_, &candidate_);
      if (!(candidate_.val == target_)) continue;
      *first = side_;
      return true;
    }
    return false;
  }

  // A set of cuts that gives witness_side_ and fits the decisions, holding as many undecided
  // cables as the limit allows, lowest first: J may then follow it without a search.
  void make_witness() {
    splits_.afford(static_cast<double>(m_) * (n_ + m_));
    const std::vector<signed char>& side = witness_side_;
    witness_.assign(m_, 0);
    int size = 0;
    for (int e = 0; e < m_; ++e) {
      witness_[e] = side[g_.end1(e)] != side[g_.end2(e)] || splits_.in_j(e) ? 1 : 0;
      size += witness_[e];
    }
    if (splits_.first_in_j() < 0) {
      // Nothing in J yet: when the one cable between the sides would be the set's first, a
      // lower cable that disconnects neither side is cut with it.
      int min_b = m_, c1 = -1, nbr_c = 0;
      for (int e = 0; e < m_; ++e) {
        if (!witness_[e]) continue;
        min_b = std::min(min_b, e);
        if ((side[g_.end1(e)] | side[g_.end2(e)]) != 3) continue;
        if (c1 < 0) c1 = e;
        ++nbr_c;
      }
      const int z = nbr_c == 1 && min_b == c1 ? splits_.optional_cable_below(side, c1) : -1;
      if (z >= 0) {
        witness_[z] = 1;
        ++size;
      }
    }
    for (int z = splits_.decided(); z < m_ && size <= p_.nbr_loops; ++z) {
      const int a = side[g_.end1(z)];
      if (witness_[z] || splits_.between_ends(z) || a != side[g_.end2(z)]) continue;
      witness_[z] = 1;
      if (a != 0 && !splits_.side_joined(side, static_cast<signed char>(a), witness_)) {
        witness_[z] = 0;
        continue;
      }
      ++size;
    }
    int first = -1;
    witness_y_ = -1;
    for (int e = 0; e < m_ && witness_y_ < 0; ++e) {
      if (!witness_[e]) continue;
      if (first < 0) {
        first = e;
      } else if ((side[g_.end1(e)] | side[g_.end2(e)]) == 3) {
        witness_y_ = e;
      }
    }
  }

  const ExporterProblem& p_;
  const CableGraph& g_;
  const BalanceSplit& balance_;
  const int n_ = g_.nbr_nodes(), m_ = g_.nbr_edges();
  SplitSearch splits_;
  DepthFirst dfs_;
  SideBalance candidate_;
  std::vector<signed char> side_;
  double target_ = 0.0;
  // A split of the largest value known to fit the decisions, and a set of cuts that gives it.
  std::vector<signed char> witness_side_;
  std::vector<char> witness_;
  int witness_y_ = -1;
};

}  // namespace

double estimate_every_set_cost(const ExporterProblem& problem) {
  const int n = problem.graph.nbr_nodes(), m = problem.graph.nbr_edges();
  return count_subsets_up_to(m, problem.nbr_loops) * (n + m);
}

double estimate_split_cost(const ExporterProblem& problem) {
  const int n = problem.graph.nbr_nodes(), m = problem.graph.nbr_edges();
  return count_subsets_up_to(n, problem.nbr_loops + 1) * (n + m);
}

bool gather_exporter_figures(const SideFigures& figures, int sub, const std::vector<int>& local,
                             ExporterProblem* problem) {
  const std::vector<int>& nodes = figures.nodes_of(sub);
  const std::vector<int>& buses = figures.bus_transfers_of(sub);
  const int n = static_cast<int>(nodes.size()), nb = static_cast<int>(buses.size());
  const int nbr = figures.nbr_conditions();
  if (!(figures.finite_total(sub) < DBL_MAX / 16)) return false;
  problem->nbr_conditions = nbr;
  problem->node_g.assign(static_cast<std::size_t>(nbr) * n, 0.0);
  problem->node_l.assign(static_cast<std::size_t>(nbr) * n, 0.0);
  problem->bus_g.assign(static_cast<std::size_t>(nbr) * nb, 0.0);
  problem->bus_l.assign(static_cast<std::size_t>(nbr) * nb, 0.0);
  problem->bus_a.assign(nb, -1);
  problem->bus_b.assign(nb, -1);
  bool finite = true;
  auto put = [&](double x, double* into) {
    finite = finite && std::isfinite(x);
    *into = x;
  };
  for (int ci = 0; ci < nbr; ++ci) {
    const std::size_t row = static_cast<std::size_t>(ci);
    for (int i = 0; i < n; ++i) {
      put(figures.node_generation(nodes[i], ci), &problem->node_g[row * n + i]);
      put(figures.node_load(nodes[i], ci), &problem->node_l[row * n + i]);
    }
    for (int i = 0; i < nb; ++i) {
      put(figures.bus_generation(buses[i], ci), &problem->bus_g[row * nb + i]);
      put(figures.bus_load(buses[i], ci), &problem->bus_l[row * nb + i]);
    }
  }
  for (int i = 0; i < nb; ++i) {
    for (int which : {1, 2}) {
      const int end = figures.bus_end(buses[i], which);
      if (end < 0 || figures.sub_network_of(end) != sub) continue;
      (which == 1 ? problem->bus_a : problem->bus_b)[i] = local[end];
    }
  }
  problem->error = figures.exact(sub) ? 0.0 : figures.sum_error(sub);
  return finite;
}

SplitOutcome search_exporter_splits(const ExporterProblem& problem, const BalanceSplit& balance,
                                    double work_limit, SideBalance* best,
                                    std::vector<signed char>* best_side) {
  ExporterSearch search(problem, balance, work_limit);
  return search.run(best, best_side);
}

}  // namespace zevo
