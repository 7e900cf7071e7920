#include "xml/xml_reader.h"

#include <new>
#include <string>
#include <vector>

#include "model/messages.h"
#include "model/record_store.h"
#include "xml/xml_markup.h"
#include "xml/xml_strings.h"

namespace zevo {
namespace {

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

}  // namespace

XMLENTITY* alloc_XMLENTITY() {
  return alloc_record<XMLENTITY>(" *** ERROR: Out of memory in alloc_XMLENTITY()\n");
}

XMLENTITY* readfile_XMLENTITY(FILE* stream, int* errflag) {
  if (!stream || !errflag) {
    print_message(Stream::err, " *** ERROR: NULL Pointers on entry to readfile_XMLENTITY\n");
    return nullptr;
  }
  *errflag = XMLERR_NONE;
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
    XMLENTITY* entity = fget_XMLENTITY(stream, &code);
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

XMLENTITY* fget_XMLENTITY(FILE* stream, int* errflag) {
  if (!errflag) {
    exit_with_message(Stream::err, " *** ERROR: NULL errflag pointer in fget_XMLENTITY()\n");
  }
  if (!stream)
    exit_with_message(Stream::err, " *** ERROR: NULL File Pointer in fget_XMLENTITY()\n");
  try {
    return read_entity(stream, errflag);
  } catch (const std::bad_alloc&) {
    exit_with_message(Stream::err, " *** ERROR: Out of memory in fget_XMLENTITY() 1\n");
  }
}

// The walk over the descendants threads the tree temporarily instead of keeping a stack, so it
// needs neither the call stack per level nor any allocation, however deep the document is.
// Seen as a binary tree (left = children, right = next), this is a pre-order Morris traversal:
// the last child of a node is pointed back at the node while its children are walked, and the
// pointer is cleared again on the way back. Every link is followed at most twice.
void lowercase_XMLENTITY(XMLENTITY* entity, int recurse) {
  if (!entity) return;
  xmllowerstring(entity->name);
  if (!recurse) return;

  XMLENTITY* node = entity->children;
  while (node) {
    if (!node->children) {
      xmllowerstring(node->name);
      node = node->next;
      continue;
    }
    XMLENTITY* last_child = node->children;
    while (last_child->next && last_child->next != node) last_child = last_child->next;
    if (!last_child->next) {
      xmllowerstring(node->name);
      last_child->next = node;
      node = node->children;
    } else {
      last_child->next = nullptr;
      node = node->next;
    }
  }
}

}  // namespace zevo
