#include "input/convert_text.h"
#include "input/read_elements.h"
#include "input/schema_tags.h"
#include "model/messages.h"
#include "model/record_store.h"

namespace zevo {

void read_condition(CONDITION** conditions, const XMLENTITY* element, ConditionOwner owner) {
  auto* condition =
      alloc_record<CONDITION>(" *** ERROR: out of memory while reading xml file (cc1)\n");
  condition->next = *conditions;
  *conditions = condition;

  for (const XMLENTITY* child = element->children; child; child = child->next) {
    if (is_tag(child->name, "name")) {
      condition->name = child->data;
    } else if (is_generation_tag(child->name)) {
      condition->generation = convert_real_text(child->data);
    } else if (is_tag(child->name, "load")) {
      condition->load = convert_real_text(child->data);
    } else if (is_tag(child->name, "comment")) {
      // ignored
    } else if (owner == ConditionOwner::bus_transfer) {
      print_message(Stream::err, " *** WARNING: Unknown tag (%s) ignored (c)\n",
                    shown_text(child->name));
    } else {
      print_message(Stream::err, " *** WARNING: Unknown tag (%s) ignored\n",
                    shown_text(child->name));
    }
  }
}

}  // namespace zevo
