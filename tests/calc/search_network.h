// Networks made by hand for the tests of the balance and the cut search, and a readable view of
// a result's figures.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/run_context.h"

namespace zevo::testing {

// "g1 l1 g2 l2 = c_val" of condition index `ci`, exactly (every NaN reads "nan").
std::string describe_figures(const ZEVO_RESULT* r, int ci);

// The ring SB1 - SB2 - SB3 of the typical run: load centres, then cables (nc = C31, C23, C12).
inline constexpr char kRingLcs[] = "SB1 1000 0, SB2 0 600, SB3 0 300";
inline constexpr char kRingCables[] = "C12 SB1 SB2, C23 SB2 SB3, C31 SB3 SB1";

// A run context whose only requested condition so far is "normal".
class SearchNetwork : public ::testing::Test {
 public:
  void SetUp() override;
  void TearDown() override;
  // Adds the load centres `lcs` ("name generation load" under "normal", comma-separated) and
  // the cables `cables` ("name lc1 lc2"), both in document order, requests the cables
  // `requested` and builds the base network. Returns the requests in the order given.
  std::vector<CALC_CONNECTION*> build(const std::string& lcs, const std::string& cables,
                                      const std::vector<std::string>& requested);
  // Computes every requested cable in list order with the reference search, as the driver did.
  void compute_all();
  // The result of the fast search for `cc`, in a record of its own (cc->results is left as is).
  ZEVO_RESULT* fast_result(CALC_CONNECTION* cc);

  ZEVO_CONTEXT context_;
};

}  // namespace zevo::testing
