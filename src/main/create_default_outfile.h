// The default output file name.
#pragma once

#include "model/run_context.h"

namespace zevo {

// When context->outfile is null, sets it to xmlfile with csv in place of the text after its
// last '.' (a name without a '.' after its first character gets ".csv" appended; directory
// separators do not stop the search). Does nothing for a null context or a set outfile.
void create_default_outfile(ZEVO_CONTEXT* context);

}  // namespace zevo
