// The includes: splicing of included fragment files into the top-level chain of the main
// document, with the include-cycle check.
//
// Entry point:
//   splice_include(context, include, current) takes the `include` element met among the
//   entities of the file `current`; it reads the file the element names, links that file's
//   top-level entities in right after `include` (the entities, like every record, live until the
//   run ends), records the file among the context's input files and returns the new file's
//   INCLUDE_SPLICE, whose parent is `current`.
// Ends the run: a file that cannot be opened (a device is never opened) or read as XML, a file
// already being spliced on the path from the main document to `include`, one splice more than
// kMaxSplices in the run (" *** ERROR: too many INCLUDE files (name)"), and exhausted memory.
#pragma once

#include "model/run_context.h"
#include "xml/xml_reader.h"

namespace zevo {

// A file whose top-level entities the walk of the document is passing through: the main
// document, or an included file together with the file whose `include` brought it in. The
// chain through `parent` is the path from the main document to this file, which is what an
// include cycle is detected on.
struct INCLUDE_SPLICE {
  FileIdentity file;
  XMLENTITY* resume;  // the entity after the last spliced one: there the walk leaves this file
  INCLUDE_SPLICE* parent;
};

// No honest document comes near this many splices in one run; fragments that each include the
// next one twice would otherwise splice 2^n files for n levels.
inline constexpr int kMaxSplices = 100000;

INCLUDE_SPLICE* splice_include(ZEVO_CONTEXT* context, XMLENTITY* include, INCLUDE_SPLICE* current);

}  // namespace zevo
