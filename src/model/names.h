// How the system compares the names of its records, and lookups by name over a list of records.
//
// Entry points:
// - same_name(a, b): exact, byte-for-byte comparison, case included.
// - NameIndex: the positions of the records that carry each name, built once so that checks and
//   name resolution need not walk the whole list once per query (quadratic on large networks).
//   It borrows the names, which must outlive it. Nothing here prints or ends the run.
#pragma once

#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zevo {

// True when both names are given and equal; a missing name equals nothing, not even another
// missing one.
inline bool same_name(const char* a, const char* b) {
  return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

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
