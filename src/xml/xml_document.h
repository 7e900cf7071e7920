// A file of the input document read in two passes: once to the end for its code, making nothing,
// then again from the bytes kept, one entity at a time, for the document reader to map and forget.
// The element tree of a large document is thus never held whole: the second pass keeps only the
// texts of the elements, which the input model borrows, and gives back the bytes it has passed.
//
// Entry points:
// - XmlDocument(stream): reads the stream to its end (the caller closes it). code() and
//   has_entity() are what readfile_XMLENTITY would set in *errflag and whether it would return
//   an entity; problem_place() is where that code arose (the end of input when the file holds no
//   entity).
// - The second pass; each entity comes whole, children and all, in scratch records that the next
//   call recycles (their element texts stay for the rest of the run):
//   - read_root(has_content): the first top-level entity. When it is an element with content,
//     *has_content is set and its children are not read: read_child() then gives them one after
//     another, null after its end tag.
//   - read_top_level(): the next top-level entity, null at the end of the file.
//   - entity_place(): where the entity given last begins (no element is named).
// Use the second pass only on a file whose code is 0: it repeats none of the checks. Exhausted
// memory ends the run with the reader's messages.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "xml/xml_builder.h"
#include "xml/xml_entity_reader.h"
#include "xml/xml_input.h"
#include "xml/xml_reader.h"

namespace zevo {

// A place in a file: line and column counted from 1 (a column is a byte), and the element there
// (empty when none is known).
struct XmlPlace {
  std::uint64_t line;
  std::uint64_t column;
  std::string element;
};

class XmlDocument {
 public:
  explicit XmlDocument(FILE* stream);
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  int code() const { return code_; }
  bool has_entity() const { return has_entity_; }
  XmlPlace problem_place() const;

  XMLENTITY* read_root(bool* has_content);
  XMLENTITY* read_child();
  XMLENTITY* read_top_level();
  XmlPlace entity_place() const;

 private:
  void begin_entity();

  XmlBytes bytes_;
  int code_ = XMLERR_NONE;
  bool has_entity_ = false;
  XmlProblem problem_;

  XmlInput again_{&bytes_};
  XmlBuilder scratch_{XmlBuilder::scratch};
  XmlEntityReader reader_{again_, scratch_};
  std::string buffer_;  // markup of the root's start tag that does not lie in one block
  std::uint64_t root_start_ = 0;
  bool root_given_ = false;  // the entity given last is the root
  bool in_root_ = false;     // the root's children are being given
};

}  // namespace zevo
