#include "xml/xml_markup.h"

#include <cstring>

#include "xml/xml_strings.h"

namespace zevo {
namespace {

// The most characters a piece of markup may take, counted as each construct says below.
constexpr std::size_t kMarkupLimit = XML_BUFFER_SIZE;

char* skip_space(char* p) {
  while (is_xml_space(static_cast<unsigned char>(*p))) ++p;
  return p;
}

char* skip_to_space(char* p) {
  while (*p && !is_xml_space(static_cast<unsigned char>(*p))) ++p;
  return p;
}

XMLENTITY* make_entity(int kind, const char* name, const char* data) {
  XMLENTITY* entity = alloc_XMLENTITY();
  entity->kind = kind;
  entity->name = xmlcopystring(name);
  entity->data = xmlcopystring(data);
  return entity;
}

// Reads the body of a comment (mark '-') or CDATA section (mark ']') with its closing
// mark-mark-'>' into `buffer`. A third mark in a row does not count towards the closer, so
// "--->" does not end a comment. Body and closer together may take kMarkupLimit - 1 bytes.
bool read_marked_body(FILE* stream, std::string& buffer, int mark, int* errflag) {
  buffer.clear();
  int marks = 0;
  for (;;) {
    const int c = read_xml_byte(stream);
    if (c == EOF) {
      *errflag = XMLERR_EOF;
      return false;
    }
    buffer.push_back(static_cast<char>(c));
    if (buffer.size() == kMarkupLimit) {
      *errflag = XMLERR_OVERRUN;
      return false;
    }
    if (c == mark && marks < 2) {
      ++marks;
    } else if (c == '>' && marks == 2) {
      buffer.resize(buffer.size() - 3);
      return true;
    } else {
      marks = 0;
    }
  }
}

XMLENTITY* read_comment(FILE* stream, std::string& buffer, int* errflag) {
  if (!read_marked_body(stream, buffer, '-', errflag)) return nullptr;
  return make_entity(XMLENTITY_COMMENT, "COMMENT", buffer.c_str());
}

// The stream is just after "<![".
XMLENTITY* read_cdata(FILE* stream, std::string& buffer, int* errflag) {
  char opening[7] = {'['};
  for (int i = 1; i < 7; ++i) {
    const int c = read_xml_byte(stream);
    if (c == EOF) {
      *errflag = XMLERR_EOF;
      return nullptr;
    }
    opening[i] = static_cast<char>(c);
  }
  if (std::memcmp(opening, "[CDATA[", 7) != 0) {
    *errflag = XMLERR_SYNTAX;
    return nullptr;
  }
  if (!read_marked_body(stream, buffer, ']', errflag)) return nullptr;
  return make_entity(XMLENTITY_CDATA, "CDATA", buffer.c_str());
}

// Any other "<!" declaration, c2 being its first character. Angle brackets nest inside it.
// It is read so that the document goes on, but always reported as a syntax error.
XMLENTITY* read_declaration(FILE* stream, std::string& buffer, int c2, int* errflag) {
  buffer.assign(1, static_cast<char>(c2));
  int depth = 1;
  std::size_t count = 0;  // characters after c2, the closing '>' included
  for (;;) {
    const int c = read_xml_byte(stream);
    if (c == EOF) {
      *errflag = XMLERR_EOF;
      return nullptr;
    }
    if (++count == kMarkupLimit) {
      *errflag = XMLERR_OVERRUN;
      return nullptr;
    }
    if (c == '<') {
      ++depth;
    } else if (c == '>' && --depth == 0) {
      break;
    }
    buffer.push_back(static_cast<char>(c));
  }
  XMLENTITY* entity = make_entity(XMLENTITY_UNKNOWN, "UNKNOWN", buffer.c_str());
  *errflag = XMLERR_SYNTAX;
  return entity;
}

// The stream is just after "<!".
XMLENTITY* read_bang_markup(FILE* stream, std::string& buffer, int* errflag) {
  const int c2 = read_xml_byte(stream);
  if (c2 == EOF) {
    *errflag = XMLERR_EOF;
    return nullptr;
  }
  if (c2 == '>') {
    *errflag = XMLERR_SYNTAX;
    return nullptr;
  }
  if (c2 == '-') {
    if (read_xml_byte(stream) != '-') {
      *errflag = XMLERR_SYNTAX;
      return nullptr;
    }
    return read_comment(stream, buffer, errflag);
  }
  if (c2 == '[') return read_cdata(stream, buffer, errflag);
  return read_declaration(stream, buffer, c2, errflag);
}

// The stream is just after "<?". Only a '?' directly followed by '>' ends the instruction.
XMLENTITY* read_processing_instruction(FILE* stream, std::string& buffer, int* errflag) {
  buffer.clear();
  bool after_question_mark = false;
  for (;;) {
    const int c = read_xml_byte(stream);
    if (c == EOF) {
      *errflag = XMLERR_EOF;
      return nullptr;
    }
    buffer.push_back(static_cast<char>(c));
    if (buffer.size() == kMarkupLimit) {
      *errflag = XMLERR_OVERRUN;
      return nullptr;
    }
    if (after_question_mark && c == '>') break;
    after_question_mark = c == '?';
  }
  buffer.resize(buffer.size() - 2);
  xmltrimstring(buffer.data());
  return make_entity(XMLENTITY_PI, "PROCESSING INSTRUCTION", buffer.c_str());
}

// A start or empty-element tag whose first character c1 has been read. The first '>' after
// c1 ends the tag, inside quotes too. The tag text may take kMarkupLimit - 2 characters.
XmlMarkup read_tag(FILE* stream, std::string& buffer, int c1, int* errflag) {
  buffer.assign(1, static_cast<char>(c1));
  std::size_t count = 1;  // characters read after the '<'
  for (;;) {
    const int c = read_xml_byte(stream);
    if (c == EOF) {
      *errflag = XMLERR_EOF;
      return {};
    }
    if (++count == kMarkupLimit) {
      *errflag = XMLERR_OVERRUN;
      return {};
    }
    if (c == '>') break;
    buffer.push_back(static_cast<char>(c));
  }
  char* text = buffer.data();
  const std::size_t length = std::strlen(text);
  const bool empty_element = length > 0 && text[length - 1] == '/';
  if (empty_element) text[length - 1] = '\0';
  XMLENTITY* element = parse_XMLENTITY_tag(text);
  element->kind = XMLENTITY_ELEMENT;
  return {element, !empty_element};
}

}  // namespace

XmlMarkup read_xml_markup(FILE* stream, std::string& buffer, int* errflag) {
  const int c1 = read_xml_byte(stream);
  switch (c1) {
    case EOF:
      *errflag = XMLERR_EOF;
      return {};
    case '/':
      *errflag = XMLERR_ENDTAG;
      return {};
    case '!':
      return {read_bang_markup(stream, buffer, errflag)};
    case '?':
      return {read_processing_instruction(stream, buffer, errflag)};
    default:
      return read_tag(stream, buffer, c1, errflag);
  }
}

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
