// Conversion of element texts to numbers, exactly as the C library converts them.
#pragma once

#include <cstdlib>

namespace zevo {

// Base-10 strtol result narrowed to int; a null text converts as an empty one (0).
inline int convert_integer_text(const char* text) {
  return static_cast<int>(std::strtol(text ? text : "", nullptr, 10));
}

// strtod result (leading blanks, "1.5e3 kW", "nan", "inf" as in C); a null text gives 0.0.
inline double convert_real_text(const char* text) { return std::strtod(text ? text : "", nullptr); }

}  // namespace zevo
