// Tag-name tests of the input document's vocabulary, shared by the element readers.
#pragma once

#include <cstring>

#include "model/same_name.h"

namespace zevo {

// Exact comparison of a tag name; a missing name matches nothing.
inline bool is_tag(const char* name, const char* tag) { return same_name(name, tag); }

// Agreement in the first eight characters, as strncmp(name, word, 8) == 0: for "condition",
// "conditio", "conditions" and "conditioned" agree, "conditi" and "cond" do not.
inline bool agrees_in_first_eight(const char* name, const char* word) {
  return name != nullptr && std::strncmp(name, word, 8) == 0;
}

inline bool is_condition_tag(const char* name) { return agrees_in_first_eight(name, "condition"); }

inline bool is_generation_tag(const char* name) {
  return agrees_in_first_eight(name, "generation");
}

inline bool is_bus_transfer_tag(const char* name) {
  return is_tag(name, "bt") || agrees_in_first_eight(name, "bus_transfer");
}

// `lc` and its seven synonyms: a load centre at the top level, an end point inside a cable or
// a bus transfer.
inline bool is_load_centre_tag(const char* name) {
  static const char* const kTags[] = {"lc",  "load",     "pgm",         "pmm",
                                      "pcm", "bus_node", "switchboard", "powerpanel"};
  for (const char* tag : kTags) {
    if (is_tag(name, tag)) return true;
  }
  return false;
}

}  // namespace zevo
