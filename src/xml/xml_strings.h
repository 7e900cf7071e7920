// The strings of the XML reader's records and the in-place edits the reader makes to them.
//
// Entry points:
// - is_xml_space(c): whether byte c (0..255) is the reader's white space: space, tab, line
//   feed, vertical tab, form feed or carriage return. Deliberately not isspace(): the reader
//   works on bytes, whatever the locale says.
// - xmlcopystring(text): a new copy of `text`, held by the record store for the rest of the
//   run; null gives null. Exhausted memory prints " *** ERROR: Out of Memory in
//   xmlcopystring()\n" and ends the run.
// - xmltrimstring(text): removes leading and trailing white space in place.
// - xmllowerstring(text): lower-cases A to Z in place, no other byte.
// The in-place edits leave a null text alone.
#pragma once

namespace zevo {

inline bool is_xml_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char* xmlcopystring(const char* text);

void xmltrimstring(char* text);

void xmllowerstring(char* text);

}  // namespace zevo
