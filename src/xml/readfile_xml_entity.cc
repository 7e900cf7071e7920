// Reading a whole stream into the list of its top-level entities.
#include "model/messages.h"
#include "xml/xml_chars.h"
#include "xml/xml_entity.h"

namespace zevo {

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

}  // namespace zevo
