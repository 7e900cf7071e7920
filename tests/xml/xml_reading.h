// Helpers for the XML reader's tests: reading documents held in memory.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "model/record_store.h"
#include "support/captured_messages.h"
#include "xml/xml_entity.h"

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

// fget_XMLENTITY over `text`, which holds what follows a '<'; the caller's code starts at 0.
inline XmlRead read_xml_entity(const std::string& text) {
  FILE* stream = open_text_stream(text);
  int code = 0;
  XMLENTITY* entity = fget_XMLENTITY(stream, &code);
  std::fclose(stream);
  return {entity, code};
}

// The entities of a list linked through `next`, in order.
inline std::vector<XMLENTITY*> chain(XMLENTITY* first) {
  std::vector<XMLENTITY*> entities;
  for (XMLENTITY* e = first; e; e = e->next) entities.push_back(e);
  return entities;
}

// An entity's data as a string; "<null>" when absent, so that absent and empty differ.
inline std::string data_of(const XMLENTITY* entity) {
  return entity->data ? std::string(entity->data) : std::string("<null>");
}

// Releases the records of each case, so that the big inputs do not pile up.
class XmlReaderTest : public ::testing::Test {
 protected:
  void TearDown() override { release_all_records(); }
};

}  // namespace zevo::testing
