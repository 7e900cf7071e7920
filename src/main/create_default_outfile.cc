#include "main/create_default_outfile.h"

#include <cstring>

#include "model/record_store.h"

namespace zevo {

void create_default_outfile(ZEVO_CONTEXT* context) {
  if (!context || context->outfile || !context->xmlfile) return;
  const std::size_t length = std::strlen(context->xmlfile);
  char* name =
      alloc_array<char>(length + 5, " *** ERROR: Out of Memory in create_default_outfile()\n");
  std::memcpy(name, context->xmlfile, length);
  char* dot = name + length;
  while (dot > name && *dot != '.') --dot;
  if (dot == name) {
    dot = name + length;
    *dot = '.';
  }
  std::memcpy(dot + 1, "csv", 4);
  context->outfile = name;
}

}  // namespace zevo
