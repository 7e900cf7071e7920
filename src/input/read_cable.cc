#include "input/end_points.h"
#include "input/read_elements.h"
#include "input/schema_tags.h"
#include "model/messages.h"
#include "model/record_store.h"

namespace zevo {

void read_cable(ZEVO_CONTEXT* context, const XMLENTITY* element) {
  auto* cable =
      alloc_record<CONNECTION>(" *** ERROR: out of memory while reading xml file (cc2)\n");
  cable->next = context->connections;
  context->connections = cable;
  ++context->nbr_connections;

  for (const XMLENTITY* child = element->children; child; child = child->next) {
    if (is_tag(child->name, "name")) {
      cable->name = child->data;
    } else if (is_load_centre_tag(child->name)) {
      if (!take_end_point(&cable->lc1, &cable->lc2, child->data)) {
        // The name is the one read so far: a `name` after the end points is not known yet.
        print_message(Stream::err, " *** WARNING: more than 2 lc tags for cable (%s)\n",
                      shown_text(cable->name));
      }
    } else if (is_tag(child->name, "comment")) {
      // ignored
    } else {
      print_message(Stream::err, " *** WARNING: Unknown tag (%s) ignored\n",
                    shown_text(child->name));
    }
  }
}

}  // namespace zevo
