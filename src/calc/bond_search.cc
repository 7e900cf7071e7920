#include "calc/bond_search.h"

#include <cmath>

namespace zevo {
namespace {

// Every bond is visited once: a node of the search is a bond whose side A (of s) is closed,
// that is A = all nodes that t cannot reach without passing A. Its children take one more
// frontier node v into A (and close A again), with the frontier nodes before v kept out of A,
// so that the subtrees share no bond. The sums over V \ X (X: nodes kept out) and over V \ A
// bound every bond below a node, since side 1 stays inside the one and side 2 inside the other.
class BondExplorer {
 public:
  BondExplorer(const BondProblem& p, const Recompute& recompute, SideBalance* best,
               std::vector<char>* best_side, SearchBudget* budget)
      : p_(p), recompute_(recompute), best_(best), best_side_(best_side), budget_(budget) {}

  bool run() {
    const int n = p_.graph.nbr_nodes();
    in_a_.assign(n, 0);
    in_x_.assign(n, 0);
    mark_.assign(n, 0);
    seen_.assign(n, 0);
    for (std::vector<double>* sums : {&ga_, &la_, &gb_, &lb_, &gu_, &lu_}) {
      sums->assign(p_.nbr_conditions, 0.0);
    }
    candidate_.resize(p_.nbr_conditions);
    recomputed_.resize(p_.nbr_conditions);
    if (p_.s < 0 || p_.t < 0 || p_.s == p_.t) return false;
    in_x_[p_.t] = 1;
    if (close_side(p_.s)) explore();
    return found_;
  }

 private:
  // Takes v and every node that t can no longer reach into A, unless one of them is kept out.
  bool close_side(int v) {
    const int n = p_.graph.nbr_nodes();
    ++seen_stamp_;
    queue_.clear();
    queue_.push_back(p_.t);
    seen_[p_.t] = seen_stamp_;
    for (std::size_t q = 0; q < queue_.size(); ++q) {
      const int x = queue_[q];
      for (int h = p_.graph.first(x); h < p_.graph.first(x + 1); ++h) {
        const int y = p_.graph.neighbour(h);
        if (y == v || in_a_[y] || seen_[y] == seen_stamp_) continue;
        seen_[y] = seen_stamp_;
        queue_.push_back(y);
      }
    }
    for (int x = 0; x < n; ++x) {
      if (!in_a_[x] && seen_[x] != seen_stamp_ && in_x_[x]) return false;
    }
    for (int x = 0; x < n; ++x) {
      if (in_a_[x] || seen_[x] == seen_stamp_) continue;
      in_a_[x] = 1;
      a_trail_.push_back(x);
    }
    return true;
  }

  // Sums over A (side 1), over V \ A (side 2) and over V \ X (the most side 1 can become).
  void take_sums() {
    const int n = p_.graph.nbr_nodes();
    const int nb = static_cast<int>(p_.bus_a.size());
    for (int ci = 0; ci < p_.nbr_conditions; ++ci) {
      double ga = 0.0, la = 0.0, gb = 0.0, lb = 0.0, gu = 0.0, lu = 0.0;
      const double* wg = &p_.weight_g[static_cast<std::size_t>(ci) * n];
      const double* wl = &p_.weight_l[static_cast<std::size_t>(ci) * n];
      for (int x = 0; x < n; ++x) {
        if (in_a_[x]) {
          ga += wg[x];
          la += wl[x];
        } else {
          gb += wg[x];
          lb += wl[x];
        }
        if (!in_x_[x]) {
          gu += wg[x];
          lu += wl[x];
        }
      }
      for (int i = 0; i < nb; ++i) {
        const int a = p_.bus_a[i], b = p_.bus_b[i];
        const double g = p_.bus_g[static_cast<std::size_t>(ci) * nb + i];
        const double l = p_.bus_l[static_cast<std::size_t>(ci) * nb + i];
        if ((a >= 0 && in_a_[a]) || (b >= 0 && in_a_[b])) ga += g, la += l;
        if ((a >= 0 && !in_a_[a]) || (b >= 0 && !in_a_[b])) gb += g, lb += l;
        if ((a >= 0 && !in_x_[a]) || (b >= 0 && !in_x_[b])) gu += g, lu += l;
      }
      ga_[ci] = ga, la_[ci] = la, gb_[ci] = gb, lb_[ci] = lb, gu_[ci] = gu, lu_[ci] = lu;
    }
  }

  void consider_bond() {
    candidate_.val = 0.0;
    for (int ci = 0; ci < p_.nbr_conditions; ++ci) {
      candidate_.c_g1[ci] = ga_[ci];
      candidate_.c_l1[ci] = la_[ci];
      candidate_.c_g2[ci] = gb_[ci];
      candidate_.c_l2[ci] = lb_[ci];
      candidate_.c_val[ci] = std::fmax(std::fmin(ga_[ci], lb_[ci]), std::fmin(gb_[ci], la_[ci]));
      if (candidate_.c_val[ci] > candidate_.val) candidate_.val = candidate_.c_val[ci];
    }
    if (!(candidate_.val * p_.margin > best_->val)) return;
    const SideBalance* exact = &candidate_;
    if (p_.margin != 1.0) {
      recompute_(in_a_, &recomputed_);
      exact = &recomputed_;
    }
    if (!(exact->val > best_->val)) return;
    *best_ = *exact;
    *best_side_ = in_a_;
    found_ = true;
  }

  // A node of the search whose children are the frontier nodes [first, last); `next` is the
  // child to take next, and `trail` the length of the A trail before the open child, if any.
  struct Frame {
    std::size_t first, last, next, trail;
    bool child_open;
    double bound;  // of every bond below the frame's search node, before the margin
  };

  // Enters the search node of the current, closed A: bounds it, weighs its bond and, unless
  // nothing below can beat the best, opens a frame over its frontier. Returns whether it did.
  bool enter_node() {
    take_sums();
    double bound = 0.0;
    for (int ci = 0; ci < p_.nbr_conditions; ++ci) {
      const double b = std::fmax(std::fmin(gu_[ci], lb_[ci]), std::fmin(gb_[ci], lu_[ci]));
      if (b > bound) bound = b;
    }
    if (!(bound * p_.margin > best_->val)) return false;
    consider_bond();

    const int n = p_.graph.nbr_nodes();
    const std::size_t first = frontier_.size();
    ++stamp_;
    for (int x = 0; x < n; ++x) {
      if (!in_a_[x]) continue;
      for (int h = p_.graph.first(x); h < p_.graph.first(x + 1); ++h) {
        const int y = p_.graph.neighbour(h);
        if (in_a_[y] || in_x_[y] || mark_[y] == stamp_) continue;
        mark_[y] = stamp_;
        frontier_.push_back(y);
      }
    }
    frames_.push_back({first, frontier_.size(), first, 0, false, bound});
    return true;
  }

  // Depth-first over the search nodes with a stack of frames of its own: a long ring makes the
  // search as deep as the ring is long, more than the call stack holds.
  void explore() {
    if (!enter_node()) return;
    while (!frames_.empty()) {
      if (budget_ && budget_->run_out()) {
        raise_pending_bound();
        return;
      }
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

  // The frames left on the stack hold every bond not explored.
  void raise_pending_bound() {
    for (const Frame& frame : frames_) {
      if (frame.bound * p_.margin > best_->val) budget_->raise_bound(frame.bound * p_.margin);
    }
  }

  const BondProblem& p_;
  const Recompute& recompute_;
  SideBalance* best_;
  std::vector<char>* best_side_;
  SearchBudget* budget_;
  bool found_ = false;

  std::vector<char> in_a_, in_x_;
  std::vector<int> a_trail_, frontier_, queue_, mark_, seen_;
  std::vector<Frame> frames_;
  int stamp_ = 0, seen_stamp_ = 0;
  std::vector<double> ga_, la_, gb_, lb_, gu_, lu_;
  SideBalance candidate_, recomputed_;
};

}  // namespace

bool search_bonds(const BondProblem& problem, const Recompute& recompute, SideBalance* best,
                  std::vector<char>* in_side1, SearchBudget* budget) {
  BondExplorer explorer(problem, recompute, best, in_side1, budget);
  return explorer.run();
}

}  // namespace zevo
