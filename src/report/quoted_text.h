// A text of the reports as it is printed: in double quotes, or (NULL) without quotes when the
// document gave none. Used with three %s in a row: "%s%s%s", q.open, q.text, q.close.
#pragma once

namespace zevo {

struct QuotedText {
  const char* open;
  const char* text;
  const char* close;
};

inline QuotedText quoted(const char* text) {
  if (!text) return {"", "(NULL)", ""};
  return {"\"", text, "\""};
}

}  // namespace zevo
