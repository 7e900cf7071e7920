// Readers of the document's elements, one per kind of record. Each takes the element after
// its tag name has been recognised, builds its record at the head of the context's list (or of
// the owner's conditions), counts it, and stores the texts of the element's children.
// Unrecognised children draw their warning and are otherwise ignored.
#pragma once

#include "model/run_context.h"
#include "xml/xml_entity.h"

namespace zevo {

// Which warning an unknown child of a condition draws.
enum class ConditionOwner { load_centre, bus_transfer };

// A CONDITION at the head of *conditions, from the children name, generation and load.
void read_condition(CONDITION** conditions, const XMLENTITY* element, ConditionOwner owner);

// A NODE at the head of context->nodes, named by `name` or `id`, with its conditions.
void read_load_centre(ZEVO_CONTEXT* context, const XMLENTITY* element);

// A CONNECTION at the head of context->connections, with its name and two end points.
void read_cable(ZEVO_CONTEXT* context, const XMLENTITY* element);

// A BUS_TRANSFER at the head of context->bustransfers: name, two end points, conditions.
void read_bus_transfer(ZEVO_CONTEXT* context, const XMLENTITY* element);

// The requested conditions and cables (each cable with a zeroed result) and `outfile`.
void read_output(ZEVO_CONTEXT* context, const XMLENTITY* element);

}  // namespace zevo
