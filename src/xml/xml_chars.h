// Byte-level helpers shared by the XML reader's files.
#pragma once

#include <cstdio>

namespace zevo {

// The reader's white space: space, tab, line feed, vertical tab, form feed, carriage return.
// Deliberately not isspace(): the reader works on bytes, whatever the locale says.
inline bool is_xml_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The next byte of the stream as 0..255, or EOF. The reader takes one byte at a time.
inline int read_xml_byte(FILE* stream) { return getc_unlocked(stream); }

}  // namespace zevo
