// Input records made by hand, the way the document reader makes them: every add_* puts the new
// record at the head of its list in the run context and raises the list's count, so the lists
// end up in the reverse of the order of the calls. Names are copied into the record store
// (null stays null), so callers may pass temporaries.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "model/run_context.h"

namespace zevo::testing {

// A name for the add_* functions: a text, or null (`Name()` or `nullptr`).
class Name {
 public:
  Name() = default;
  Name(std::nullptr_t) {}
  Name(const char* text) : given_(text != nullptr), text_(text ? text : "") {}
  Name(std::string text) : given_(true), text_(std::move(text)) {}
  // A copy of the text in the record store, or null.
  const char* stored() const;

 private:
  bool given_ = false;
  std::string text_;
};

NODE* add_node(ZEVO_CONTEXT* context, Name name);
CONNECTION* add_connection(ZEVO_CONTEXT* context, Name name, Name lc1, Name lc2);
BUS_TRANSFER* add_bus_transfer(ZEVO_CONTEXT* context, Name name, Name lc1, Name lc2);
CALC_CONDITION* add_calc_condition(ZEVO_CONTEXT* context, Name name);
// Comes with its zero-filled result record, as the reader gives it.
CALC_CONNECTION* add_calc_connection(ZEVO_CONTEXT* context, Name name);

// Conditions of a node or a bus transfer, put at the head of its list as well.
CONDITION* add_condition(NODE* node, Name name, double generation, double load);
CONDITION* add_condition(BUS_TRANSFER* bt, Name name, double generation, double load);

// Resolves the names and builds the base network: calc_connection, then create_base_network.
void build_network(ZEVO_CONTEXT* context);

// The record of the list whose name is `name` (first match in list order), or null.
NODE* find_node(const ZEVO_CONTEXT* context, const char* name);
CONNECTION* find_connection(const ZEVO_CONTEXT* context, const char* name);

// The slot of `nw` that holds the given record, or -1.
int slot_of(const NETWORK* nw, const CONNECTION* c);
int slot_of(const NETWORK* nw, const NODE* n);

}  // namespace zevo::testing
