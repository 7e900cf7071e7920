// Reading one piece of markup that follows a '<': the part of the reader that needs no
// knowledge of open elements. Used by fget_XMLENTITY, for its first entity and for each child.
#pragma once

#include <cstdio>
#include <string>

#include "xml/xml_entity.h"

namespace zevo {

struct XmlMarkup {
  // The entity read, or null (then *errflag tells why).
  XMLENTITY* entity = nullptr;
  // True when `entity` is an element from a start tag whose content and end tag come next.
  bool content_follows = false;
};

// Reads, with the stream just after a '<', a comment, CDATA section, processing instruction,
// other declaration or tag; an end tag only has its '/' consumed and sets *errflag to
// XMLERR_ENDTAG. Writes *errflag only when there is something to report. `buffer` is scratch
// space the caller lends for the markup's text; it grows as the text needs.
XmlMarkup read_xml_markup(FILE* stream, std::string& buffer, int* errflag);

}  // namespace zevo
