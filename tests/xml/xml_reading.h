// Helpers for the XML reader's tests: reading documents held in memory and comparing whole
// trees through a one-line description of them.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "model/record_store.h"
#include "support/captured_messages.h"
#include "xml/xml_reader.h"

namespace zevo::testing {

struct XmlRead {
  XMLENTITY* first;  // first top-level entity (readfile) or the entity (fget)
  int code;
};

// readfile_XMLENTITY over `text`; the code starts at -1 so that a missing reset shows.
inline XmlRead read_xml_text(const std::string& text) {
  FILE* stream = open_text_stream(text);
  int code = -1;
  XMLENTITY* first = readfile_XMLENTITY(stream, &code);
  std::fclose(stream);
  return {first, code};
}

// fget_XMLENTITY over `text`, which holds what follows a '<', with the caller's code at
// `start` (callers use 0; a read that finds no problem must leave any value alone).
inline XmlRead read_xml_entity(const std::string& text, int start = 0) {
  FILE* stream = open_text_stream(text);
  int code = start;
  XMLENTITY* entity = fget_XMLENTITY(stream, &code);
  std::fclose(stream);
  return {entity, code};
}

// A list of entities, blank-separated (attributes: comma-separated), each written as
//   name ^kind {attributes} ="data" !errflag [children]
// where ^kind shows only when it is not `usual_kind` (elements in trees, 0 for attributes),
// ="data" only when there is data and !errflag only when it is not 0. So `a{x="1",z}="t"!2[b]`
// is an element a with attributes x (value 1) and z (no value), text t and code 2, whose only
// child is the empty element b. At most `budget` entities are written, so that a broken link
// cannot loop forever.
inline std::string describe(const XMLENTITY* first, int usual_kind = XMLENTITY_ELEMENT,
                            int* budget = nullptr) {
  int own_budget = 10000;
  if (!budget) budget = &own_budget;
  std::string out;
  for (const XMLENTITY* e = first; e; e = e->next) {
    if (--*budget < 0) return out + "...";
    if (e != first) out += usual_kind == XMLENTITY_ELEMENT ? " " : ",";
    out += e->name ? e->name : "?";
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "text" + std::string.
    if (e->kind != usual_kind) out.append("^").append(std::to_string(e->kind));
    if (e->attributes) {
      out.append("{").append(describe(e->attributes, XMLENTITY_UNKNOWN, budget)).append("}");
    }
    if (e->data) out.append("=\"").append(e->data).append("\"");
    if (e->errflag) out.append("!").append(std::to_string(e->errflag));
    if (e->children) {
      out.append("[").append(describe(e->children, XMLENTITY_ELEMENT, budget)).append("]");
    }
  }
  return out;
}

// One read and what it must give: the code and the description of what came back ("" when
// nothing did).
struct ReadCase {
  const char* name;
  std::string input;
  int code;
  std::string tree;
};

// Reads each case's input as a whole stream.
inline void expect_documents(const std::vector<ReadCase>& cases) {
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const XmlRead read = read_xml_text(c.input);
    EXPECT_EQ(read.code, c.code);
    EXPECT_EQ(describe(read.first), c.tree);
  }
}

// Reads each case's input as what follows a '<', with fget_XMLENTITY. A read without problem
// must leave the caller's code alone, so it is started at 7 when the case expects none.
inline void expect_entities(const std::vector<ReadCase>& cases) {
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const int untouched = 7;
    const XmlRead read = read_xml_entity(c.input, c.code == XMLERR_NONE ? untouched : 0);
    EXPECT_EQ(read.code, c.code == XMLERR_NONE ? untouched : c.code);
    EXPECT_EQ(describe(read.first), c.tree);
  }
}

// Releases the records of each case, so that the big inputs do not pile up.
class XmlReaderTest : public ::testing::Test {
 protected:
  void TearDown() override { release_all_records(); }
};

}  // namespace zevo::testing
