#include "calc/cut_set_search.h"

#include <algorithm>

namespace zevo {
namespace {

class CutSetExplorer {
 public:
  CutSetExplorer(const CableGraph& graph, int s, int t, int nbr_loops, const BalanceSides& balance,
                 SearchBudget* budget)
      : graph_(graph), s_(s), t_(t), nbr_loops_(nbr_loops), balance_(balance), budget_(budget) {}

  void run() {
    const int m = graph_.nbr_edges();
    cut_.assign(m, 0);
    side_.assign(graph_.nbr_nodes(), 0);
    std::vector<char> separates;
    find_separating(&separates);
    joined_single_.assign(m, 0);
    for (int e = 0; e < m; ++e) {
      joined_single_[e] = !separates[e];
      if (separates[e] && !run_out()) {
        cut_[e] = 1;
        balance_cut();
        cut_[e] = 0;
      }
    }
    if (nbr_loops_ < 1) return;
    for (int e = 0; e < m; ++e) {
      if (!joined_single_[e]) continue;
      grow({e});
    }
  }

 private:
  // The edges whose cut (on top of cut_) separates s from t: the bridges between them.
  void find_separating(std::vector<char>* separates) {
    separates->assign(graph_.nbr_edges(), 0);
    dfs_.run(graph_, &cut_, s_);
    if (!dfs_.reached(t_)) return;
    for (int x = t_; dfs_.parent_edge[x] >= 0; x = graph_.other_end(dfs_.parent_edge[x], x)) {
      if (dfs_.low[x] == dfs_.tin[x]) (*separates)[dfs_.parent_edge[x]] = 1;
    }
  }

  bool joined() {
    queue_.assign(1, s_);
    seen_.assign(graph_.nbr_nodes(), 0);
    seen_[s_] = 1;
    for (std::size_t q = 0; q < queue_.size(); ++q) {
      const int x = queue_[q];
      if (x == t_) return true;
      for (int h = graph_.first(x); h < graph_.first(x + 1); ++h) {
        const int y = graph_.neighbour(h);
        if (cut_[graph_.edge(h)] || seen_[y]) continue;
        seen_[y] = 1;
        queue_.push_back(y);
      }
    }
    return false;
  }

  void label_from(int start, signed char label) {
    queue_.assign(1, start);
    side_[start] = label;
    for (std::size_t q = 0; q < queue_.size(); ++q) {
      const int x = queue_[q];
      for (int h = graph_.first(x); h < graph_.first(x + 1); ++h) {
        const int y = graph_.neighbour(h);
        if (cut_[graph_.edge(h)] || side_[y]) continue;
        side_[y] = label;
        queue_.push_back(y);
      }
    }
  }

  void balance_cut() {
    std::fill(side_.begin(), side_.end(), 0);
    label_from(s_, 1);
    label_from(t_, 2);
    balance_(side_);
  }

  // `set` is joined, its edges cut, in descending slot order, with 1 to nbr_loops edges.
  void grow(std::vector<int> set) {
    if (run_out()) return;
    for (int e : set) cut_[e] = 1;
    std::vector<char> separates;
    find_separating(&separates);
    const int m = graph_.nbr_edges();
    for (int y = set.front() + 1; y < m; ++y) {
      if (!separates[y] || cut_[y] || !joined_single_[y] || run_out()) continue;
      cut_[y] = 1;
      if (highest_way_back(set, y)) balance_cut();
      cut_[y] = 0;
    }
    if (static_cast<int>(set.size()) < nbr_loops_) {
      for (int z = set.back() + 1; z < m; ++z) {
        if (separates[z] || !joined_single_[z]) continue;
        std::vector<int> larger = set;
        larger.push_back(z);
        grow(larger);
        for (int e : set) cut_[e] = 1;
      }
    }
    for (int e : set) cut_[e] = 0;
  }

  // With set + y cut: no edge x of the set other than its first, with a higher slot than y,
  // leaves the ends joined when put back.
  bool highest_way_back(const std::vector<int>& set, int y) {
    for (std::size_t i = 1; i < set.size() && set[i] < y; ++i) {
      cut_[set[i]] = 0;
      const bool back = joined();
      cut_[set[i]] = 1;
      if (back) return false;
    }
    return true;
  }

  bool run_out() { return budget_ && budget_->run_out(); }

  const CableGraph& graph_;
  const int s_, t_, nbr_loops_;
  const BalanceSides& balance_;
  SearchBudget* budget_;
  DepthFirst dfs_;
  std::vector<char> cut_, joined_single_, seen_;
  std::vector<int> queue_;
  std::vector<signed char> side_;
};

}  // namespace

void search_cut_sets(const CableGraph& graph, int s, int t, int nbr_loops,
                     const BalanceSides& balance, SearchBudget* budget) {
  if (s < 0 || t < 0 || s == t) return;
  CutSetExplorer explorer(graph, s, t, nbr_loops, balance, budget);
  explorer.run();
}

}  // namespace zevo
