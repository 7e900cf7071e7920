// Lower-casing of names, and the string helpers the reader is built on.
#include <string>

#include "model/messages.h"
#include "model/record_store.h"
#include "support/captured_messages.h"
#include "xml/xml_entity.h"
#include "xml_reading.h"

namespace zevo {
namespace {

using testing::chain;
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
  EXPECT_STREQ(read.first->name, "zevo");
  EXPECT_STREQ(read.first->children->name, "LC");
  EXPECT_STREQ(read.first->next->name, "NEXT");
}

TEST_F(LowerCasing, RecursionReachesEveryDescendantButNotSiblingsAttributesOrData) {
  const auto read = read_xml_text(
      "<ZEVO ID=\"ABC\">TEXT<LC><NAME>SB1</NAME><!-- Note --><?PI X?><![CDATA[Q]]></LC>"
      "<CABLE><N1 At=\"X\">SB2</N1></CABLE><CABLE/></ZEVO><SIBLING><KID/></SIBLING>");
  XMLENTITY* root = read.first;
  lowercase_XMLENTITY(root, 1);
  EXPECT_STREQ(root->name, "zevo");
  EXPECT_STREQ(root->data, "TEXT");
  EXPECT_STREQ(root->attributes->name, "ID");
  EXPECT_STREQ(root->attributes->data, "ABC");
  const auto kids = chain(root->children);
  ASSERT_EQ(kids.size(), 3u);
  EXPECT_STREQ(kids[0]->name, "lc");
  EXPECT_STREQ(kids[1]->name, "cable");
  EXPECT_STREQ(kids[2]->name, "cable");
  const auto lc = chain(kids[0]->children);
  ASSERT_EQ(lc.size(), 4u);
  EXPECT_STREQ(lc[0]->name, "name");
  EXPECT_STREQ(lc[0]->data, "SB1");
  EXPECT_STREQ(lc[1]->name, "comment");
  EXPECT_STREQ(lc[1]->data, " Note ");
  EXPECT_STREQ(lc[2]->name, "processing instruction");
  EXPECT_STREQ(lc[2]->data, "PI X");
  EXPECT_STREQ(lc[3]->name, "cdata");
  XMLENTITY* n1 = kids[1]->children;
  EXPECT_STREQ(n1->name, "n1");
  EXPECT_STREQ(n1->attributes->name, "At");
  EXPECT_EQ(n1->next, nullptr);
  // The walk threads the tree while it works: every link must be as it was.
  EXPECT_EQ(lc[3]->next, nullptr);
  EXPECT_EQ(kids[2]->next, nullptr);
  EXPECT_EQ(kids[2]->children, nullptr);
  EXPECT_STREQ(root->next->name, "SIBLING");
  EXPECT_STREQ(root->next->children->name, "KID");
}

TEST_F(LowerCasing, AbsentEntityIsIgnored) {
  lowercase_XMLENTITY(nullptr, 1);
  lowercase_XMLENTITY(nullptr, 0);
}

TEST_F(StringHelpers, TrimRemovesTheSixWhiteSpaceBytesAtBothEnds) {
  char both[] = " \t\n\v\f\ra b\r\f\v\n\t ";
  xmltrimstring(both);
  EXPECT_STREQ(both, "a b");
  char blank[] = " \n ";
  xmltrimstring(blank);
  EXPECT_STREQ(blank, "");
  char empty[] = "";
  xmltrimstring(empty);
  EXPECT_STREQ(empty, "");
  char other[] = "\xA0x\x85";
  xmltrimstring(other);
  EXPECT_STREQ(other, "\xA0x\x85");
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
  XMLENTITY* e = alloc_XMLENTITY();
  EXPECT_EQ(e->name, nullptr);
  EXPECT_EQ(e->data, nullptr);
  EXPECT_EQ(e->kind, 0);
  EXPECT_EQ(e->children, nullptr);
  EXPECT_EQ(e->attributes, nullptr);
  EXPECT_EQ(e->next, nullptr);
  EXPECT_EQ(e->errflag, 0);
}

TEST_F(StringHelpers, ExhaustedMemoryNamesTheAllocatingFunction) {
  {
    testing::CapturedMessages messages;
    fail_allocation_after(1);
    EXPECT_THROW(alloc_XMLENTITY(), RunEnded);
    EXPECT_EQ(messages.err(), " *** ERROR: Out of memory in alloc_XMLENTITY()\n");
  }
  {
    testing::CapturedMessages messages;
    fail_allocation_after(1);
    EXPECT_THROW(xmlcopystring("x"), RunEnded);
    EXPECT_EQ(messages.err(), " *** ERROR: Out of Memory in xmlcopystring()\n");
  }
  fail_allocation_after(0);
}

}  // namespace
}  // namespace zevo
