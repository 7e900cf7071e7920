#include "input/splice_include.h"

#include <cstdio>

#include "model/messages.h"
#include "model/record_store.h"

namespace zevo {
namespace {

// A file already on the path would splice itself in again and again until memory ran out.
bool is_on_splice_path(const FileIdentity& file, const INCLUDE_SPLICE* path) {
  for (; path; path = path->parent) {
    if (is_same_file(file, path->file)) return true;
  }
  return false;
}

}  // namespace

INCLUDE_SPLICE* splice_include(ZEVO_CONTEXT* context, XMLENTITY* include, INCLUDE_SPLICE* current) {
  const char* name = include->data;
  if (!name) exit_with_message(Stream::err, " *** ERROR: Unable to open INCLUDE file ()\n");
  if (context->nbr_splices >= kMaxSplices) {
    exit_with_message(Stream::err, " *** ERROR: too many INCLUDE files (%s)\n", name);
  }
  FILE* file = open_input_file(name);
  if (!file) exit_with_message(Stream::err, " *** ERROR: Unable to open INCLUDE file (%s)\n", name);
  ++context->nbr_splices;
  record_input_file(context, name, file);

  auto* splice =
      alloc_record<INCLUDE_SPLICE>(" *** ERROR: out of memory while reading xml file (in)\n");
  splice->file = identify_open_file(file);
  if (is_on_splice_path(splice->file, current)) {
    std::fclose(file);
    exit_with_message(Stream::err, " *** ERROR: INCLUDE file (%s) includes itself\n", name);
  }

  int errflag = 0;
  XMLENTITY* chain = readfile_XMLENTITY(file, &errflag);
  std::fclose(file);
  if (errflag != 0 || !chain) {
    exit_with_message(Stream::err, " *** ERROR: (%d) Error encountered in reading XML file\n",
                      errflag);
  }

  XMLENTITY* last = chain;
  while (last->next) last = last->next;
  splice->resume = include->next;
  splice->parent = current;
  last->next = include->next;
  include->next = chain;
  return splice;
}

}  // namespace zevo
