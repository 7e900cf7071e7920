#include "input/end_points.h"
#include "input/read_elements.h"
#include "input/schema_tags.h"
#include "model/messages.h"
#include "model/record_store.h"

namespace zevo {

void read_bus_transfer(ZEVO_CONTEXT* context, const XMLENTITY* element) {
  auto* transfer =
      alloc_record<BUS_TRANSFER>(" *** ERROR: out of memory while reading xml file (bt)\n");
  transfer->next = context->bustransfers;
  context->bustransfers = transfer;
  ++context->nbr_bustransfers;

  for (const XMLENTITY* child = element->children; child; child = child->next) {
    if (is_tag(child->name, "name")) {
      transfer->name = child->data;
    } else if (is_load_centre_tag(child->name)) {
      if (!take_end_point(&transfer->lc1, &transfer->lc2, child->data)) {
        print_message(Stream::err, " *** WARNING: more than 2 lc tags for bus transfer (%s) (%s)\n",
                      shown_text(transfer->name), shown_text(child->data));
      }
    } else if (is_condition_tag(child->name)) {
      read_condition(&transfer->conditions, child, ConditionOwner::bus_transfer);
    } else if (is_tag(child->name, "comment")) {
      // ignored
    } else {
      print_message(Stream::err, " *** WARNING: Unknown tag (%s) ignored (bt)\n",
                    shown_text(child->name));
    }
  }
}

}  // namespace zevo
