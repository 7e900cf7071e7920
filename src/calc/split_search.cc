#include "calc/split_search.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace zevo {
namespace {

// What a load centre may still become, and what the search decided of it.
enum : unsigned char { kOn1 = 1, kOn2 = 2, kOnNeither = 4 };
enum : unsigned char { kIn1 = 1, kIn2 = 2, kOff1 = 4, kOff2 = 8 };

constexpr unsigned char may_become(unsigned char state) {
  if (state & kIn1) return kOn1;
  if (state & kIn2) return kOn2;
  return static_cast<unsigned char>((state & kOff1 ? 0 : kOn1) | (state & kOff2 ? 0 : kOn2) |
                                    kOnNeither);
}

std::vector<double> take_positive_parts(const std::vector<double>& figures) {
  std::vector<double> parts(figures.size());
  for (std::size_t i = 0; i < figures.size(); ++i) parts[i] = std::max(figures[i], 0.0);
  return parts;
}

}  // namespace

SplitSearch::SplitSearch(const ExporterProblem& problem, const BalanceSplit& balance,
                         double work_limit)
    : p_(problem),
      g_(problem.graph),
      balance_(balance),
      n_(problem.graph.nbr_nodes()),
      m_(problem.graph.nbr_edges()),
      nbr_bus_(static_cast<int>(problem.bus_a.size())),
      margin_(problem.error > 0 ? 8.0 * problem.error : 0.0),
      work_limit_(work_limit),
      node_gp_(take_positive_parts(problem.node_g)),
      node_lp_(take_positive_parts(problem.node_l)),
      bus_gp_(take_positive_parts(problem.bus_g)),
      bus_lp_(take_positive_parts(problem.bus_l)),
      state_(n_, 0),
      may_(n_, 0),
      reach_(n_, 0),
      side_(n_, 0),
      in_j_(m_, 0) {
  candidate_.resize(p_.nbr_conditions);
  weight_.assign(n_, 0.0);
  for (int ci = 0; ci < p_.nbr_conditions; ++ci) {
    for (int x = 0; x < n_; ++x) {
      const std::size_t at = static_cast<std::size_t>(ci) * n_ + x;
      weight_[x] += std::fabs(p_.node_g[at]) + std::fabs(p_.node_l[at]);
    }
  }
  // The bridges on the tree path between the ends.
  between_ends_.assign(m_, 0);
  DepthFirst dfs;
  dfs.run(g_, nullptr, p_.s);
  if (!dfs.reached(p_.t)) return;
  for (int x = p_.t; dfs.parent_edge[x] >= 0; x = g_.other_end(dfs.parent_edge[x], x)) {
    if (dfs.low[x] == dfs.tin[x]) between_ends_[dfs.parent_edge[x]] = 1;
  }
}

// ---- The graph ----

void SplitSearch::label_components(const std::vector<char>& cut, std::vector<signed char>* side) {
  side->assign(n_, 0);
  for (int start : {p_.s, p_.t}) {
    const signed char label = start == p_.s ? 1 : 2;
    if ((*side)[start]) continue;
    queue_.assign(1, start);
    (*side)[start] = label;
    for (std::size_t q = 0; q < queue_.size(); ++q) {
      const int x = queue_[q];
      for (int h = g_.first(x); h < g_.first(x + 1); ++h) {
        const int y = g_.neighbour(h);
        if (cut[g_.edge(h)] || (*side)[y]) continue;
        (*side)[y] = label;
        queue_.push_back(y);
      }
    }
  }
}

bool SplitSearch::side_joined(const std::vector<signed char>& side, signed char label,
                              const std::vector<char>& cut) {
  int members = 0;
  for (int x = 0; x < n_; ++x) members += side[x] == label ? 1 : 0;
  seen_.assign(n_, 0);
  const int start = label == 1 ? p_.s : p_.t;
  queue_.assign(1, start);
  seen_[start] = 1;
  for (std::size_t q = 0; q < queue_.size(); ++q) {
    const int x = queue_[q];
    for (int h = g_.first(x); h < g_.first(x + 1); ++h) {
      const int y = g_.neighbour(h);
      if (cut[g_.edge(h)] || seen_[y] || side[y] != label) continue;
      seen_[y] = 1;
      queue_.push_back(y);
    }
  }
  return static_cast<int>(queue_.size()) == members;
}

int SplitSearch::optional_cable_below(const std::vector<signed char>& side, int limit) {
  std::vector<char>& cut = scratch_cut_;
  cut.assign(m_, 0);
  for (int z = 0; z < limit; ++z) {
    const int a = side[g_.end1(z)];
    if (a != side[g_.end2(z)] || between_ends_[z]) continue;
    if (a == 0) return z;
    cut[z] = 1;
    const bool joined = side_joined(side, static_cast<signed char>(a), cut);
    cut[z] = 0;
    if (joined) return z;
  }
  return -1;
}

// ---- Which splits count ----

// T holds every cable leaving a side; the cables joining S1 to S2 are those whose putting back
// rejoins the ends, so y is the lowest of them other than T's first.
bool SplitSearch::reached(const std::vector<signed char>& side) {
  int nbr_b = 0, min_b = m_, c1 = -1, c2 = -1;
  for (int e = 0; e < m_; ++e) {
    const int a = side[g_.end1(e)], b = side[g_.end2(e)];
    if (a == b) continue;
    if (between_ends_[e]) return false;
    ++nbr_b;
    min_b = std::min(min_b, e);
    if ((a | b) != 3) continue;
    if (c1 < 0) {
      c1 = e;
    } else if (c2 < 0) {
      c2 = e;
    }
  }
  if (c1 < 0 || nbr_b > p_.nbr_loops + 1) return false;
  if (c2 >= 0 || min_b < c1) return true;
  // The one cable between the sides would be the set's first: a lower cable that disconnects
  // neither side must be cut too.
  return nbr_b <= p_.nbr_loops && optional_cable_below(side, c1) >= 0;
}

void SplitSearch::decide(bool in_j) {
  const int e = decided_++;
  in_j_[e] = in_j ? 1 : 0;
  if (!in_j) return;
  ++nbr_in_j_;
  if (first_ < 0) first_ = e;
}

void SplitSearch::undecide() {
  const int e = --decided_;
  if (!in_j_[e]) return;
  in_j_[e] = 0;
  --nbr_in_j_;
  if (first_ == e) first_ = -1;
}

// Needs J not empty. T is J's cables, the boundary's and y; no more are needed, as every other
// cable T may hold comes after the decided ones.
bool SplitSearch::fits_decided_cables(const std::vector<signed char>& side) const {
  int y = -1, size = nbr_in_j_;
  for (int e = 0; e < m_; ++e) {
    const int a = side[g_.end1(e)], b = side[g_.end2(e)];
    if (a == b) continue;
    if (!in_j(e)) ++size;
    if ((a | b) == 3 && e != first_ && y < 0) y = e;
  }
  if (y < first_ || in_j(y) || size > p_.nbr_loops + 1) return false;
  for (int e = 0; e < decided_; ++e) {
    if (!in_j_[e] && e != y && side[g_.end1(e)] != side[g_.end2(e)]) return false;
  }
  return true;
}

bool SplitSearch::fits(const std::vector<signed char>& side) {
  if (!fits_decided_cables(side)) return false;
  std::vector<char>& cut = scratch_cut_;
  cut.assign(m_, 0);
  for (int e = 0; e < decided_; ++e) cut[e] = in_j_[e];
  return side_joined(side, 1, cut) && side_joined(side, 2, cut);
}

// ---- Branch and bound ----

// At most nbr_loops + 1 cables cut, none that alone separates the ends, and at most one cable
// left out of J joining differing sides, from S1 to S2.
bool SplitSearch::consistent() const {
  int size = nbr_in_j_, joins = 0;
  for (int e = 0; e < m_; ++e) {
    const unsigned char a = may_[g_.end1(e)], b = may_[g_.end2(e)];
    if (a & b) continue;
    if (between_ends_[e]) return false;
    if (e < decided_ && !in_j_[e]) {
      const bool across = ((a & kOn1) && (b & kOn2)) || ((a & kOn2) && (b & kOn1));
      if (!across || ++joins > 1) return false;
    }
    if (!in_j(e) && ++size > p_.nbr_loops + 1) return false;
  }
  return true;
}

// Marks in reach_ (bit `label`) what may still join side `label`: from its members over cables
// not in J, through load centres that may join it. Returns the heaviest that may join next to a
// member, or -1.
int SplitSearch::reach(unsigned char label) {
  const unsigned char in = label == 1 ? kIn1 : kIn2;
  queue_.clear();
  for (int x = 0; x < n_; ++x) {
    if (state_[x] & in) {
      reach_[x] |= label;
      queue_.push_back(x);
    } else {
      reach_[x] &= static_cast<unsigned char>(~label);
    }
  }
  int frontier = -1;
  double heaviest = -1.0;
  for (std::size_t q = 0; q < queue_.size(); ++q) {
    const int x = queue_[q];
    const bool member = state_[x] & in;
    for (int h = g_.first(x); h < g_.first(x + 1); ++h) {
      const int y = g_.neighbour(h);
      if ((reach_[y] & label) || !(may_[y] & label) || in_j(g_.edge(h))) continue;
      reach_[y] |= label;
      queue_.push_back(y);
      if (member && weight_[y] > heaviest) {
        heaviest = weight_[y];
        frontier = y;
      }
    }
  }
  return frontier;
}

double SplitSearch::bound_node() const {
  double most = 0.0;
  for (int ci = 0; ci < p_.nbr_conditions; ++ci) {
    double g1 = 0.0, l1 = 0.0, g2 = 0.0, l2 = 0.0;
    auto add = [](unsigned char state, unsigned char reach, double x, double part, double* s1,
                  double* s2) {
      if (state & kIn1) {
        *s1 += x;
      } else if (reach & 1) {
        *s1 += part;
      }
      if (state & kIn2) {
        *s2 += x;
      } else if (reach & 2) {
        *s2 += part;
      }
    };
    const std::size_t row = static_cast<std::size_t>(ci) * n_;
    for (int x = 0; x < n_; ++x) {
      add(state_[x], reach_[x], p_.node_g[row + x], node_gp_[row + x], &g1, &g2);
      add(state_[x], reach_[x], p_.node_l[row + x], node_lp_[row + x], &l1, &l2);
    }
    // A bus transfer counts on every side one of its ends lies on.
    const std::size_t bus_row = static_cast<std::size_t>(ci) * nbr_bus_;
    for (int i = 0; i < nbr_bus_; ++i) {
      const int a = p_.bus_a[i], b = p_.bus_b[i];
      const unsigned char state = (a >= 0 ? state_[a] : 0) | (b >= 0 ? state_[b] : 0);
      const unsigned char r = (a >= 0 ? reach_[a] : 0) | (b >= 0 ? reach_[b] : 0);
      add(state, r, p_.bus_g[bus_row + i], bus_gp_[bus_row + i], &g1, &g2);
      add(state, r, p_.bus_l[bus_row + i], bus_lp_[bus_row + i], &l1, &l2);
    }
    double flow1 = std::min(g1, l2), flow2 = std::min(g2, l1);
    if (flow1 + margin_ >= threshold_)
      flow1 = std::min(flow1, bound_fetching_generation(ci, 1, l2));
    if (flow2 + margin_ >= threshold_)
      flow2 = std::min(flow2, bound_fetching_generation(ci, 2, l1));
    most = std::max(most, std::max(flow1, flow2));
  }
  return most;
}

// The most side `label` can send the other under condition ci, `other_load` being the most load
// the other side can have: generation the side lacks must be fetched over load centres whose
// loads the other side then loses, so a generating load centre that may join costs at least its
// cheapest such path from the side (shortest paths, the cost of a load centre being its positive
// load if the other side may have it). Sums taken in another order than the balance's, and a
// difference of them, stay within the margin of the sums' error bound.
double SplitSearch::bound_fetching_generation(int ci, unsigned char label,
                                              double other_load) const {
  const unsigned char in = label == 1 ? kIn1 : kIn2, other = label == 1 ? 2 : 1;
  const std::size_t row = static_cast<std::size_t>(ci) * n_;
  double base = 0.0;
  for (int x = 0; x < n_; ++x) {
    if (state_[x] & in) base += p_.node_g[row + x];
  }
  const std::size_t bus_row = static_cast<std::size_t>(ci) * nbr_bus_;
  for (int i = 0; i < nbr_bus_; ++i) base += bus_gp_[bus_row + i];
  std::vector<double>& dist = dist_;
  dist.assign(n_, HUGE_VAL);
  heap_.clear();
  for (int x = 0; x < n_; ++x) {
    if (!(state_[x] & in)) continue;
    dist[x] = 0.0;
    heap_.push_back({0.0, x});
  }
  gens_.clear();
  const auto later = std::greater<std::pair<double, int>>();
  while (!heap_.empty()) {
    std::pop_heap(heap_.begin(), heap_.end(), later);
    const auto [d, x] = heap_.back();
    heap_.pop_back();
    if (d > dist[x]) continue;
    if (!(state_[x] & in) && p_.node_g[row + x] > 0) gens_.push_back({d, p_.node_g[row + x]});
    for (int h = g_.first(x); h < g_.first(x + 1); ++h) {
      const int y = g_.neighbour(h);
      if (!(reach_[y] & label) || (state_[y] & in) || in_j(g_.edge(h))) continue;
      const double step = d + ((reach_[y] & other) ? node_lp_[row + y] : 0.0);
      if (step < dist[y]) {
        dist[y] = step;
        heap_.push_back({step, y});
        std::push_heap(heap_.begin(), heap_.end(), later);
      }
    }
  }
  double most = std::min(base, other_load), sum = base;
  for (const auto& [d, g] : gens_) {
    sum += g;
    most = std::max(most, std::min(sum, other_load - d));
  }
  return most;
}

bool SplitSearch::may_touch() const {
  for (int e = 0; e < m_; ++e) {
    const unsigned char a = reach_[g_.end1(e)], b = reach_[g_.end2(e)];
    if (((a & 1) && (b & 2)) || ((a & 2) && (b & 1))) return true;
  }
  return false;
}

void SplitSearch::mark(int x, unsigned char bits) {
  if ((state_[x] & bits) == bits) return;
  trail_.push_back({x, state_[x]});
  state_[x] |= bits;
  may_[x] = may_become(state_[x]);
}

void SplitSearch::undo(std::size_t size) {
  while (trail_.size() > size) {
    const auto [x, state] = trail_.back();
    state_[x] = state;
    may_[x] = may_become(state);
    trail_.pop_back();
  }
}

void SplitSearch::start() {
  std::fill(state_.begin(), state_.end(), 0);
  state_[p_.s] = kIn1 | kOff2;
  state_[p_.t] = kIn2 | kOff1;
  for (int x = 0; x < n_; ++x) may_[x] = may_become(state_[x]);
  trail_.clear();
  frames_.clear();
  stop_ = false;
}

double SplitSearch::bound_of_all() {
  start();
  reach(1);
  reach(2);
  return bound_node() + margin_;
}

bool SplitSearch::afford(double steps) {
  work_ += steps;
  if (!(work_ > work_limit_)) return true;
  gave_up_ = stop_ = true;
  return false;
}

// Bounds the current node, then opens a frame over its next load centre or weighs its split.
// While ties are listed, splits worth as much as the best are kept too.
void SplitSearch::enter() {
  if (!afford(n_ + m_) || !consistent()) return;
  const int v1 = reach(1);
  const int v2 = reach(2);
  const bool listing = improved_ && !overflow_;
  threshold_ = find_mode_ ? target_ : std::max(floor_, best_->val);
  const double most = bound_node() + margin_;
  if (find_mode_ ? most < target_
                 : most < floor_ || !(most > best_->val || (listing && most >= best_->val))) {
    return;
  }
  if (!may_touch()) return;
  if (v1 >= 0 || v2 >= 0) {
    frames_.push_back({v1 >= 0 ? v1 : v2, v1 >= 0 ? 1 : 2, 0, trail_.size()});
    return;
  }
  for (int x = 0; x < n_; ++x) side_[x] = state_[x] & kIn1 ? 1 : state_[x] & kIn2 ? 2 : 0;
  if (find_mode_) {
    if (!fits_decided_cables(side_)) return;
    balance_(side_, &candidate_);
    if (!(candidate_.val == target_)) return;
    *found_ = side_;
    stop_ = true;
    return;
  }
  if (!reached(side_)) return;
  balance_(side_, &candidate_);
  if (candidate_.val > best_->val) {
    *best_ = candidate_;
    *found_ = side_;
    improved_ = true;
    ties_.clear();
    overflow_ = false;
  } else if (!listing || !(candidate_.val == best_->val)) {
    return;
  }
  overflow_ = ties_.size() >= static_cast<std::size_t>(p_.max_ties) * n_;
  if (overflow_) {
    ties_.clear();
  } else {
    ties_.insert(ties_.end(), side_.begin(), side_.end());
  }
}

// Depth-first with a stack of its own: a side may grow as long as the network.
void SplitSearch::explore() {
  start();
  enter();
  while (!frames_.empty() && !stop_) {
    Frame& frame = frames_.back();
    undo(frame.trail);
    if (frame.step == 2) {
      frames_.pop_back();
      continue;
    }
    const bool join = frame.step++ == 0;
    if (frame.phase == 1) {
      mark(frame.v, join ? kIn1 | kOff2 : kOff1);
    } else {
      mark(frame.v, join ? kIn2 | kOff1 : kOff2);
    }
    enter();  // may grow frames_: `frame` is not used after this
  }
}

bool SplitSearch::search_largest(double floor, SideBalance* best, std::vector<signed char>* side) {
  find_mode_ = false;
  floor_ = floor;
  best_ = best;
  found_ = side;
  improved_ = false;
  explore();
  return improved_ && !gave_up_;
}

bool SplitSearch::search_fitting(double target, std::vector<signed char>* side) {
  find_mode_ = true;
  target_ = target;
  found_ = side;
  explore();
  return stop_ && !gave_up_;
}

}  // namespace zevo
