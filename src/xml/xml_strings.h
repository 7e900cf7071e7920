// The strings of the XML reader's records and the in-place edits the reader makes to them.
//
// Entry points:
// - is_xml_space(c): whether byte c (0..255) is the reader's white space: space, tab, line
//   feed, vertical tab, form feed or carriage return. Deliberately not isspace(): the reader
//   works on bytes, whatever the locale says.
// - is_xml_blank(c): whether c is one of the four bytes of indentation (xml/xml_entity_reader.h).
// - find_xml_byte(p, end, c): the first c in [p, end), or null.
// - xml_text_length(text, length): the length up to the first NUL byte.
// - xmlcopystring(text): a new copy of `text`, held by the record store for the rest of the
//   run; null gives null. Exhausted memory prints " *** ERROR: Out of Memory in
//   xmlcopystring()\n" and ends the run.
// - copy_xml_text(text, length): the same for the `length` bytes at `text`, with a terminator.
// - xmltrimstring(text): removes leading and trailing white space in place.
// - xmllowerstring(text): lower-cases A to Z in place, no other byte.
// The in-place edits leave a null text alone.
#pragma once

#include <cstddef>
#include <cstring>
#include <initializer_list>

namespace zevo {

// One look-up per byte: bit 1 for the reader's white space, bit 2 for the white space of
// indentation (blank, tab, carriage return, line feed), bit 4 for the bytes that end a plain tag
// name (white space, '>' and NUL).
inline constexpr struct XmlByteClasses {
  unsigned char of[256];
  constexpr XmlByteClasses() : of() {
    for (int c : {' ', '\t', '\n', '\v', '\f', '\r'}) of[c] = 1 | 4;
    for (int c : {' ', '\t', '\n', '\r'}) of[c] |= 2;
    of[static_cast<int>('>')] = 4;
    of[0] = 4;
  }
} kXmlByteClasses;

inline bool is_xml_space(int c) { return kXmlByteClasses.of[c & 0xff] & 1; }

inline bool is_xml_blank(int c) { return kXmlByteClasses.of[c & 0xff] & 2; }

inline bool ends_plain_xml_name(int c) { return kXmlByteClasses.of[c & 0xff] & 4; }

// The first byte `c` in [p, end), or null. Most texts and tags are short: a few bytes are looked
// at one by one before the library's search, whose start costs more than they do.
inline const char* find_xml_byte(const char* p, const char* end, char c) {
  const char* quick_end = end - p > 16 ? p + 16 : end;
  for (; p < quick_end; ++p) {
    if (*p == c) return p;
  }
  if (p == end) return nullptr;
  return static_cast<const char*>(std::memchr(p, c, static_cast<std::size_t>(end - p)));
}

// How much of the `length` bytes at `text` a record keeps: its texts are C strings, so a NUL
// byte of the input ends the text it falls in.
inline std::size_t xml_text_length(const char* text, std::size_t length) {
  const char* nul = find_xml_byte(text, text + length, '\0');
  return nul ? static_cast<std::size_t>(nul - text) : length;
}

char* xmlcopystring(const char* text);

char* copy_xml_text(const char* text, std::size_t length);

void xmltrimstring(char* text);

void xmllowerstring(char* text);

}  // namespace zevo
