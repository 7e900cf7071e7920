// The document reader as first written: the whole file read into one element tree by the
// reference XML reader, then walked, each include spliced into the tree at its place and checked
// against every file on the path from the main document. It lives in the tests only, as the
// reference that the benchmarks compare the document reader in src/input with: on a document
// that both read, both build the same records.
//
// Entry point:
// - literal_read_xml_file(context): as read_xml_file, with the same messages; the element
//   readers (read_load_centre, read_cable, ...) are the ones of src/input.
#pragma once

#include "model/run_context.h"

namespace zevo {

void literal_read_xml_file(ZEVO_CONTEXT* context);

}  // namespace zevo
