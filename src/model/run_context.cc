#include "model/run_context.h"

#include <sys/stat.h>

#include "model/record_store.h"

namespace zevo {

void zevo_init(ZEVO_CONTEXT* context) {
  *context = ZEVO_CONTEXT{};
  context->nw = alloc_record<NETWORK>(" *** ERROR: Out of memory in zevo_init() a\n");
}

void record_input_file(ZEVO_CONTEXT* context, const char* name, FILE* file) {
  struct stat info;
  if (!file || fstat(fileno(file), &info) != 0) return;
  auto* entry = alloc_record<INPUT_FILE>(" *** ERROR: out of memory while reading xml file (if)\n");
  entry->name = name;
  entry->dev = info.st_dev;
  entry->ino = info.st_ino;
  entry->next = context->input_files;
  context->input_files = entry;
}

bool names_input_file(const ZEVO_CONTEXT* context, const char* name) {
  struct stat info;
  if (!name || stat(name, &info) != 0) return false;
  for (const INPUT_FILE* f = context->input_files; f; f = f->next) {
    if (f->dev == info.st_dev && f->ino == info.st_ino) return true;
  }
  return false;
}

}  // namespace zevo
