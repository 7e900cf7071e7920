#include "xml/xml_markup.h"

#include <cstring>

#include "xml/xml_strings.h"

namespace zevo {
namespace {

const char* skip_space(const char* p, const char* end) {
  while (p < end && is_xml_space(static_cast<unsigned char>(*p))) ++p;
  return p;
}

const char* skip_to_space(const char* p, const char* end) {
  while (p < end && !is_xml_space(static_cast<unsigned char>(*p))) ++p;
  return p;
}

XMLENTITY* make_entity(XmlBuilder& builder, int kind, const char* name, const std::string& data) {
  XMLENTITY* entity = builder.entity();
  if (!builder.makes_entities()) return entity;
  entity->kind = kind;
  entity->name = builder.copy_name(name, std::strlen(name));
  entity->data = builder.copy_markup_text(data.data(), xml_text_length(data.data(), data.size()));
  return entity;
}

// Reads the body of a comment (mark '-'), CDATA section (mark ']') or processing instruction
// (mark '?') with its closer into `buffer`, which keeps the body only when entities are made.
// A comment or CDATA section ends at mark-mark-'>', where a third mark in a row does not count
// towards the closer, so "--->" does not end a comment; an instruction ends at the first "?>".
// Body and closer together may take kMarkupLimit - 1 bytes: the one after overruns.
bool read_marked_body(XmlInput& input, bool keep, std::string& buffer, char mark, int* errflag) {
  const int closing_marks = mark == '?' ? 1 : 2;
  buffer.clear();
  std::size_t count = 0;
  int marks = 0;
  for (;;) {
    if (!input.refill()) {
      *errflag = XMLERR_EOF;
      return false;
    }
    const char* p = input.next();
    const char* end = input.end();
    const char* q = p;
    bool closed = false;
    bool overrun = false;
    while (q < end) {
      if (marks == 0) {
        // Nothing but a mark can begin the closer: jump to the next one, within the limit.
        const std::size_t room = kMarkupLimit - 1 - count;
        const char* stop = static_cast<std::size_t>(end - q) > room ? q + room : end;
        const void* found = std::memchr(q, mark, static_cast<std::size_t>(stop - q));
        const char* upto = found ? static_cast<const char*>(found) : stop;
        count += static_cast<std::size_t>(upto - q);
        q = upto;
        if (q == end) break;
      }
      const char c = *q++;
      if (++count == kMarkupLimit) {
        overrun = true;
        break;
      }
      if (c == mark && (mark == '?' || marks < 2)) {
        marks = mark == '?' ? 1 : marks + 1;
      } else if (c == '>' && marks == closing_marks) {
        closed = true;
        break;
      } else {
        marks = 0;
      }
    }
    if (keep) buffer.append(p, static_cast<std::size_t>(q - p));
    input.take(q);
    if (overrun) {
      *errflag = XMLERR_OVERRUN;
      return false;
    }
    if (closed) {
      if (keep) buffer.resize(buffer.size() - static_cast<std::size_t>(closing_marks) - 1);
      return true;
    }
  }
}

// The stream is just after "<![".
XMLENTITY* read_cdata(XmlInput& input, XmlBuilder& builder, std::string& buffer, int* errflag) {
  char opening[7] = {'['};
  for (int i = 1; i < 7; ++i) {
    const int c = input.get();
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
  if (!read_marked_body(input, builder.makes_entities(), buffer, ']', errflag)) return nullptr;
  return make_entity(builder, XMLENTITY_CDATA, "CDATA", buffer);
}

// Any other "<!" declaration, c2 being its first character. Angle brackets nest inside it.
// It is read so that the document goes on, but always reported as a syntax error.
XMLENTITY* read_declaration(XmlInput& input, XmlBuilder& builder, std::string& buffer, int c2,
                            int* errflag) {
  const bool keep = builder.makes_entities();
  buffer.assign(1, static_cast<char>(c2));
  int depth = 1;
  std::size_t count = 0;  // characters after c2, the closing '>' included
  for (;;) {
    const int c = input.get();
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
    if (keep) buffer.push_back(static_cast<char>(c));
  }
  XMLENTITY* entity = make_entity(builder, XMLENTITY_UNKNOWN, "UNKNOWN", buffer);
  *errflag = XMLERR_SYNTAX;
  return entity;
}

// The stream is just after "<!".
XMLENTITY* read_bang_markup(XmlInput& input, XmlBuilder& builder, std::string& buffer,
                            int* errflag) {
  const int c2 = input.get();
  if (c2 == EOF) {
    *errflag = XMLERR_EOF;
    return nullptr;
  }
  if (c2 == '>') {
    *errflag = XMLERR_SYNTAX;
    return nullptr;
  }
  if (c2 == '-') {
    if (input.get() != '-') {
      *errflag = XMLERR_SYNTAX;
      return nullptr;
    }
    if (!read_marked_body(input, builder.makes_entities(), buffer, '-', errflag)) return nullptr;
    return make_entity(builder, XMLENTITY_COMMENT, "COMMENT", buffer);
  }
  if (c2 == '[') return read_cdata(input, builder, buffer, errflag);
  return read_declaration(input, builder, buffer, c2, errflag);
}

// The stream is just after "<?". Only a '?' directly followed by '>' ends the instruction.
XMLENTITY* read_processing_instruction(XmlInput& input, XmlBuilder& builder, std::string& buffer,
                                       int* errflag) {
  if (!read_marked_body(input, builder.makes_entities(), buffer, '?', errflag)) return nullptr;
  buffer.resize(xml_text_length(buffer.data(), buffer.size()));
  xmltrimstring(buffer.data());
  buffer.resize(std::strlen(buffer.c_str()));
  return make_entity(builder, XMLENTITY_PI, "PROCESSING INSTRUCTION", buffer);
}

// Splits the tag text [tag, end) into a new record: the name runs from the first non-blank to
// the next white space; then attributes `name = value`, a value in double quotes or running to
// the next white space. An attribute name may hold white space ("b c" in `b c="1"`); white space
// before its '=' is trimmed, while a name that runs to the end of the tag keeps all it holds.
XMLENTITY* split_tag(const char* tag, const char* end, XmlBuilder& builder, XmlMarkup* markup) {
  const char* p = skip_space(tag, end);
  const char* name = p;
  p = skip_to_space(p, end);
  markup->name = name;
  markup->name_length = static_cast<std::size_t>(p - name);
  XMLENTITY* element = builder.entity();
  if (!builder.makes_entities()) return element;
  element->name = builder.copy_name(name, markup->name_length);
  if (p == end || !builder.makes_attributes()) return element;
  ++p;

  XMLENTITY* last_attribute = nullptr;
  for (;;) {
    p = skip_space(p, end);
    if (p == end) return element;
    const char* attribute_name = p;
    while (p < end && *p != '=') ++p;
    const bool has_value = p < end;
    const char* name_end = p;
    while (has_value && name_end > attribute_name &&
           is_xml_space(static_cast<unsigned char>(name_end[-1]))) {
      --name_end;
    }
    XMLENTITY* attribute = builder.entity();
    attribute->name =
        builder.copy_name(attribute_name, static_cast<std::size_t>(name_end - attribute_name));
    if (last_attribute) {
      last_attribute->next = attribute;
    } else {
      element->attributes = attribute;
    }
    last_attribute = attribute;
    if (!has_value) return element;

    p = skip_space(p + 1, end);
    if (p == end) return element;
    const char* value;
    if (*p == '"') {
      value = ++p;
      while (p < end && *p != '"') ++p;
    } else {
      value = p;
      p = skip_to_space(p, end);
    }
    attribute->data = builder.copy_markup_text(value, static_cast<std::size_t>(p - value));
    if (p == end) return element;
    ++p;
  }
}

// A start or empty-element tag whose text is [tag, tag + length).
XmlMarkup make_tag(const char* tag, std::size_t length, XmlBuilder& builder) {
  length = xml_text_length(tag, length);
  const bool empty_element = length > 0 && tag[length - 1] == '/';
  if (empty_element) --length;
  XmlMarkup markup;
  markup.entity = split_tag(tag, tag + length, builder, &markup);
  if (builder.makes_entities()) markup.entity->kind = XMLENTITY_ELEMENT;
  markup.content_follows = !empty_element;
  return markup;
}

// A tag whose first character is next in the input. The first '>' after that character ends the
// tag, inside quotes too; the '>' must be among the first kMarkupLimit - 1 characters after the
// '<', so the tag text may take kMarkupLimit - 2 of them.
XmlMarkup read_tag(XmlInput& input, XmlBuilder& builder, std::string& buffer, int* errflag) {
  const char* start = input.next();
  const char* end = input.end();
  const std::size_t in_window = static_cast<std::size_t>(end - start);
  const char* search_end = in_window >= kMarkupLimit - 1 ? start + (kMarkupLimit - 1) : end;
  // Most tags are a bare name ("<lc>", "<name>", "<a/>"): found with a single look at each byte.
  if (!ends_plain_xml_name(static_cast<unsigned char>(*start))) {
    const char* q = start + 1;
    while (q < search_end && !ends_plain_xml_name(static_cast<unsigned char>(*q))) ++q;
    if (q < search_end && *q == '>') {
      XmlMarkup markup;
      markup.content_follows = q[-1] != '/';
      markup.name = start;
      markup.name_length = static_cast<std::size_t>(q - start) - (markup.content_follows ? 0 : 1);
      markup.entity = builder.entity();
      if (builder.makes_entities()) {
        markup.entity->kind = XMLENTITY_ELEMENT;
        markup.entity->name = builder.copy_name(markup.name, markup.name_length);
      }
      input.take(q + 1);
      return markup;
    }
  }
  if (const char* gt = find_xml_byte(start + 1, search_end, '>')) {
    input.take(gt + 1);
    return make_tag(start, static_cast<std::size_t>(gt - start), builder);
  }
  if (in_window >= kMarkupLimit) {
    input.take(start + kMarkupLimit);
    *errflag = XMLERR_OVERRUN;
    return {};
  }
  // The tag runs on beyond the bytes at hand.
  buffer.assign(start, in_window);
  input.take(end);
  for (;;) {
    if (!input.refill()) {
      *errflag = XMLERR_EOF;
      return {};
    }
    const char* p = input.next();
    const std::size_t room = kMarkupLimit - 1 - buffer.size();  // characters that may still come
    const std::size_t available = static_cast<std::size_t>(input.end() - p);
    const std::size_t searched = available < room ? available : room;
    if (const char* gt = find_xml_byte(p, p + searched, '>')) {
      buffer.append(p, static_cast<std::size_t>(gt - p));
      input.take(gt + 1);
      return make_tag(buffer.data(), buffer.size(), builder);
    }
    if (available > room) {
      input.take(p + room + 1);
      *errflag = XMLERR_OVERRUN;
      return {};
    }
    buffer.append(p, available);
    input.take(p + available);
  }
}

}  // namespace

XmlMarkup read_xml_markup(XmlInput& input, XmlBuilder& builder, std::string& buffer, int* errflag) {
  if (!input.refill()) {
    *errflag = XMLERR_EOF;
    return {};
  }
  switch (*input.next()) {
    case '/':
      input.take(input.next() + 1);
      *errflag = XMLERR_ENDTAG;
      return {};
    case '!':
      input.take(input.next() + 1);
      return {read_bang_markup(input, builder, buffer, errflag)};
    case '?':
      input.take(input.next() + 1);
      return {read_processing_instruction(input, builder, buffer, errflag)};
    default:
      return read_tag(input, builder, buffer, errflag);
  }
}

XMLENTITY* parse_XMLENTITY_tag(char* tag) {
  XmlBuilder records(XmlBuilder::records);
  XmlMarkup markup;
  return split_tag(tag, tag + std::strlen(tag), records, &markup);
}

}  // namespace zevo
