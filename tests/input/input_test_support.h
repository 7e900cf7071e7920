// Shared helpers of the input tests: reading a document held in memory, and listing records.
#pragma once

#include <string>
#include <vector>

#include "model/run_context.h"

namespace zevo::testing {

// A fresh context filled by read_xml_file from `document`.
ZEVO_CONTEXT read_document(const std::string& document);

// A text field as a test compares it: "<null>" for a text the document did not supply.
std::string text_of(const char* text);

// The names of a list's records, in list order.
template <typename Record>
std::vector<std::string> names_of(const Record* first) {
  std::vector<std::string> names;
  for (const Record* record = first; record; record = record->next) {
    names.push_back(text_of(record->name));
  }
  return names;
}

}  // namespace zevo::testing
