#include "xml/xml_reader.h"

#include <new>

#include "model/messages.h"
#include "model/record_store.h"
#include "xml/xml_builder.h"
#include "xml/xml_entity_reader.h"
#include "xml/xml_input.h"
#include "xml/xml_strings.h"

namespace zevo {

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
  try {
    XmlInput input(stream, XmlInput::blocks);
    XmlBuilder records(XmlBuilder::records);
    XmlEntityReader reader(input, records);
    // Whatever lies outside top-level markup (white space, a byte-order mark, stray text) is
    // dropped, and so is a code without an entity (a stray end tag, "<!>", an unterminated
    // comment).
    int code;
    while (XMLENTITY* entity = reader.read_top_level(&code)) {
      if (last) {
        last->next = entity;
      } else {
        first = entity;
      }
      last = entity;
      entity->errflag = code;
      if (code != XMLERR_NONE) *errflag = code;
    }
  } catch (const std::bad_alloc&) {
    exit_with_message(Stream::err, " *** ERROR: Out of memory in fget_XMLENTITY() 1\n");
  }
  return first;
}

XMLENTITY* fget_XMLENTITY(FILE* stream, int* errflag) {
  if (!errflag) {
    exit_with_message(Stream::err, " *** ERROR: NULL errflag pointer in fget_XMLENTITY()\n");
  }
  if (!stream)
    exit_with_message(Stream::err, " *** ERROR: NULL File Pointer in fget_XMLENTITY()\n");
  try {
    XmlInput input(stream, XmlInput::one_byte);
    XmlBuilder records(XmlBuilder::records);
    XmlEntityReader reader(input, records);
    return reader.read_entity(errflag);
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
