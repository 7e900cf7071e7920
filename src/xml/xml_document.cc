#include "xml/xml_document.h"

#include <cstring>
#include <new>

#include "model/messages.h"
#include "xml/xml_markup.h"
#include "xml/xml_strings.h"

namespace zevo {

XmlDocument::XmlDocument(FILE* stream) {
  try {
    XmlInput input(stream, XmlInput::blocks, &bytes_);
    XmlBuilder nothing(XmlBuilder::nothing);
    XmlEntityReader reader(input, nothing);
    int code;
    while (reader.read_top_level(&code)) {
      has_entity_ = true;
      if (code != XMLERR_NONE) {
        code_ = code;
        problem_ = reader.problem();
      }
    }
  } catch (const std::bad_alloc&) {
    exit_with_message(Stream::err, " *** ERROR: Out of memory in fget_XMLENTITY() 1\n");
  }
  if (!has_entity_) problem_.offset = bytes_.size();
}

XmlPlace XmlDocument::problem_place() const {
  const XmlPosition position = bytes_.position_of(problem_.offset);
  return {position.line, position.column, problem_.element};
}

XmlPlace XmlDocument::entity_place() const {
  const XmlPosition position =
      bytes_.position_of(root_given_ ? root_start_ : reader_.entity_start());
  return {position.line, position.column, {}};
}

// The entity given last is done with: its scratch records are recycled, and the bytes before the
// place reached are given back.
void XmlDocument::begin_entity() {
  scratch_.release_scratch();
  bytes_.release_before(again_.offset());
  root_given_ = false;
}

XMLENTITY* XmlDocument::read_root(bool* has_content) {
  begin_entity();
  *has_content = false;
  try {
    for (;;) {
      if (!again_.refill()) return nullptr;
      const char* p = again_.next();
      const char* less_than = find_xml_byte(p, again_.end(), '<');
      if (!less_than) {
        again_.take(again_.end());
        continue;
      }
      again_.take(less_than + 1);
      root_start_ = again_.offset() - 1;
      int code = XMLERR_NONE;
      const XmlMarkup markup = read_xml_markup(again_, scratch_, buffer_, &code);
      if (!markup.entity) continue;
      root_given_ = true;
      *has_content = markup.content_follows;
      in_root_ = markup.content_follows;
      return markup.entity;
    }
  } catch (const std::bad_alloc&) {
    exit_with_message(Stream::err, " *** ERROR: Out of memory in fget_XMLENTITY() 1\n");
  }
}

// The root's own text is not wanted: only the markup in it is read.
XMLENTITY* XmlDocument::read_child() {
  begin_entity();
  try {
    while (in_root_) {
      if (!again_.refill()) return nullptr;
      const char* p = again_.next();
      const char* less_than = find_xml_byte(p, again_.end(), '<');
      if (!less_than) {
        again_.take(again_.end());
        continue;
      }
      again_.take(less_than + 1);
      int code = XMLERR_NONE;
      if (XMLENTITY* child = reader_.read_entity(&code)) return child;
      if (code == XMLERR_ENDTAG) in_root_ = false;
    }
  } catch (const std::bad_alloc&) {
    exit_with_message(Stream::err, " *** ERROR: Out of memory in fget_XMLENTITY() 1\n");
  }
  return nullptr;
}

XMLENTITY* XmlDocument::read_top_level() {
  begin_entity();
  try {
    int code;
    return reader_.read_top_level(&code);
  } catch (const std::bad_alloc&) {
    exit_with_message(Stream::err, " *** ERROR: Out of memory in fget_XMLENTITY() 1\n");
  }
}

}  // namespace zevo
