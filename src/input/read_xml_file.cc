#include "input/read_xml_file.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "input/splice_include.h"
#include "model/messages.h"
#include "model/names.h"
#include "model/record_store.h"
#include "xml/xml_document.h"

namespace zevo {
namespace {

constexpr char kCalcConditionOom[] = " *** ERROR: out of memory while reading xml file (cc)\n";
constexpr char kCalcConnectionOom[] = " *** ERROR: out of memory while reading xml file (cn)\n";
constexpr char kNodeOom[] = " *** ERROR: out of memory while reading xml file (nn)\n";
constexpr char kCableOom[] = " *** ERROR: out of memory while reading xml file (cc2)\n";
constexpr char kBusTransferOom[] = " *** ERROR: out of memory while reading xml file (bt)\n";

// Counts one more record of a context list. The network numbers each list's records with an
// int and keeps a slot past the last; a document with more records than that would exhaust
// memory long before, and its last record is refused as exhausted memory is.
void count_record(int* count, const char* oom_message) {
  if (*count >= INT_MAX - 1) exit_with_message(Stream::err, "%s", oom_message);
  ++*count;
}

// Exact comparison of a tag name; a missing name matches nothing.
bool is_tag(const char* name, const char* tag) { return same_name(name, tag); }

// Agreement in the first eight characters, as strncmp(name, word, 8) == 0: for "condition",
// "conditio", "conditions" and "conditioned" agree, "conditi" and "cond" do not.
bool agrees_in_first_eight(const char* name, const char* word) {
  return name != nullptr && std::strncmp(name, word, 8) == 0;
}

bool is_condition_tag(const char* name) { return agrees_in_first_eight(name, "condition"); }

bool is_generation_tag(const char* name) { return agrees_in_first_eight(name, "generation"); }

bool is_bus_transfer_tag(const char* name) {
  return is_tag(name, "bt") || agrees_in_first_eight(name, "bus_transfer");
}

// `lc` and its seven synonyms: a load centre at the top level, an end point inside a cable or
// a bus transfer.
bool is_load_centre_tag(const char* name) {
  static const char* const kTags[] = {"lc",  "load",     "pgm",         "pmm",
                                      "pcm", "bus_node", "switchboard", "powerpanel"};
  for (const char* tag : kTags) {
    if (is_tag(name, tag)) return true;
  }
  return false;
}

// Base-10 strtol result narrowed to int; a null text converts as an empty one (0).
int convert_integer_text(const char* text) {
  return static_cast<int>(std::strtol(text ? text : "", nullptr, 10));
}

// strtod result (leading blanks, "1.5e3 kW", "nan", "inf" as in C); a null text gives 0.0.
double convert_real_text(const char* text) { return std::strtod(text ? text : "", nullptr); }

// True when `text` is missing, empty (0), or exactly one finite number as strtod reads it.
// The reader has trimmed the blanks around every text, so a blank figure arrives empty.
bool is_plain_figure(const char* text) {
  if (!text) return true;
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  return *end == '\0' && std::isfinite(value);
}

void warn_figure_not_plain(const char* figure, const char* text, double value,
                           const char* condition, const char* owner_kind, const char* owner) {
  if (is_plain_figure(text)) return;
  print_message(Stream::err, " *** WARNING: %s (%s) of condition (%s) of %s (%s) read as %g\n",
                figure, text, shown_text(condition), owner_kind, shown_text(owner), value);
}

void warn_conditions_not_plain(const CONDITION* conditions, const char* owner_kind,
                               const char* owner) {
  for (const CONDITION* c = conditions; c; c = c->next) {
    warn_figure_not_plain("generation", c->generation_text, c->generation, c->name, owner_kind,
                          owner);
    warn_figure_not_plain("load", c->load_text, c->load, c->name, owner_kind, owner);
  }
}

// Puts `text` into the first free slot of lc1, lc2 and returns true; returns false (and changes
// nothing) when both are taken. A null text fills no slot, so an end point written in the
// empty-element form leaves its slot to the next one.
bool take_end_point(const char** lc1, const char** lc2, const char* text) {
  if (*lc1 == nullptr) {
    *lc1 = text;
  } else if (*lc2 == nullptr) {
    *lc2 = text;
  } else {
    return false;
  }
  return true;
}

void add_calc_condition(ZEVO_CONTEXT* context, const char* name) {
  auto* condition = alloc_record<CALC_CONDITION>(kCalcConditionOom);
  condition->name = name;
  condition->next = context->calc_conditions;
  context->calc_conditions = condition;
  count_record(&context->nbr_calc_conditions, kCalcConditionOom);
}

void add_calc_connection(ZEVO_CONTEXT* context, const char* name) {
  auto* cable = alloc_record<CALC_CONNECTION>(kCalcConnectionOom);
  cable->name = name;
  cable->next = context->calc_connections;
  context->calc_connections = cable;
  count_record(&context->nbr_calc_connections, kCalcConnectionOom);
  cable->results =
      alloc_record<ZEVO_RESULT>(" *** ERROR: out of memory while reading xml file (cnrs)\n");
}

}  // namespace

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
      condition->generation_text = child->data;
    } else if (is_tag(child->name, "load")) {
      condition->load = convert_real_text(child->data);
      condition->load_text = child->data;
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

void read_load_centre(ZEVO_CONTEXT* context, const XMLENTITY* element) {
  auto* node = alloc_record<NODE>(kNodeOom);
  node->next = context->nodes;
  context->nodes = node;
  count_record(&context->nbr_nodes, kNodeOom);

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

void read_cable(ZEVO_CONTEXT* context, const XMLENTITY* element) {
  auto* cable = alloc_record<CONNECTION>(kCableOom);
  cable->next = context->connections;
  context->connections = cable;
  count_record(&context->nbr_connections, kCableOom);

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

void read_bus_transfer(ZEVO_CONTEXT* context, const XMLENTITY* element) {
  auto* transfer = alloc_record<BUS_TRANSFER>(kBusTransferOom);
  transfer->next = context->bustransfers;
  context->bustransfers = transfer;
  count_record(&context->nbr_bustransfers, kBusTransferOom);

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

// Walks the root's children in order, each read whole and mapped before the next is read. An
// `include` brings its file's top-level entities in at its own place: the walk goes through
// them, and through the files they include in turn, before it goes on after the include.
void read_document_body(ZEVO_CONTEXT* context, const WALKED_FILE& main_document) {
  std::vector<SplicedFragment> fragments;  // the fragments being walked, innermost last
  IncludePath path;
  path.enter(main_document.identity);
  for (;;) {
    const WALKED_FILE& walked = fragments.empty() ? main_document : fragments.back().walked;
    XMLENTITY* entity =
        fragments.empty() ? walked.document->read_child() : walked.document->read_top_level();
    if (!entity) {
      if (fragments.empty()) return;
      path.leave(walked.identity);
      fragments.pop_back();
      continue;
    }
    // Only the main document is lower-cased; included files match only in lower case.
    if (fragments.empty()) lowercase_XMLENTITY(entity, 1);
    if (entity->kind != XMLENTITY_ELEMENT) continue;
    if (is_tag(entity->name, "include")) {
      SplicedFragment fragment = splice_include(context, entity, walked, path);
      path.enter(fragment.walked.identity);
      fragments.push_back(std::move(fragment));
    } else {
      read_top_level_element(context, entity);
    }
  }
}

}  // namespace

void warn_figures_not_plain(const ZEVO_CONTEXT* context) {
  for (const NODE* node = context->nodes; node; node = node->next) {
    warn_conditions_not_plain(node->conditions, "load centre", node->name);
  }
  for (const BUS_TRANSFER* bt = context->bustransfers; bt; bt = bt->next) {
    warn_conditions_not_plain(bt->conditions, "bus transfer", bt->name);
  }
}

void read_xml_file(ZEVO_CONTEXT* context) {
  if (!context->xin) {
    exit_with_message(Stream::err,
                      " *** ERROR: NULL pointer for FILE zevo->xin in read_xml_file()\n");
  }
  XmlDocument document(context->xin);
  const WALKED_FILE main_document{&document, shown_text(context->xmlfile),
                                  identify_open_file(context->xin)};
  if (context->xin != stdin) {
    std::fclose(context->xin);
    context->xin = nullptr;
  }
  if (document.code() != XMLERR_NONE || !document.has_entity()) {
    print_message(Stream::err, " *** ERROR: (%d) Error encountered in reading XML file\n",
                  document.code());
    end_reading_at(main_document.name, document.problem_place());
  }

  // The first top-level entity, whatever its kind, is the root.
  bool has_content = false;
  XMLENTITY* root = document.read_root(&has_content);
  lowercase_XMLENTITY(root, 1);
  if (!is_tag(root->name, "zevo")) {
    print_message(Stream::err, " *** ERROR:  (%s) Not a zevo XML file\n", shown_text(root->name));
    XmlPlace place = document.entity_place();
    if (root->kind == XMLENTITY_ELEMENT) place.element = shown_text(root->name);
    end_reading_at(main_document.name, place);
  }
  if (has_content) read_document_body(context, main_document);
}

}  // namespace zevo
