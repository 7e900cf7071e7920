// Splicing of included fragment files into the top-level chain of the main document.
#pragma once

#include <sys/types.h>

#include <cstdio>

#include "model/run_context.h"
#include "xml/xml_entity.h"

namespace zevo {

// A file whose top-level entities the walk of the document is passing through: the main
// document, or an included file together with the file whose `include` brought it in. The
// chain through `parent` is the path from the main document to this file, which is what an
// include cycle is detected on.
struct INCLUDE_SPLICE {
  bool identified;  // false when the stream could not be examined (no device and inode)
  dev_t dev;
  ino_t ino;
  XMLENTITY* resume;  // the entity after the last spliced one: there the walk leaves this file
  INCLUDE_SPLICE* parent;
};

// Fills in the device and inode of the file behind `stream`, when it has them.
void identify_spliced_file(INCLUDE_SPLICE* splice, FILE* stream);

// Opens and reads the file named by the text of `include`, which was met in the entities of
// `current`, and inserts its top-level chain right after `include`, so that the walk reaches
// it next. The file is recorded among the run's input files. Returns the splice of the new
// file (whose parent is `current`). A file that cannot be opened or read, or that is already
// being spliced on the path to `include`, prints its message and ends the run.
INCLUDE_SPLICE* splice_include(ZEVO_CONTEXT* context, XMLENTITY* include, INCLUDE_SPLICE* current);

}  // namespace zevo
