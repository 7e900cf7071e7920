// Reading one piece of markup that follows a '<': the part of the XML reader that needs no
// knowledge of open elements. fget_XMLENTITY uses it for its first entity and for each child.
//
// Entry points:
// - read_xml_byte(stream): the next byte of the stream as 0..255, or EOF. The reader takes one
//   byte at a time.
// - read_xml_markup(stream, buffer, errflag): reads, with the stream just after a '<', a
//   comment, CDATA section, processing instruction, other declaration or tag; returns the
//   entity read, if any (see XmlMarkup). An end tag only has its '/' consumed and sets *errflag
//   to XMLERR_ENDTAG. Writes *errflag only when there is something to report. `buffer` is
//   scratch space the caller lends for the markup's text; it grows as the text needs.
// - parse_XMLENTITY_tag(tag): splits a start tag's text (modified in place) into a new record
//   with its name and attributes; the record's kind is left to the caller.
//
// Problems come back as XMLERR_* codes, never printed. Exhausted memory ends the run with the
// message of alloc_XMLENTITY or xmlcopystring; a scratch buffer that cannot grow throws
// std::bad_alloc, which fget_XMLENTITY turns into its own message.
#pragma once

#include <cstdio>
#include <string>

#include "xml/xml_reader.h"

namespace zevo {

inline int read_xml_byte(FILE* stream) { return getc_unlocked(stream); }

struct XmlMarkup {
  // The entity read, or null (then *errflag tells why).
  XMLENTITY* entity = nullptr;
  // True when `entity` is an element from a start tag whose content and end tag come next.
  bool content_follows = false;
};

XmlMarkup read_xml_markup(FILE* stream, std::string& buffer, int* errflag);

XMLENTITY* parse_XMLENTITY_tag(char* tag);

}  // namespace zevo
