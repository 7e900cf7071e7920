#include "model/names.h"

#include <algorithm>

namespace zevo {

void NameIndex::add(const char* name, int position) {
  if (name) positions_[name].push_back(position);
}

const std::vector<int>* NameIndex::find(const char* name) const {
  if (!name) return nullptr;
  const auto found = positions_.find(name);
  return found == positions_.end() ? nullptr : &found->second;
}

int NameIndex::count_after(const char* name, int position) const {
  const std::vector<int>* positions = find(name);
  if (!positions) return 0;
  return static_cast<int>(positions->end() -
                          std::upper_bound(positions->begin(), positions->end(), position));
}

int NameIndex::last_at_or_before(const char* name, int limit) const {
  const std::vector<int>* positions = find(name);
  if (!positions) return -1;
  const auto after = std::upper_bound(positions->begin(), positions->end(), limit);
  return after == positions->begin() ? -1 : *(after - 1);
}

}  // namespace zevo
