// Lookups by name over a list of records, so that checks and resolution need not walk the whole
// list once per query (quadratic on large networks).
#pragma once

#include <string_view>
#include <unordered_map>
#include <vector>

namespace zevo {

// The positions in a list of the records that carry each name. Names compare exactly, byte
// for byte; a record without a name is never indexed and a null name finds nothing.
class NameIndex {
 public:
  // Records `name` at `position`; positions are added in ascending order.
  void add(const char* name, int position);

  // The ascending positions of the records named `name`, or null when there are none.
  const std::vector<int>* find(const char* name) const;

  bool contains(const char* name) const { return find(name) != nullptr; }

  // How many records after `position` carry `name`.
  int count_after(const char* name, int position) const;

  // The last position not after `limit` that carries `name`, or -1 when there is none.
  int last_at_or_before(const char* name, int limit) const;

 private:
  std::unordered_map<std::string_view, std::vector<int>> positions_;
};

}  // namespace zevo
