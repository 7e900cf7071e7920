// The two end points of a cable or a bus transfer.
#pragma once

namespace zevo {

// Puts `text` into the first free slot of lc1, lc2 and returns true; returns false (and changes
// nothing) when both are taken. A null text fills no slot, so an end point written in the
// empty-element form leaves its slot to the next one.
inline bool take_end_point(const char** lc1, const char** lc2, const char* text) {
  if (*lc1 == nullptr) {
    *lc1 = text;
  } else if (*lc2 == nullptr) {
    *lc2 = text;
  } else {
    return false;
  }
  return true;
}

}  // namespace zevo
