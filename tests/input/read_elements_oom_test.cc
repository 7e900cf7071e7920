// Exhausted memory while the element readers build their records: each site names itself.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "input/read_elements.h"
#include "model/messages.h"
#include "model/record_store.h"
#include "support/captured_messages.h"
#include "xml/xml_entity.h"

namespace zevo {
namespace {

using testing::CapturedMessages;

class ElementReaderOutOfMemory : public ::testing::Test {
 protected:
  void SetUp() override { zevo_init(&context_); }
  void TearDown() override {
    fail_allocation_after(0);
    release_all_records();
  }

  // The element tree of `text`, read before any allocation is made to fail.
  static XMLENTITY* element_of(const std::string& text) {
    FILE* stream = testing::open_text_stream(text);
    int errflag = 0;
    XMLENTITY* element = readfile_XMLENTITY(stream, &errflag);
    std::fclose(stream);
    EXPECT_EQ(errflag, 0);
    return element;
  }

  // Runs `read` with the n-th allocation failing; returns the error stream's text.
  template <typename Read>
  std::string message_when_allocation_fails(long n, Read read) {
    CapturedMessages messages;
    fail_allocation_after(n);
    EXPECT_THROW(read(), RunEnded);
    fail_allocation_after(0);
    return messages.err();
  }

  ZEVO_CONTEXT context_;
};

TEST_F(ElementReaderOutOfMemory, RequestedConditionAndCable) {
  XMLENTITY* condition = element_of("<output><condition>n</condition></output>");
  EXPECT_EQ(message_when_allocation_fails(1, [&] { read_output(&context_, condition); }),
            " *** ERROR: out of memory while reading xml file (cc)\n");
  XMLENTITY* cable = element_of("<output><cable>X</cable></output>");
  EXPECT_EQ(message_when_allocation_fails(1, [&] { read_output(&context_, cable); }),
            " *** ERROR: out of memory while reading xml file (cn)\n");
  EXPECT_EQ(message_when_allocation_fails(2, [&] { read_output(&context_, cable); }),
            " *** ERROR: out of memory while reading xml file (cnrs)\n");
}

TEST_F(ElementReaderOutOfMemory, LoadCentreAndItsCondition) {
  XMLENTITY* node = element_of("<lc><condition><name>n</name></condition></lc>");
  EXPECT_EQ(message_when_allocation_fails(1, [&] { read_load_centre(&context_, node); }),
            " *** ERROR: out of memory while reading xml file (nn)\n");
  EXPECT_EQ(message_when_allocation_fails(2, [&] { read_load_centre(&context_, node); }),
            " *** ERROR: out of memory while reading xml file (cc1)\n");
}

TEST_F(ElementReaderOutOfMemory, CableBusTransferAndItsCondition) {
  XMLENTITY* cable = element_of("<cable><lc>A</lc></cable>");
  EXPECT_EQ(message_when_allocation_fails(1, [&] { read_cable(&context_, cable); }),
            " *** ERROR: out of memory while reading xml file (cc2)\n");
  XMLENTITY* bt = element_of("<bt><condition/></bt>");
  EXPECT_EQ(message_when_allocation_fails(1, [&] { read_bus_transfer(&context_, bt); }),
            " *** ERROR: out of memory while reading xml file (bt)\n");
  EXPECT_EQ(message_when_allocation_fails(2, [&] { read_bus_transfer(&context_, bt); }),
            " *** ERROR: out of memory while reading xml file (cc1)\n");
}

}  // namespace
}  // namespace zevo
