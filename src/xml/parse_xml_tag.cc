// Splitting a start tag's text into the element name and its attributes.
#include "model/record_store.h"
#include "xml/xml_chars.h"
#include "xml/xml_entity.h"

namespace zevo {
namespace {

char* skip_space(char* p) {
  while (is_xml_space(static_cast<unsigned char>(*p))) ++p;
  return p;
}

char* skip_to_space(char* p) {
  while (*p && !is_xml_space(static_cast<unsigned char>(*p))) ++p;
  return p;
}

}  // namespace

XMLENTITY* parse_XMLENTITY_tag(char* tag) {
  char* p = skip_space(tag);
  const char* name = p;
  p = skip_to_space(p);
  const bool name_ends_text = *p == '\0';
  *p = '\0';
  XMLENTITY* element = alloc_XMLENTITY();
  element->name = xmlcopystring(name);
  if (name_ends_text) return element;
  ++p;

  XMLENTITY* last_attribute = nullptr;
  for (;;) {
    p = skip_space(p);
    if (*p == '\0') return element;

    // An attribute name may hold white space ("b c" in `b c="1"`); white space before its '='
    // is trimmed, while a name that runs to the end of the tag keeps all it holds.
    const char* attribute_name = p;
    while (*p && *p != '=') ++p;
    const bool has_value = *p == '=';
    char* name_end = p;
    while (has_value && name_end > attribute_name &&
           is_xml_space(static_cast<unsigned char>(name_end[-1]))) {
      --name_end;
    }
    *name_end = '\0';
    XMLENTITY* attribute = alloc_XMLENTITY();
    attribute->name = xmlcopystring(attribute_name);
    if (last_attribute) {
      last_attribute->next = attribute;
    } else {
      element->attributes = attribute;
    }
    last_attribute = attribute;
    if (!has_value) return element;

    p = skip_space(p + 1);
    if (*p == '\0') return element;
    const char* value;
    if (*p == '"') {
      value = ++p;
      while (*p && *p != '"') ++p;
    } else {
      value = p;
      p = skip_to_space(p);
    }
    const bool value_ends_text = *p == '\0';
    *p = '\0';
    attribute->data = xmlcopystring(value);
    if (value_ends_text) return element;
    ++p;
  }
}

}  // namespace zevo
