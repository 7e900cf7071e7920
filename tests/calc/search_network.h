// A run context made by hand for the cut-search tests: load centres with one figure pair per
// condition, cables, and requested cables, built into a base network.
#pragma once

#include <gtest/gtest.h>

#include "model/run_context.h"

namespace zevo::testing {

class SearchNetwork : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Adds the requested condition `name`.
  void condition(const char* name);
  // A load centre with `generation` and `load` under the single condition "normal".
  NODE* lc(const char* name, double generation, double load);
  CONNECTION* cable(const char* name, const char* lc1, const char* lc2);
  CALC_CONNECTION* request(const char* name);
  // Resolves the names and builds the base network.
  void build();
  // build(), then computes every requested cable in list order, as the driver does.
  void compute_all();

  ZEVO_CONTEXT context_;
};

}  // namespace zevo::testing
