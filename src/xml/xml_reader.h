// The system's own small XML reader: bytes in, a tree of XMLENTITY records out.
//
// Entry points:
// - readfile_XMLENTITY(stream, errflag): reads the whole stream; returns its first top-level
//   entity (the rest follow through `next`) or null. Sets *errflag to XMLERR_NONE, then to the
//   last nonzero code of a top-level entity, which keeps that code in its own `errflag`. A null
//   argument prints " *** ERROR: NULL Pointers on entry to readfile_XMLENTITY\n" and returns
//   null.
// - fget_XMLENTITY(stream, errflag): reads one entity and all its descendants, with the stream
//   just after its '<'; returns it or null. Writes *errflag only where a problem is found
//   (callers set it to XMLERR_NONE first). A null argument ends the run.
// - lowercase_XMLENTITY(entity, recurse): lower-cases the entity's name and, when `recurse` is
//   nonzero, the names of all its descendants; never its siblings, attribute names or data.
//   A null entity is left alone.
// - alloc_XMLENTITY(): a new zero-filled record.
//
// Reading problems never print: they come back as XMLERR_* codes. The caller keeps the stream.
// Every record and every string of a record is held by the record store for the rest of the
// run. Exhausted memory ends the run with a message naming the function that ran out.
#pragma once

#include <cstdio>

namespace zevo {

inline constexpr int XMLENTITY_UNKNOWN = 0;  // other <! declaration, or an attribute
inline constexpr int XMLENTITY_COMMENT = 1;
inline constexpr int XMLENTITY_CDATA = 2;
inline constexpr int XMLENTITY_PI = 3;
inline constexpr int XMLENTITY_ELEMENT = 4;

inline constexpr int XMLERR_NONE = 0;
inline constexpr int XMLERR_EOF = 1;
inline constexpr int XMLERR_SYNTAX = 2;
inline constexpr int XMLERR_OVERRUN = 3;
inline constexpr int XMLERR_ENDTAG = 4;

// Markup and element text each stay below this many characters (see each reading step). The
// fuzzing build lowers it, so that inputs of a few hundred bytes reach every limit.
#ifdef ZEVO_XML_BUFFER_SIZE
inline constexpr int XML_BUFFER_SIZE = ZEVO_XML_BUFFER_SIZE;
#else
inline constexpr int XML_BUFFER_SIZE = 65536;
#endif

struct XMLENTITY {
  char* name;
  char* data;  // null when absent (an empty-element tag, an attribute without value)
  int kind;
  XMLENTITY* children;
  XMLENTITY* attributes;
  XMLENTITY* next;
  int errflag;  // in a top-level entity: the code it was read with; else 0
};

XMLENTITY* readfile_XMLENTITY(FILE* stream, int* errflag);

XMLENTITY* fget_XMLENTITY(FILE* stream, int* errflag);

void lowercase_XMLENTITY(XMLENTITY* entity, int recurse);

XMLENTITY* alloc_XMLENTITY();

}  // namespace zevo
