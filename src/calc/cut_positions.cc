#include "calc/cut_positions.h"

#include <algorithm>
#include <numeric>

namespace zevo {
namespace {

Fixed lower(Fixed a, Fixed b) { return a < b ? a : b; }
Fixed higher(Fixed a, Fixed b) { return a < b ? b : a; }

// The first x in [lo, hi) where `holds` does, for a test that once true stays true; hi if none.
template <typename Int, typename Test>
Int first_holding(Int lo, Int hi, const Test& holds) {
  while (lo < hi) {
    const Int mid = lo + (hi - lo) / 2;
    if (holds(mid)) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  return lo;
}

// The first position where rising from `rise` reaches falling from `fall`; len + 1 if none.
int first_crossing(const PositionAxis& a, Fixed rise, Fixed fall) {
  return first_holding(0, a.len + 1, [&](int p) { return rise + a.rise(p) >= fall - a.fall(p); });
}

}  // namespace

void CutPositions::search(Fixed rise0, Fixed fall0, const std::vector<PositionAxis>& axes,
                          const Fixed* best, const WeighPositions& weigh) {
  axes_ = &axes;
  best_ = best;
  weigh_ = &weigh;
  order_.resize(axes.size());
  std::iota(order_.begin(), order_.end(), std::size_t{0});
  std::stable_sort(order_.begin(), order_.end(),
                   [&](std::size_t a, std::size_t b) { return axes[a].len < axes[b].len; });
  at_.assign(axes.size(), 0);
  if (ranges_.size() < axes.size()) ranges_.resize(axes.size());
  solve(0, rise0, fall0, true);
}

// The largest flow over the positions of axes d onward, the earlier ones adding `rise` and
// taking `fall`, when it exceeds *best; otherwise some value not above *best. With `exact`, the
// earlier axes stand at at_ and every position beating *best is weighed.
Fixed CutPositions::solve(std::size_t d, Fixed rise, Fixed fall, bool exact) {
  switch (axes_->size() - d) {
    case 0: {
      const Fixed flow = lower(rise, fall);
      offer(flow, exact);
      return flow;
    }
    case 1:
      return solve_one(d, rise, fall, exact);
    case 2:
      return solve_two(d, rise, fall, exact);
    default:
      return solve_ranges(d, rise, fall, exact);
  }
}

void CutPositions::offer(Fixed flow, bool exact) {
  if (exact && flow > *best_) (*weigh_)(at_);
}

// Rising minus falling only grows along the axis: halving finds the first position where rising
// reaches falling; the best flow is there (falling) or just before it (rising).
Fixed CutPositions::solve_one(std::size_t d, Fixed rise, Fixed fall, bool exact) {
  const PositionAxis& a = axis(d);
  const int lo = first_crossing(a, rise, fall);
  const Fixed after = lo <= a.len ? fall - a.fall(lo) : Fixed{-1};
  const Fixed before = lo >= 1 ? rise + a.rise(lo - 1) : Fixed{-1};
  // Only the better of the two can be the axis's best; the other is never above it.
  at_[order_[d]] = after >= before ? lo : lo - 1;
  offer(higher(after, before), exact);
  return higher(after, before);
}

// For each position along the first axis, the crossing along the second; as the first advances,
// rising grows and falling shrinks, so the crossing only moves back.
Fixed CutPositions::solve_two(std::size_t d, Fixed rise, Fixed fall, bool exact) {
  const PositionAxis& a = axis(d);
  const PositionAxis& b = axis(d + 1);
  const std::size_t ia = order_[d], ib = order_[d + 1];
  // Only where the second axis at its most favourable could beat the best: rising with all of
  // it, falling with none of it. Both ends of that window are found by halving.
  const Fixed need = *best_;
  const int first =
      first_holding(0, a.len + 1, [&](int p) { return rise + a.rise(p) + b.rise(b.len) > need; });
  const int end =
      first_holding(first, a.len + 1, [&](int p) { return !(fall - a.fall(p) > need); });
  Fixed most = -1;
  // The first crossing by halving: the sweep then walks only as it moves.
  int q = first < end ? first_crossing(b, rise + a.rise(first), fall - a.fall(first)) : b.len + 1;
  for (int p = first; p < end; ++p) {
    // A position is no better than the one before when it rises no more, nor than the one after
    // when that rises more for the same fall.
    if ((p > first && a.rise(p) == a.rise(p - 1)) ||
        (p + 1 < end && a.fall(p + 1) == a.fall(p) && a.rise(p + 1) > a.rise(p))) {
      continue;
    }
    const Fixed r = rise + a.rise(p), f = fall - a.fall(p);
    while (q > 0 && r + b.rise(q - 1) >= f - b.fall(q - 1)) --q;
    const Fixed after = q <= b.len ? f - b.fall(q) : Fixed{-1};
    const Fixed before = q >= 1 ? r + b.rise(q - 1) : Fixed{-1};
    if (exact && higher(after, before) > *best_) {
      at_[ia] = p;
      at_[ib] = after >= before ? q : q - 1;
      offer(higher(after, before), true);
    }
    most = higher(most, higher(after, before));
  }
  return most;
}

// Halves a range and pushes both halves, the one with the higher bound on top (on equal
// bounds the lower positions), so that it is taken first.
template <typename Bound>
void CutPositions::push_halves(const Range& range, const Bound& bound, std::vector<Range>* stack) {
  const int mid = range.lo + (range.hi - range.lo) / 2;
  const Range left{range.lo, mid, bound(range.lo, mid)};
  const Range right{mid + 1, range.hi, bound(mid + 1, range.hi)};
  stack->push_back(right.bound > left.bound ? left : right);
  stack->push_back(right.bound > left.bound ? right : left);
}

// The best of the later axes with axis d held anywhere in [lo, hi]: rising as at hi, falling as
// at lo.
Fixed CutPositions::bound_range(std::size_t d, int lo, int hi, Fixed rise, Fixed fall) {
  const PositionAxis& a = axis(d);
  return solve(d + 1, rise + a.rise(hi), fall - a.fall(lo), false);
}

Fixed CutPositions::solve_ranges(std::size_t d, Fixed rise, Fixed fall, bool exact) {
  const PositionAxis& a = axis(d);
  std::vector<Range>& stack = ranges_[d];
  const std::size_t bottom = stack.size();
  Fixed most = -1;  // flows are never negative here
  stack.push_back({0, a.len, bound_range(d, 0, a.len, rise, fall)});
  while (stack.size() > bottom) {
    const Range range = stack.back();
    stack.pop_back();
    if (!(range.bound > *best_)) continue;
    if (range.lo == range.hi) {
      at_[order_[d]] = range.lo;
      // Held at one position the bound is the exact best there.
      most =
          higher(most, exact ? solve(d + 1, rise + a.rise(range.lo), fall - a.fall(range.lo), true)
                             : range.bound);
      continue;
    }
    push_halves(
        range, [&](int lo, int hi) { return bound_range(d, lo, hi, rise, fall); }, &stack);
  }
  return most;
}

namespace {

// The positions of an axis that no other betters: more rise for no more fall.
void undominated(const PositionAxis& x, std::vector<int>* out) {
  out->clear();
  for (int p = 0; p <= x.len; ++p) {
    if (!out->empty() && x.rise(p) == x.rise(out->back())) continue;
    if (!out->empty() && x.fall(p) == x.fall(out->back())) out->pop_back();
    out->push_back(p);
  }
}

// The flow at the best entry of a frontier, rising from `rise` and falling from `fall`: rising
// minus falling only grows along it, so the best is where the two cross, or just before.
Fixed look_up(const PairFrontier& pairs, Fixed rise, Fixed fall, std::size_t* at) {
  const std::size_t lo = first_holding(std::size_t{0}, pairs.rise.size(), [&](std::size_t j) {
    return rise + pairs.rise[j] >= fall - pairs.fall[j];
  });
  const Fixed after = lo < pairs.rise.size() ? fall - pairs.fall[lo] : Fixed{-1};
  const Fixed before = lo >= 1 ? rise + pairs.rise[lo - 1] : Fixed{-1};
  *at = after >= before ? lo : lo - 1;
  return higher(after, before);
}

}  // namespace

void build_pair_frontier(const PositionAxis& first, const PositionAxis& second, PairFrontier* out) {
  std::vector<int> xs, ys;
  undominated(first, &xs);
  undominated(second, &ys);
  struct Pair {
    Fixed fall, rise;
    int x, y;
  };
  std::vector<Pair> pairs;
  pairs.reserve(xs.size() * ys.size());
  for (int x : xs) {
    for (int y : ys) {
      pairs.push_back({first.fall(x) + second.fall(y), first.rise(x) + second.rise(y), x, y});
    }
  }
  std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
    if (a.fall != b.fall) return a.fall < b.fall;
    if (a.rise != b.rise) return a.rise > b.rise;
    return a.x != b.x ? a.x < b.x : a.y < b.y;
  });
  *out = {};
  for (const Pair& pair : pairs) {
    if (!out->rise.empty() && !(pair.rise > out->rise.back())) continue;
    out->fall.push_back(pair.fall);
    out->rise.push_back(pair.rise);
    out->first.push_back(pair.x);
    out->second.push_back(pair.y);
  }
}

void CutPositions::search_three(Fixed rise0, Fixed fall0, const std::vector<PositionAxis>& axes,
                                std::size_t a, std::size_t b, std::size_t c,
                                const PairFrontier& pairs, const Fixed* best,
                                const WeighPositions& weigh) {
  const PositionAxis& x = axes[a];
  std::size_t entry = 0;
  auto bound = [&](int lo, int hi) {
    return look_up(pairs, rise0 + x.rise(hi), fall0 - x.fall(lo), &entry);
  };
  std::vector<Range>& stack = three_;
  stack.clear();
  stack.push_back({0, x.len, bound(0, x.len)});
  at_.assign(axes.size(), 0);
  while (!stack.empty()) {
    const Range range = stack.back();
    stack.pop_back();
    if (!(range.bound > *best)) continue;
    if (range.lo == range.hi) {
      look_up(pairs, rise0 + x.rise(range.lo), fall0 - x.fall(range.lo), &entry);
      at_[a] = range.lo;
      at_[b] = pairs.first[entry];
      at_[c] = pairs.second[entry];
      weigh(at_);
      continue;
    }
    push_halves(range, bound, &stack);
  }
}

}  // namespace zevo
