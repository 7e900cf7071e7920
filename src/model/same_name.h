// How the system compares the names of its records: exactly, byte for byte, case included.
#pragma once

#include <cstring>

namespace zevo {

// True when both names are given and equal; a missing name equals nothing, not even another
// missing one.
inline bool same_name(const char* a, const char* b) {
  return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

}  // namespace zevo
