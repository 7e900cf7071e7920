// The arrays of a network (nc, nn, nbt): count + 1 entry pointers, the last always null.
//
// Entry point:
// - alloc_slot_array<Entry>(count, oom_message): returns a new array of count + 1 null slots,
//   allocated for the run. Exhausted memory prints `oom_message` on standard error and ends
//   the run; so does a count below -1, which gives an impossible size.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/record_store.h"

namespace zevo {

template <typename Entry>
Entry** alloc_slot_array(int count, const char* oom_message) {
  const auto slots = static_cast<std::size_t>(static_cast<std::int64_t>(count) + 1);
  return alloc_array<Entry*>(slots, oom_message);
}

}  // namespace zevo
