#include "model/run_context.h"

#include <sys/stat.h>

#include "model/record_store.h"

namespace zevo {

void zevo_init(ZEVO_CONTEXT* context) {
  *context = ZEVO_CONTEXT{};
  context->nw = alloc_record<NETWORK>(" *** ERROR: Out of memory in zevo_init() a\n");
}

FileIdentity identify_open_file(FILE* stream) {
  FileIdentity identity{};
  struct stat info;
  const int descriptor = stream ? fileno(stream) : -1;
  if (descriptor >= 0 && fstat(descriptor, &info) == 0) {
    identity = FileIdentity{true, info.st_dev, info.st_ino};
  }
  return identity;
}

FileIdentity identify_named_file(const char* name) {
  FileIdentity identity{};
  struct stat info;
  if (name && stat(name, &info) == 0) identity = FileIdentity{true, info.st_dev, info.st_ino};
  return identity;
}

bool is_same_file(const FileIdentity& a, const FileIdentity& b) {
  return a.known && b.known && a.dev == b.dev && a.ino == b.ino;
}

FILE* open_input_file(const char* name) {
  struct stat info;
  if (!name || stat(name, &info) != 0 || S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) {
    return nullptr;
  }
  FILE* file = std::fopen(name, "r");
  // The name may have been replaced by a device since it was examined.
  if (file && (fstat(fileno(file), &info) != 0 || S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

void record_input_file(ZEVO_CONTEXT* context, const char* name, FILE* file) {
  const FileIdentity identity = identify_open_file(file);
  if (!identity.known) return;
  auto* entry = alloc_record<INPUT_FILE>(" *** ERROR: out of memory while reading xml file (if)\n");
  entry->name = name;
  entry->identity = identity;
  entry->next = context->input_files;
  context->input_files = entry;
}

bool names_input_file(const ZEVO_CONTEXT* context, const char* name) {
  const FileIdentity identity = identify_named_file(name);
  for (const INPUT_FILE* f = context->input_files; f; f = f->next) {
    if (is_same_file(f->identity, identity)) return true;
  }
  return false;
}

}  // namespace zevo
