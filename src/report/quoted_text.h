// A text of the reports as it is printed.
//
// Entry point:
// - quoted(text): returns the text in double quotes, or (NULL) without quotes when the
//   document gave none; an empty text keeps its quotes. Pass it to a %s as quoted(x).c_str(),
//   which lives until the end of the statement.
#pragma once

#include <string>

namespace zevo {

inline std::string quoted(const char* text) {
  if (!text) return "(NULL)";
  return '"' + std::string(text) + '"';
}

}  // namespace zevo
