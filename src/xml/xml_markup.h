// Reading one piece of markup that follows a '<': the part of the XML reader that needs no
// knowledge of open elements. The entity reader uses it for its first entity and for each child.
//
// Entry points:
// - read_xml_markup(input, builder, buffer, errflag): reads, with the input just after a '<', a
//   comment, CDATA section, processing instruction, other declaration or tag; returns the entity
//   read, if any (see XmlMarkup). An end tag only has its '/' taken and sets *errflag to
//   XMLERR_ENDTAG. Writes *errflag only when there is something to report. `buffer` is scratch
//   space the caller lends for markup that does not lie in one block of the input.
// - parse_XMLENTITY_tag(tag): splits a start tag's text into a new record with its name and
//   attributes, both in the record store; the record's kind is left to the caller. The text
//   itself is not changed.
//
// Problems come back as XMLERR_* codes, never printed. Exhausted memory ends the run with the
// message of alloc_XMLENTITY or xmlcopystring; a scratch buffer that cannot grow throws
// std::bad_alloc, which fget_XMLENTITY turns into its own message.
#pragma once

#include <cstddef>
#include <string>

#include "xml/xml_builder.h"
#include "xml/xml_input.h"
#include "xml/xml_reader.h"

namespace zevo {

// The most characters a piece of markup or an element's text may take, counted as each
// construct says (see xml_markup.cc and the element reader).
inline constexpr std::size_t kMarkupLimit = XML_BUFFER_SIZE;

struct XmlMarkup {
  // The entity read, or null (then *errflag tells why).
  XMLENTITY* entity = nullptr;
  // True when `entity` is an element from a start tag whose content and end tag come next.
  bool content_follows = false;
  // An element's name as written; it lies in the input or the buffer, so it is good only until
  // either is used again.
  const char* name = nullptr;
  std::size_t name_length = 0;
};

XmlMarkup read_xml_markup(XmlInput& input, XmlBuilder& builder, std::string& buffer, int* errflag);

XMLENTITY* parse_XMLENTITY_tag(char* tag);

}  // namespace zevo
