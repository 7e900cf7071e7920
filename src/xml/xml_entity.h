// The system's own small XML reader: bytes in, a tree of XMLENTITY records out.
//
// Reading problems never print: they come back as XMLERR_* codes. Only missing arguments and
// exhausted memory print (and the latter ends the run). Every string of a record is a private
// copy held by the record store for the rest of the run.
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

inline constexpr int XML_BUFFER_SIZE = 65536;

struct XMLENTITY {
  char* name;
  char* data;  // null when absent (an empty-element tag, an attribute without value)
  int kind;
  XMLENTITY* children;
  XMLENTITY* attributes;
  XMLENTITY* next;
  int errflag;  // in a top-level entity: the code it was read with; else 0
};

// Reads the whole stream; returns the first top-level entity (the rest follow through `next`)
// or null. Sets *errflag to 0, then to the last nonzero code of a top-level entity. A null
// argument prints " *** ERROR: NULL Pointers on entry to readfile_XMLENTITY\n" and returns null.
XMLENTITY* readfile_XMLENTITY(FILE* stream, int* errflag);

// Reads one entity, with the stream just after its '<'; returns it or null. Writes *errflag
// only where a problem is found (callers set it to 0 first).
XMLENTITY* fget_XMLENTITY(FILE* stream, int* errflag);

XMLENTITY* alloc_XMLENTITY();

// A new copy of `text` in the record store; null gives null.
char* xmlcopystring(const char* text);

// Splits a start tag's text (modified in place) into a new record with name and attributes.
XMLENTITY* parse_XMLENTITY_tag(char* tag);

// Removes leading and trailing white space in place.
void xmltrimstring(char* text);

// Lower-cases A to Z in place.
void xmllowerstring(char* text);

// Lower-cases the entity's name and, when `recurse` is nonzero, the names of all its
// descendants; never its siblings, attribute names or data.
void lowercase_XMLENTITY(XMLENTITY* entity, int recurse);

}  // namespace zevo
