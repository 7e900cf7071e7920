#include "calc/exact_sums.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace zevo {
namespace {

// The exponent of the lowest set bit of a finite, nonzero x: x is a multiple of 2^result.
int lowest_bit_exponent(double x) {
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(x), &exponent);
  auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  int result = exponent - 53;
  while ((mantissa & 1u) == 0) {
    mantissa >>= 1;
    ++result;
  }
  return result;
}

constexpr double kLimit = 0x1p120;

}  // namespace

void FixedScale::choose(const std::vector<double>& figures) {
  usable_ = false;
  int lowest = 1 << 20;
  double total = 0.0;
  for (double x : figures) {
    if (!std::isfinite(x)) continue;
    total += std::fabs(x);
    if (x != 0) lowest = std::min(lowest, lowest_bit_exponent(x));
  }
  if (lowest == 1 << 20) lowest = 0;
  exponent_ = lowest;
  // The total is rounded; a margin of a few percent covers that.
  usable_ = std::isfinite(total) && std::ldexp(total, -lowest) * 1.0625 < kLimit;
}

Fixed FixedScale::scale(double x) const {
  // |x| / 2^exponent is a whole number below 2^120: split it into two exact halves.
  const double scaled = std::ldexp(x, -exponent_);
  const double high = std::trunc(std::ldexp(scaled, -64));
  const double low = scaled - std::ldexp(high, 64);
  return (static_cast<Fixed>(static_cast<std::int64_t>(high)) << 64) + static_cast<Fixed>(low);
}

double FixedScale::to_double(Fixed f) const {
  return std::ldexp(static_cast<double>(f), exponent_);
}

double sum_error_bound(double nbr_terms, double abs_total) {
  const double u = 0x1p-53;
  const double n = nbr_terms + 1.0;
  const double gamma = n * u / (1.0 - n * u);
  // Generous rounding up of the bound's own arithmetic.
  return gamma * abs_total * (1.0 + 0x1p-20) + 0x1p-1060;
}

bool printed_alike(double value, double error) {
  if (!std::isfinite(value) || !(error < 0x1p1000)) return false;
  const double slack = error + std::fabs(value) * 0x1p-51;
  double low = std::nextafter(value - slack, -HUGE_VAL);
  const double high = std::nextafter(value + slack, HUGE_VAL);
  // The balance never gives less than 0.0.
  if (low < 0.0) low = 0.0;
  char a[400], b[400];
  std::snprintf(a, sizeof a, "%8.1f", low);
  std::snprintf(b, sizeof b, "%8.1f", high);
  return std::strcmp(a, b) == 0;
}

}  // namespace zevo
