#include "xml/reference/literal_xml_reader.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "model/messages.h"
#include "model/record_store.h"
#include "xml/xml_strings.h"

namespace zevo {
namespace {

int read_xml_byte(FILE* stream) { return getc_unlocked(stream); }

struct XmlMarkup {
  XMLENTITY* entity = nullptr;
  bool content_follows = false;
};

int* text_overruns = nullptr;  // where the read under way counts its text overruns

XMLENTITY* parse_tag(char* tag);

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
  XMLENTITY* element = parse_tag(text);
  element->kind = XMLENTITY_ELEMENT;
  return {element, !empty_element};
}

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

// parse_XMLENTITY_tag as first written.
XMLENTITY* parse_tag(char* tag) {
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

// Element text before the end tag may take XML_BUFFER_SIZE - 1 characters.
constexpr std::size_t kTextLimit = XML_BUFFER_SIZE;

struct OpenElement {
  XMLENTITY* element;
  XMLENTITY* last_child;
  std::string text;
  int code;  // last nonzero code of a child, or the element's own problem
};

void add_child(OpenElement& parent, XMLENTITY* child, int code) {
  if (parent.last_child) {
    parent.last_child->next = child;
  } else {
    parent.element->children = child;
  }
  parent.last_child = child;
  if (code != XMLERR_NONE) parent.code = code;
}

void keep_text(OpenElement& open) { open.element->data = xmlcopystring(open.text.c_str()); }

// The stream is just after "</". The name must follow exactly; the text is trimmed only when
// it does.
void read_end_tag(FILE* stream, OpenElement& open) {
  for (const char* p = open.element->name; *p; ++p) {
    const int c = read_xml_byte(stream);
    if (c != static_cast<unsigned char>(*p)) {
      open.code = c == EOF ? XMLERR_EOF : XMLERR_SYNTAX;
      keep_text(open);
      return;
    }
  }
  int c;
  do {
    c = read_xml_byte(stream);
  } while (c != EOF && is_xml_space(c));
  if (c != '>') open.code = c == EOF ? XMLERR_EOF : XMLERR_SYNTAX;
  xmltrimstring(open.text.data());
  keep_text(open);
}

enum class ContentStep { child_opened, element_done };

// Reads the content of `open` until a child element starts (returned in *child, its
// content still to be read) or `open` itself is done, with its data and code set.
ContentStep read_content(FILE* stream, OpenElement& open, std::string& scratch, XMLENTITY** child) {
  for (;;) {
    const int c = read_xml_byte(stream);
    if (c == EOF) {
      open.code = XMLERR_EOF;
      keep_text(open);
      return ContentStep::element_done;
    }
    if (c == '<') {
      int child_code = XMLERR_NONE;
      const XmlMarkup markup = read_xml_markup(stream, scratch, &child_code);
      if (markup.content_follows) {
        *child = markup.entity;
        return ContentStep::child_opened;
      }
      if (markup.entity) {
        add_child(open, markup.entity, child_code);
        continue;
      }
      if (child_code == XMLERR_ENDTAG) {
        read_end_tag(stream, open);
        return ContentStep::element_done;
      }
      // Markup that failed without an entity: its '<' is text, what it consumed is lost.
    }
    open.text.push_back(static_cast<char>(c));
    if (open.text.size() == kTextLimit) {
      open.code = XMLERR_OVERRUN;
      if (text_overruns) ++*text_overruns;
      return ContentStep::element_done;
    }
  }
}

// Nested elements are read with an explicit stack of open elements rather than one call per
// level, so a document nested a million levels deep costs memory, not the call stack. Each
// open element has its own text and its own code, exactly as a call per level would have:
// the code of the innermost element is the one its parent's reading of that child reports.
XMLENTITY* read_entity(FILE* stream, int* errflag) {
  std::string scratch;
  const XmlMarkup first = read_xml_markup(stream, scratch, errflag);
  if (!first.content_follows) return first.entity;

  // Entries above `depth` are kept for their text buffers' capacity.
  std::vector<OpenElement> open;
  std::size_t depth = 0;
  auto push = [&](XMLENTITY* element) {
    if (depth == open.size()) open.emplace_back();
    OpenElement& entry = open[depth++];
    entry.element = element;
    entry.last_child = nullptr;
    entry.text.clear();
    entry.code = XMLERR_NONE;
  };

  push(first.entity);
  for (;;) {
    XMLENTITY* child = nullptr;
    if (read_content(stream, open[depth - 1], scratch, &child) == ContentStep::child_opened) {
      push(child);
      continue;
    }
    OpenElement& done = open[--depth];
    if (depth == 0) {
      if (done.code != XMLERR_NONE) *errflag = done.code;
      return done.element;
    }
    add_child(open[depth - 1], done.element, done.code);
  }
}

XMLENTITY* literal_fget_XMLENTITY(FILE* stream, int* errflag) {
  try {
    return read_entity(stream, errflag);
  } catch (const std::bad_alloc&) {
    exit_with_message(Stream::err, " *** ERROR: Out of memory in fget_XMLENTITY() 1\n");
  }
}

}  // namespace

XMLENTITY* literal_readfile_XMLENTITY(FILE* stream, int* errflag, int* nbr_text_overruns) {
  if (!stream || !errflag) {
    print_message(Stream::err, " *** ERROR: NULL Pointers on entry to readfile_XMLENTITY\n");
    return nullptr;
  }
  *errflag = XMLERR_NONE;
  int overruns = 0;
  text_overruns = nbr_text_overruns ? nbr_text_overruns : &overruns;
  *text_overruns = 0;
  XMLENTITY* first = nullptr;
  XMLENTITY* last = nullptr;
  for (;;) {
    // Whatever lies outside top-level markup (white space, a byte-order mark, stray text)
    // is dropped.
    int c;
    do {
      c = read_xml_byte(stream);
    } while (c != EOF && c != '<');
    if (c == EOF) return first;

    // A code without an entity (a stray end tag, "<!>", an unterminated comment) is dropped.
    int code = XMLERR_NONE;
    XMLENTITY* entity = literal_fget_XMLENTITY(stream, &code);
    if (!entity) continue;
    if (last) {
      last->next = entity;
    } else {
      first = entity;
    }
    last = entity;
    entity->errflag = code;
    if (code != XMLERR_NONE) *errflag = code;
  }
}

}  // namespace zevo
