#include "input/read_elements.h"
#include "input/schema_tags.h"
#include "model/messages.h"
#include "model/record_store.h"

namespace zevo {
namespace {

void add_calc_condition(ZEVO_CONTEXT* context, const char* name) {
  auto* condition =
      alloc_record<CALC_CONDITION>(" *** ERROR: out of memory while reading xml file (cc)\n");
  condition->name = name;
  condition->next = context->calc_conditions;
  context->calc_conditions = condition;
  ++context->nbr_calc_conditions;
}

void add_calc_connection(ZEVO_CONTEXT* context, const char* name) {
  auto* cable =
      alloc_record<CALC_CONNECTION>(" *** ERROR: out of memory while reading xml file (cn)\n");
  cable->name = name;
  cable->next = context->calc_connections;
  context->calc_connections = cable;
  ++context->nbr_calc_connections;
  cable->results =
      alloc_record<ZEVO_RESULT>(" *** ERROR: out of memory while reading xml file (cnrs)\n");
}

}  // namespace

void read_output(ZEVO_CONTEXT* context, const XMLENTITY* element) {
  for (const XMLENTITY* child = element->children; child; child = child->next) {
    if (is_tag(child->name, "filename")) {
      context->outfile = child->data;  // the empty-element form sets it back to null
    } else if (is_condition_tag(child->name)) {
      add_calc_condition(context, child->data);
    } else if (is_tag(child->name, "cable")) {
      add_calc_connection(context, child->data);
    } else if (is_tag(child->name, "comment")) {
      // ignored
    } else {
      print_message(Stream::err, " *** WARNING: Unknown tag (%s) ignored\n",
                    shown_text(child->name));
    }
  }
}

}  // namespace zevo
