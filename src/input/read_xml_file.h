// The document reader: maps the element tree of the input document onto the input model,
// splicing in includes.
//
// Entry points:
//   read_xml_file(context) reads the document from context->xin, which it closes, into the
//   context's lists, counts, `debug` and `outfile`. The records and the texts they point to live
//   until the run ends.
//   warn_figures_not_plain(context) points out, on the error stream, every generation and load
//   whose text is not one plain number; the driver calls it right after read_xml_file.
//   read_condition, read_load_centre, read_cable, read_bus_transfer and read_output each take
//   one element whose tag name has been recognised, build its record at the head of the
//   context's list (or of the owner's conditions), count it, and store the texts of the
//   element's children. Unrecognised children draw their warning and are otherwise ignored.
// Ends the run: no input stream, a document that cannot be read as XML or whose root is not
// `zevo`, an include that fails (see input/splice_include.h), and exhausted memory (the message
// names the record being allocated).
#pragma once

#include "model/run_context.h"
#include "xml/xml_reader.h"

namespace zevo {

void read_xml_file(ZEVO_CONTEXT* context);

// Warns of each figure whose text (trimmed of blanks, as the reader keeps every text) is
// neither empty nor exactly one finite number as strtod reads it; `3,000` gives " *** WARNING:
// generation (3,000) of condition (normal) of load centre (SB1) read as 3". The lcs come first,
// then the bus transfers, each list and its conditions in list order, generation before load. A
// missing text draws nothing. Changes nothing: the figure keeps the value read.
void warn_figures_not_plain(const ZEVO_CONTEXT* context);

// Which warning an unknown child of a condition draws.
enum class ConditionOwner { load_centre, bus_transfer };

// A CONDITION at the head of *conditions, from the children name, generation and load; each
// figure keeps the text it was converted from.
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
