#include "input/reference/literal_read_xml_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "input/read_xml_file.h"
#include "input/splice_include.h"
#include "model/messages.h"
#include "model/names.h"
#include "model/record_store.h"
#include "xml/reference/literal_xml_reader.h"

namespace zevo {
namespace {

struct LITERAL_SPLICE {
  FileIdentity file;
  XMLENTITY* resume;
  LITERAL_SPLICE* parent;
};

bool is_tag(const char* name, const char* tag) { return same_name(name, tag); }

bool is_load_centre_tag(const char* name) {
  static const char* const kTags[] = {"lc",  "load",     "pgm",         "pmm",
                                      "pcm", "bus_node", "switchboard", "powerpanel"};
  for (const char* tag : kTags) {
    if (is_tag(name, tag)) return true;
  }
  return false;
}

bool is_bus_transfer_tag(const char* name) {
  return is_tag(name, "bt") || (name != nullptr && std::strncmp(name, "bus_transfer", 8) == 0);
}

// A walk of the whole path per include: quadratic in the depth of a chain of fragments.
bool is_on_splice_path(const FileIdentity& file, const LITERAL_SPLICE* path) {
  for (; path; path = path->parent) {
    if (is_same_file(file, path->file)) return true;
  }
  return false;
}

LITERAL_SPLICE* splice(ZEVO_CONTEXT* context, XMLENTITY* include, LITERAL_SPLICE* current) {
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
      alloc_record<LITERAL_SPLICE>(" *** ERROR: out of memory while reading xml file (in)\n");
  splice->file = identify_open_file(file);
  if (is_on_splice_path(splice->file, current)) {
    std::fclose(file);
    exit_with_message(Stream::err, " *** ERROR: INCLUDE file (%s) includes itself\n", name);
  }
  int errflag = 0;
  XMLENTITY* chain = literal_readfile_XMLENTITY(file, &errflag);
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

void read_top_level_element(ZEVO_CONTEXT* context, const XMLENTITY* element) {
  const char* name = element->name;
  if (is_tag(name, "output")) {
    read_output(context, element);
  } else if (is_load_centre_tag(name)) {
    read_load_centre(context, element);
  } else if (is_tag(name, "cable")) {
    read_cable(context, element);
  } else if (is_bus_transfer_tag(name)) {
    read_bus_transfer(context, element);
  } else if (is_tag(name, "comment")) {
  } else if (is_tag(name, "debug")) {
    context->debug = static_cast<int>(std::strtol(element->data ? element->data : "", nullptr, 10));
  } else {
    print_message(Stream::err, " *** WARNING: Unknown tag (%s) ignored\n", shown_text(name));
  }
}

}  // namespace

void literal_read_xml_file(ZEVO_CONTEXT* context) {
  if (!context->xin) {
    exit_with_message(Stream::err,
                      " *** ERROR: NULL pointer for FILE zevo->xin in read_xml_file()\n");
  }
  LITERAL_SPLICE main_document{};
  main_document.file = identify_open_file(context->xin);
  int errflag = 0;
  XMLENTITY* root = literal_readfile_XMLENTITY(context->xin, &errflag);
  if (context->xin != stdin) {
    std::fclose(context->xin);
    context->xin = nullptr;
  }
  if (errflag != 0 || !root) {
    exit_with_message(Stream::err, " *** ERROR: (%d) Error encountered in reading XML file\n",
                      errflag);
  }
  lowercase_XMLENTITY(root, 1);
  if (!is_tag(root->name, "zevo")) {
    exit_with_message(Stream::err, " *** ERROR:  (%s) Not a zevo XML file\n",
                      shown_text(root->name));
  }
  LITERAL_SPLICE* current = &main_document;
  for (XMLENTITY* entity = root->children; entity;) {
    if (entity->kind == XMLENTITY_ELEMENT) {
      if (is_tag(entity->name, "include")) {
        current = splice(context, entity, current);
      } else {
        read_top_level_element(context, entity);
      }
    }
    entity = entity->next;
    while (current != &main_document && entity == current->resume) current = current->parent;
  }
}

}  // namespace zevo
