// The string helpers the reader is built on, and the message of each of the reader's two
// allocating functions when memory runs out.
#include "xml/xml_strings.h"

#include <string>

#include "model/messages.h"
#include "model/record_store.h"
#include "support/captured_messages.h"
#include "xml/xml_reader.h"
#include "xml_reading.h"

namespace zevo {
namespace {

using LowerCasing = testing::XmlReaderTest;
using StringHelpers = testing::XmlReaderTest;

TEST_F(LowerCasing, XmlLowerStringChangesOnlyAsciiCapitals) {
  char text[] = "AbZ@[`{-09\xC4\xFF";
  xmllowerstring(text);
  EXPECT_STREQ(text, "abz@[`{-09\xC4\xFF");
  xmllowerstring(nullptr);  // absent string: nothing to do, no crash
}

TEST_F(StringHelpers, TrimRemovesTheSixWhiteSpaceBytesAtBothEnds) {
  struct Case {
    std::string text;
    const char* trimmed;
  };
  for (Case c : {Case{" \t\n\v\f\ra b\r\f\v\n\t ", "a b"}, Case{" \n ", ""}, Case{"", ""},
                 Case{"\xA0x\x85", "\xA0x\x85"}}) {
    xmltrimstring(c.text.data());
    EXPECT_STREQ(c.text.c_str(), c.trimmed);
  }
  xmltrimstring(nullptr);
}

TEST_F(StringHelpers, CopyIsAPrivateStringOfTheSameText) {
  const char original[] = "SB 1";
  char* copy = xmlcopystring(original);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, original);
  EXPECT_STREQ(copy, "SB 1");
  EXPECT_EQ(xmlcopystring(nullptr), nullptr);
  EXPECT_STREQ(xmlcopystring(""), "");
}

TEST_F(StringHelpers, ExhaustedMemoryNamesTheAllocatingFunction) {
  struct Case {
    void (*allocate)();
    const char* message;
  };
  for (const Case& c :
       {Case{[] { alloc_XMLENTITY(); }, " *** ERROR: Out of memory in alloc_XMLENTITY()\n"},
        Case{[] { xmlcopystring("x"); }, " *** ERROR: Out of Memory in xmlcopystring()\n"}}) {
    testing::CapturedMessages messages;
    fail_allocation_after(1);
    EXPECT_THROW(c.allocate(), RunEnded);
    EXPECT_EQ(messages.err(), c.message);
    fail_allocation_after(0);
  }
}

}  // namespace
}  // namespace zevo
