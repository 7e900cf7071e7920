// Readable views of a cable's trial list for the cut-search tests.
#pragma once

#include <string>
#include <vector>

#include "model/trial_records.h"

namespace zevo::testing {

// One text per trial, newest first: the cut cables in their order and the flag, as "{Y,Z}:1".
std::vector<std::string> describe_trials(const CALC_CONNECTION* cc);

// The first trial (from the head) whose cuts are exactly `cuts` in that order, or null.
const CALC_CUT_CONNECTION_ZEVO* find_trial(const CALC_CONNECTION* cc, const std::string& cuts);

// The sub-network of node `name` in the trial's own network, or -1.
int sub_network_of(const CALC_CUT_CONNECTION_ZEVO* trial, const std::string& name);

}  // namespace zevo::testing
