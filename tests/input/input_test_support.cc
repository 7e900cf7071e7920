#include "input_test_support.h"

#include "input/read_xml_file.h"
#include "support/captured_messages.h"

namespace zevo::testing {

ZEVO_CONTEXT read_document(const std::string& document) {
  ZEVO_CONTEXT context;
  zevo_init(&context);
  context.xmlfile = "memory.xml";
  context.xin = open_text_stream(document);
  read_xml_file(&context);
  return context;
}

std::string text_of(const char* text) { return text ? std::string(text) : "<null>"; }

}  // namespace zevo::testing
