// Elements, their text and their children.
#include <string>

#include "xml/xml_entity.h"
#include "xml_reading.h"

namespace zevo {
namespace {

using testing::chain;
using testing::data_of;
using testing::read_xml_text;
using ElementsAndText = testing::XmlReaderTest;

TEST_F(ElementsAndText, EmptyStreamOrStrayTextGivesNothing) {
  for (const char* text : {"", "   \n\t", "just text, no markup > at all", "\xEF\xBB\xBF"}) {
    const auto read = read_xml_text(text);
    EXPECT_EQ(read.first, nullptr) << text;
    EXPECT_EQ(read.code, XMLERR_NONE) << text;
  }
}

TEST_F(ElementsAndText, DeclarationBeforeRootIsAProcessingInstruction) {
  const auto read = read_xml_text("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<zevo>x</zevo>\n");
  ASSERT_EQ(read.code, XMLERR_NONE);
  const auto top = chain(read.first);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(top[0]->kind, XMLENTITY_PI);
  EXPECT_STREQ(top[0]->name, "PROCESSING INSTRUCTION");
  EXPECT_STREQ(top[0]->data, "xml version=\"1.0\"");
  EXPECT_EQ(top[1]->kind, XMLENTITY_ELEMENT);
  EXPECT_STREQ(top[1]->name, "zevo");
  EXPECT_STREQ(top[1]->data, "x");
}

TEST_F(ElementsAndText, EmptyElementHasNoDataButClosedElementHasEmptyData) {
  const auto read = read_xml_text("<a/><b></b><c>   </c><d />");
  ASSERT_EQ(read.code, XMLERR_NONE);
  const auto top = chain(read.first);
  ASSERT_EQ(top.size(), 4u);
  EXPECT_STREQ(top[0]->name, "a");
  EXPECT_EQ(top[0]->data, nullptr);
  EXPECT_STREQ(top[1]->data, "");
  EXPECT_STREQ(top[2]->data, "");
  EXPECT_STREQ(top[3]->name, "d");
  EXPECT_EQ(top[3]->data, nullptr);
  for (XMLENTITY* e : top) {
    EXPECT_EQ(e->kind, XMLENTITY_ELEMENT);
    EXPECT_EQ(e->children, nullptr);
    EXPECT_EQ(e->attributes, nullptr);
    EXPECT_EQ(e->errflag, XMLERR_NONE);
  }
}

TEST_F(ElementsAndText, OnlyTheEndsOfTheTextAreTrimmed) {
  const auto read = read_xml_text("<a>  x\n  y  </a><b>\v\f\r\n\t x \t</b><c>\xA0z\xA0</c>");
  const auto top = chain(read.first);
  ASSERT_EQ(top.size(), 3u);
  EXPECT_STREQ(top[0]->data, "x\n  y");
  EXPECT_STREQ(top[1]->data, "x");
  EXPECT_STREQ(top[2]->data, "\xA0z\xA0");  // only the six ASCII white-space bytes count
}

TEST_F(ElementsAndText, TextJoinsTheContentAroundChildren) {
  const auto read = read_xml_text("<a> x <b/> y </a>");
  ASSERT_EQ(read.code, XMLERR_NONE);
  EXPECT_STREQ(read.first->data, "x  y");
  ASSERT_NE(read.first->children, nullptr);
  EXPECT_STREQ(read.first->children->name, "b");
}

TEST_F(ElementsAndText, ChildrenKeepDocumentOrderAndNesting) {
  const auto read = read_xml_text(
      "<zevo><lc><name>SB1</name><!-- main --></lc><cable>C1</cable><lc>SB2</lc></zevo>");
  ASSERT_EQ(read.code, XMLERR_NONE);
  XMLENTITY* root = read.first;
  EXPECT_EQ(root->next, nullptr);
  const auto kids = chain(root->children);
  ASSERT_EQ(kids.size(), 3u);
  EXPECT_STREQ(kids[0]->name, "lc");
  EXPECT_STREQ(kids[1]->name, "cable");
  EXPECT_STREQ(kids[1]->data, "C1");
  EXPECT_STREQ(kids[2]->data, "SB2");
  const auto grandkids = chain(kids[0]->children);
  ASSERT_EQ(grandkids.size(), 2u);
  EXPECT_STREQ(grandkids[0]->name, "name");
  EXPECT_STREQ(grandkids[0]->data, "SB1");
  EXPECT_EQ(grandkids[1]->kind, XMLENTITY_COMMENT);
  EXPECT_STREQ(grandkids[1]->data, " main ");
  for (XMLENTITY* e : kids) EXPECT_EQ(e->errflag, 0);  // only top-level entities carry codes
}

TEST_F(ElementsAndText, TextOutsideTopLevelMarkupIsDropped) {
  const auto read = read_xml_text("junk<a>1</a> more > junk <b>2</b>tail");
  const auto top = chain(read.first);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_STREQ(top[0]->data, "1");
  EXPECT_STREQ(top[1]->data, "2");
}

TEST_F(ElementsAndText, NoReferencesNamespacesOrCaseChanges) {
  const auto read = read_xml_text("<ns:LC>&amp; &lt;x&gt;</ns:LC>");
  ASSERT_EQ(read.code, XMLERR_NONE);
  EXPECT_STREQ(read.first->name, "ns:LC");
  EXPECT_STREQ(read.first->data, "&amp; &lt;x&gt;");
}

TEST_F(ElementsAndText, ByteFFIsAnOrdinaryCharacter) {
  // A reader that keeps getc's result in a char would take 0xFF for the end of input.
  const auto read = read_xml_text(
      "<\xFF>a\xFF"
      "b</\xFF><z/>");
  ASSERT_EQ(read.code, XMLERR_NONE);
  const auto top = chain(read.first);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_STREQ(top[0]->name, "\xFF");
  EXPECT_STREQ(top[0]->data,
               "a\xFF"
               "b");
  EXPECT_STREQ(top[1]->name, "z");
}

TEST_F(ElementsAndText, GreaterThanInTextIsText) {
  const auto read = read_xml_text("<a>1 > 0</a>");
  EXPECT_STREQ(read.first->data, "1 > 0");
}

}  // namespace
}  // namespace zevo
