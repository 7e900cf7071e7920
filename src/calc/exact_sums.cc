#include "calc/exact_sums.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace zevo {
namespace {

constexpr double kLimit = 0x1p120;

}  // namespace

Binary binary_of(double x) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  const int exponent = biased == 0 ? -1074 : biased - 1075;
  if (biased != 0) mantissa |= std::uint64_t{1} << 52;
  const int zeros = __builtin_ctzll(mantissa);
  return {(bits >> 63) != 0, mantissa >> zeros, exponent + zeros};
}

void FixedScale::choose(const std::vector<double>& figures) {
  usable_ = false;
  int lowest = 1 << 20;
  double total = 0.0;
  for (double x : figures) {
    if (!std::isfinite(x)) continue;
    total += std::fabs(x);
    if (x != 0) lowest = std::min(lowest, binary_of(x).exponent);
  }
  if (lowest == 1 << 20) lowest = 0;
  exponent_ = lowest;
  unit_ = lowest >= -1022 && lowest <= 1023 ? std::ldexp(1.0, lowest) : 0.0;
  // The total is rounded; a margin of a few percent covers that.
  usable_ = std::isfinite(total) && std::ldexp(total, -lowest) * 1.0625 < kLimit;
}

Fixed FixedScale::scale(double x) const {
  if (x == 0) return 0;
  // The mantissa shifted up to the common exponent: below 2^120, as choose() made sure.
  const Binary b = binary_of(x);
  const Fixed whole = static_cast<Fixed>(b.mantissa) << (b.exponent - exponent_);
  return b.negative ? -whole : whole;
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

double upper_bound_of(double value, double error) {
  if (error == 0.0 || !std::isfinite(value)) return value;
  // One step up for the rounding of `value`, one for that of the sum.
  return std::nextafter(std::nextafter(value, HUGE_VAL) + error, HUGE_VAL);
}

bool printed_alike(double value, double error) {
  if (!std::isfinite(value) || !(error < 0x1p1000)) return false;
  // In tenths, a cell of the printed digit runs from k - 0.5 to k + 0.5: well inside one, the
  // digit is settled without printing.
  const double tenths = value * 10.0;
  if (std::fabs(tenths) < 0x1p40) {
    const double margin = error * 10.0 * (1.0 + 0x1p-40) + std::fabs(tenths) * 0x1p-48 + 0x1p-60;
    const double cell = std::floor(tenths + 0.5);
    if (tenths - margin > cell - 0.5 && tenths + margin < cell + 0.5 && value - error > 0.0) {
      return true;
    }
  }
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
