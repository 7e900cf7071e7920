#include "input/read_xml_file.h"

#include <cstdio>

#include "input/convert_text.h"
#include "input/read_elements.h"
#include "input/schema_tags.h"
#include "input/splice_include.h"
#include "model/messages.h"

namespace zevo {
namespace {

// One element of the root (or of a spliced file's top level), other than `include`.
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
    // ignored
  } else if (is_tag(name, "debug")) {
    context->debug = convert_integer_text(element->data);
  } else {
    print_message(Stream::err, " *** WARNING: Unknown tag (%s) ignored\n", shown_text(name));
  }
}

// Walks the root's children. An `include` inserts its file's entities right after itself, so
// following `next` as it stands at each step reaches them next. `current` tracks which file's
// entities the walk is in, for the include-cycle check.
void read_document_body(ZEVO_CONTEXT* context, XMLENTITY* first, INCLUDE_SPLICE* main_document) {
  INCLUDE_SPLICE* current = main_document;
  for (XMLENTITY* entity = first; entity;) {
    if (entity->kind == XMLENTITY_ELEMENT) {
      if (is_tag(entity->name, "include")) {
        current = splice_include(context, entity, current);
      } else {
        read_top_level_element(context, entity);
      }
    }
    entity = entity->next;
    // Several spliced files end at the same place when an include was the last entity.
    while (current != main_document && entity == current->resume) current = current->parent;
  }
}

}  // namespace

void read_xml_file(ZEVO_CONTEXT* context) {
  if (!context->xin) {
    exit_with_message(Stream::err,
                      " *** ERROR: NULL pointer for FILE zevo->xin in read_xml_file()\n");
  }
  INCLUDE_SPLICE main_document{};
  identify_spliced_file(&main_document, context->xin);

  int errflag = 0;
  XMLENTITY* root = readfile_XMLENTITY(context->xin, &errflag);
  if (context->xin != stdin) {
    std::fclose(context->xin);
    context->xin = nullptr;
  }
  if (errflag != 0 || !root) {
    exit_with_message(Stream::err, " *** ERROR: (%d) Error encountered in reading XML file\n",
                      errflag);
  }

  // Only the main document is lower-cased; included files match only in lower case.
  lowercase_XMLENTITY(root, 1);
  if (!is_tag(root->name, "zevo")) {
    exit_with_message(Stream::err, " *** ERROR:  (%s) Not a zevo XML file\n",
                      shown_text(root->name));
  }
  read_document_body(context, root->children, &main_document);
}

}  // namespace zevo
