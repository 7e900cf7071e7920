#include "xml/xml_strings.h"

#include <cstring>

#include "model/record_store.h"

namespace zevo {

char* xmlcopystring(const char* text) {
  return text ? copy_xml_text(text, std::strlen(text)) : nullptr;
}

char* copy_xml_text(const char* text, std::size_t length) {
  // The store zero-fills, so the terminator is already there.
  char* copy = alloc_text(length, " *** ERROR: Out of Memory in xmlcopystring()\n");
  std::memcpy(copy, text, length);
  return copy;
}

void xmltrimstring(char* text) {
  if (!text) return;
  const char* start = text;
  while (is_xml_space(static_cast<unsigned char>(*start))) ++start;
  std::size_t length = std::strlen(start);
  std::memmove(text, start, length + 1);
  while (length > 0 && is_xml_space(static_cast<unsigned char>(text[length - 1]))) {
    text[--length] = '\0';
  }
}

void xmllowerstring(char* text) {
  if (!text) return;
  for (; *text; ++text) {
    if (*text >= 'A' && *text <= 'Z') *text = static_cast<char>(*text - 'A' + 'a');
  }
}

}  // namespace zevo
