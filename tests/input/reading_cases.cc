#include "input/reading_cases.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "input/read_xml_file.h"
#include "model/messages.h"
#include "model/record_store.h"
#include "support/captured_messages.h"

namespace zevo::testing {
namespace {

std::string text_of(const char* text) {
  if (!text) return "<null>";
  return *text ? std::string(text) : "<empty>";
}

std::string conditions_of(const CONDITION* condition) {
  std::string text;
  char values[64];
  for (; condition; condition = condition->next) {
    std::snprintf(values, sizeof values, " %g %g)", condition->generation, condition->load);
    text += " (" + text_of(condition->name) + values;
  }
  return text;
}

template <typename Record>
std::string ends_of(const Record& r) {
  return text_of(r.name) + " " + text_of(r.lc1) + " " + text_of(r.lc2);
}

std::string line_of(const NODE& lc) {
  return "lc " + text_of(lc.name) + conditions_of(lc.conditions);
}
// The reader links no cable to its lcs yet, and gives every requested cable a zeroed result.
std::string line_of(const CONNECTION& cable) {
  return "cable " + ends_of(cable) + (cable.n1 || cable.n2 ? " linked" : "");
}
std::string line_of(const BUS_TRANSFER& bt) {
  return "bt " + ends_of(bt) + conditions_of(bt.conditions);
}
std::string line_of(const CALC_CONDITION& c) { return "want condition " + text_of(c.name); }
std::string line_of(const CALC_CONNECTION& c) {
  const ZEVO_RESULT* r = c.results;
  const bool fresh = r && r->val == 0.0 && r->nbr_conditions == 0 && !r->condition && !r->c_val &&
                     !r->nw && !c.c && !c.cut_connections;
  return "want cable " + text_of(c.name) + (fresh ? "" : " without a zeroed result");
}

// One line per record in list order; checks that `count` is the length of the list.
template <typename Record>
std::string lines_of(const Record* record, int count) {
  std::string text;
  int length = 0;
  for (; record; record = record->next, ++length) text += line_of(*record) + "\n";
  EXPECT_EQ(count, length);
  return text;
}

// The input model, one line per record: "lc A (n 5 2)" (an lc with one condition named n,
// generation 5, load 2), "cable K A B", "bt T A B (n 0 0)", "want condition n", "want cable K",
// then "outfile f" and "debug 1" when set. A missing text shows as <null>, an empty one as
// <empty>; a cable already linked, or a requested cable without its zeroed result, is marked.
std::string describe_model(const ZEVO_CONTEXT& c) {
  return lines_of(c.nodes, c.nbr_nodes) + lines_of(c.connections, c.nbr_connections) +
         lines_of(c.bustransfers, c.nbr_bustransfers) +
         lines_of(c.calc_conditions, c.nbr_calc_conditions) +
         lines_of(c.calc_connections, c.nbr_calc_connections) +
         (c.outfile ? "outfile " + text_of(c.outfile) + "\n" : "") +
         (c.debug ? "debug " + std::to_string(c.debug) + "\n" : "");
}

}  // namespace

ZEVO_CONTEXT read_document(const std::string& document) {
  ZEVO_CONTEXT context;
  zevo_init(&context);
  context.xmlfile = "memory.xml";
  context.xin = open_text_stream(document);
  read_xml_file(&context);
  return context;
}

// Reads the case's document, in a fresh working directory holding its files when it has any.
void expect_reading(const ReadingCase& reading) {
  SCOPED_TRACE(reading.name);
  std::optional<InTempDir> in_temp_dir;
  if (!reading.files.empty()) in_temp_dir.emplace();
  for (const auto& [name, text] : reading.files) {
    const std::filesystem::path path(name);
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    write_file(path, text);
  }
  {
    CapturedMessages messages;
    if (!reading.model) {
      EXPECT_THROW(read_document(reading.document), RunEnded);
    } else {
      try {
        EXPECT_EQ(describe_model(read_document(reading.document)), reading.model);
      } catch (const RunEnded&) {
        ADD_FAILURE() << "the run ended";
      }
    }
    EXPECT_EQ(messages.err(), reading.err);
    EXPECT_EQ(messages.out(), "");
  }
  release_all_records();
}

std::string lc(const std::string& name) { return "<lc><name>" + name + "</name></lc>"; }

}  // namespace zevo::testing
