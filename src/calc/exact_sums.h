// Sums of figures taken exactly, in any order, and what they tell of the sums the balance
// prescribes.
//
// Every finite double is an integer multiple of a power of two. With all the figures of a
// network written as multiples of the smallest such power in play, 2^exponent, they are whole
// numbers, and as long as the absolute values of all of them add up to less than 2^120 every sum
// of any subset, in any order, and every difference of such sums, is exact in a 128-bit integer.
// The balance adds the same figures as doubles in a prescribed order; each of its sums lies
// within gamma(n) * (sum of |x|) of the exact one, n being the number of terms, so the value
// (a max of mins of such sums) lies within that same distance of the exact value.
//
// Entry points:
// - Fixed: the scaled whole numbers.
// - binary_of(x): a finite, nonzero x as sign, odd mantissa and exponent, read from its bits.
// - FixedScale::choose(figures): the exponent for the finite figures of a set, and whether they
//   fit;
//   scale(x) turns a finite figure into its whole number, to_double(f) a whole number back into
//   the double nearest to it (up to one rounding in the subnormal range).
// - sum_error_bound(nbr_terms, abs_total): a bound, rounded up, on the distance between the
//   prescribed double sum of at most nbr_terms figures whose absolute values add up to at most
//   abs_total, and the exact sum.
// - upper_bound_of(value, error): a double at or above every real number within `error` of the
//   number that `value` stands for, `value` being that number rounded to the nearest double;
//   `value` itself when error is 0 (the number is then `value` exactly).
// - printed_alike(value, error): true when every double within `error` of `value` (taking the
//   balance's floor of 0.0 into account) prints the same with the results table's "%8.1f".
// Nothing here prints or ends the run.
#pragma once

#include <cstdint>
#include <vector>

namespace zevo {

__extension__ typedef __int128 Fixed;

struct Binary {
  bool negative;
  std::uint64_t mantissa;  // odd
  int exponent;            // x = (negative ? -1 : 1) * mantissa * 2^exponent
};
Binary binary_of(double x);

class FixedScale {
 public:
  // `figures` holds every figure that may be summed; non-finite ones are passed over (sums that
  // hold one are not taken this way).
  void choose(const std::vector<double>& figures);
  bool usable() const { return usable_; }
  int exponent() const { return exponent_; }
  Fixed scale(double x) const;
  double to_double(Fixed f) const;

 private:
  bool usable_ = false;
  int exponent_ = 0;
  double unit_ = 1.0;  // 2^exponent_ when that is a normal double, else 0
};

double sum_error_bound(double nbr_terms, double abs_total);

double upper_bound_of(double value, double error);

bool printed_alike(double value, double error);

}  // namespace zevo
