// The document reader: maps the element tree onto the input model, splicing in includes.
#pragma once

#include "model/run_context.h"

namespace zevo {

// Reads the document from context->xin (closed on return) into the context's lists, counts,
// `debug` and `outfile`. Every error it detects prints its message and ends the run.
void read_xml_file(ZEVO_CONTEXT* context);

}  // namespace zevo
