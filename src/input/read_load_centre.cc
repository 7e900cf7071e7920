#include "input/read_elements.h"
#include "input/schema_tags.h"
#include "model/messages.h"
#include "model/record_store.h"

namespace zevo {

void read_load_centre(ZEVO_CONTEXT* context, const XMLENTITY* element) {
  auto* node = alloc_record<NODE>(" *** ERROR: out of memory while reading xml file (nn)\n");
  node->next = context->nodes;
  context->nodes = node;
  ++context->nbr_nodes;

  // Unlike cables and conditions, a load centre has no silent `comment`: a comment inside it
  // is warned like any unknown tag.
  for (const XMLENTITY* child = element->children; child; child = child->next) {
    if (is_tag(child->name, "name") || is_tag(child->name, "id")) {
      node->name = child->data;
    } else if (is_condition_tag(child->name)) {
      read_condition(&node->conditions, child, ConditionOwner::load_centre);
    } else {
      print_message(Stream::err, " *** WARNING: Unknown tag (%s) ignored\n",
                    shown_text(child->name));
    }
  }
}

}  // namespace zevo
