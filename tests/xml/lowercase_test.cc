// Lower-casing of names, and the string helpers the reader is built on.
#include <string>

#include "model/messages.h"
#include "model/record_store.h"
#include "support/captured_messages.h"
#include "xml/xml_entity.h"
#include "xml_reading.h"

namespace zevo {
namespace {

using testing::describe;
using testing::read_xml_text;
using LowerCasing = testing::XmlReaderTest;
using StringHelpers = testing::XmlReaderTest;

TEST_F(LowerCasing, XmlLowerStringChangesOnlyAsciiCapitals) {
  char text[] = "AbZ@[`{-09\xC4\xFF";
  xmllowerstring(text);
  EXPECT_STREQ(text, "abz@[`{-09\xC4\xFF");
  xmllowerstring(nullptr);  // absent string: nothing to do, no crash
}

TEST_F(LowerCasing, WithoutRecursionOnlyTheEntityItself) {
  const auto read = read_xml_text("<ZEVO><LC/></ZEVO><NEXT/>");
  lowercase_XMLENTITY(read.first, 0);
  EXPECT_EQ(describe(read.first), R"(zevo=""[LC] NEXT)");
  lowercase_XMLENTITY(nullptr, 1);  // absent entity: nothing to do, no crash
  lowercase_XMLENTITY(nullptr, 0);
}

// The walk threads the tree while it works, so the description also checks that every link is
// as it was afterwards.
TEST_F(LowerCasing, RecursionReachesEveryDescendantButNotSiblingsAttributesOrData) {
  const auto read = read_xml_text(
      "<ZEVO ID=\"ABC\">TEXT<LC><NAME>SB1</NAME><!-- Note --><?PI X?><![CDATA[Q]]></LC>"
      "<CABLE><N1 At=\"X\">SB2</N1></CABLE><CABLE/></ZEVO><SIBLING><KID/></SIBLING>");
  lowercase_XMLENTITY(read.first, 1);
  EXPECT_EQ(describe(read.first),
            R"(zevo{ID="ABC"}="TEXT"[lc=""[name="SB1" comment^1=" Note " )"
            R"(processing instruction^3="PI X" cdata^2="Q"] cable=""[n1{At="X"}="SB2"] cable] )"
            R"(SIBLING=""[KID])");
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

TEST_F(StringHelpers, NewRecordIsZero) {
  // No name ("?"), kind 0, and no attributes, data, code, children or sibling.
  EXPECT_EQ(describe(alloc_XMLENTITY()), "?^0");
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
