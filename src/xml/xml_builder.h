// Where the XML reader puts the records and strings it makes: what differs between reading a
// tree for good, reading one entity at a time for the document reader, and only checking a file.
//
// Entry points:
// - XmlBuilder(XmlBuilder::records): every record and string in the record store, for the rest of
//   the run (readfile_XMLENTITY, fget_XMLENTITY).
// - XmlBuilder(XmlBuilder::scratch): records, names and the texts of comments and other markup in
//   scratch storage that release_scratch() recycles; element texts, which the input model borrows,
//   in the record store. Attributes are not made.
// - XmlBuilder(XmlBuilder::nothing): nothing is made; entity() gives a placeholder that stands for
//   an entity and must not be linked. Reading that way costs only what finding the codes costs.
// - entity(), copy_name(p, n), copy_element_text(p, n), copy_markup_text(p, n): a zero-filled
//   record, and copies of n bytes with a terminator (null from a builder that makes nothing).
// Exhausted memory ends the run with the message of alloc_XMLENTITY or xmlcopystring.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "xml/xml_reader.h"

namespace zevo {

class XmlBuilder {
 public:
  enum Kind { records, scratch, nothing };

  explicit XmlBuilder(Kind kind) : kind_(kind) {}
  XmlBuilder(const XmlBuilder&) = delete;
  XmlBuilder& operator=(const XmlBuilder&) = delete;

  bool makes_entities() const { return kind_ != nothing; }
  bool makes_attributes() const { return kind_ == records; }

  XMLENTITY* entity();
  char* copy_name(const char* text, std::size_t length);
  char* copy_element_text(const char* text, std::size_t length);
  char* copy_markup_text(const char* text, std::size_t length);

  void release_scratch();

 private:
  void* allocate_scratch(std::size_t bytes, std::size_t alignment, const char* oom_message);
  char* copy_to_scratch(const char* text, std::size_t length);

  Kind kind_;
  XMLENTITY placeholder_{};
  std::vector<std::unique_ptr<char[]>> blocks_;  // carved, kept when released
  std::vector<std::size_t> block_sizes_;
  std::vector<std::unique_ptr<char[]>> singles_;  // large pieces, given back when released
  std::size_t block_ = 0;                         // the block being carved
  std::size_t used_ = 0;                          // bytes of it carved
};

}  // namespace zevo
