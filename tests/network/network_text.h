// Small networks written and read as text, so that a test case fits on a line or two.
#pragma once

#include <string>
#include <vector>

#include "model/network_records.h"
#include "model/run_context.h"

namespace zevo::testing {

// Adds records in document order from "lcs | cables | bus transfers | requested cables", each
// part blank-separated words, trailing parts optional: "P Q R | PQ=P-Q QR=Q-R | T=P-R | PQ".
// The word "~" stands for a missing name.
void add_records(ZEVO_CONTEXT* context, const std::string& text);

// Blank-separated words.
std::vector<std::string> words(const std::string& text);

// The numbers identify_sub_networks leaves, slot by slot ("-" for a null slot):
// "nc 1 - 2 / nn 1 1 2 / bt 1:2 / loops 0 1" (loop counts of sub-networks 1 up).
std::string numbering(const NETWORK* nw);

// The names the slots point at, including the slot after the last ("-" for a null slot):
// "nc C2 C1 - / nn N2 N1 - / bt -".
std::string slot_names(const NETWORK* nw);

// Empties the slot of nc, nn or nbt whose record is named `name`.
void empty_slot(NETWORK* nw, const std::string& name);

}  // namespace zevo::testing
