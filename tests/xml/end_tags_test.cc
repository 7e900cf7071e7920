// End tags: exact names, optional blanks before '>', and what a wrong one leaves behind.
#include "xml/xml_entity.h"
#include "xml_reading.h"

namespace zevo {
namespace {

using testing::chain;
using testing::data_of;
using testing::read_xml_text;
using EndTags = testing::XmlReaderTest;

TEST_F(EndTags, NamesCompareExactly) {
  const auto read = read_xml_text("<A></a>");
  EXPECT_EQ(read.code, XMLERR_SYNTAX);
  EXPECT_EQ(read.first->errflag, XMLERR_SYNTAX);
  EXPECT_STREQ(read.first->data, "");
  EXPECT_EQ(read_xml_text("<Lc>x</LC>").code, XMLERR_SYNTAX);
}

TEST_F(EndTags, BlanksBeforeTheGreaterThanAreAllowed) {
  const auto read = read_xml_text("<a>x</a  ><b>y</b\n\t>");
  EXPECT_EQ(read.code, XMLERR_NONE);
  const auto top = chain(read.first);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_STREQ(top[0]->data, "x");
  EXPECT_STREQ(top[1]->data, "y");
}

TEST_F(EndTags, OnlyTheNameIsCompared) {
  EXPECT_EQ(read_xml_text("<a x=\"1\">t</a>").code, XMLERR_NONE);
}

TEST_F(EndTags, BlankAfterTheSlashIsAMismatchAndTheRestBecomesParentText) {
  const auto read = read_xml_text("<r><a> x </ a>y</r>");
  EXPECT_EQ(read.code, XMLERR_SYNTAX);
  EXPECT_STREQ(read.first->data, "a>y");
  ASSERT_NE(read.first->children, nullptr);
  EXPECT_STREQ(read.first->children->data, " x ");  // a mismatch leaves the text untrimmed
}

TEST_F(EndTags, LongerEndTagClosesTheElementAndLeavesItsGreaterThan) {
  const auto read = read_xml_text("<r><ab></abc></r>");
  EXPECT_EQ(read.code, XMLERR_SYNTAX);
  EXPECT_STREQ(read.first->data, ">");
  ASSERT_NE(read.first->children, nullptr);
  EXPECT_STREQ(read.first->children->data, "");
}

TEST_F(EndTags, OtherCharacterBeforeTheGreaterThanIsConsumed) {
  const auto read = read_xml_text("<r><a> x </a y>z</r>");
  EXPECT_EQ(read.code, XMLERR_SYNTAX);
  EXPECT_STREQ(read.first->data, ">z");
  EXPECT_STREQ(read.first->children->data, "x");  // the whole name matched: trimmed
}

TEST_F(EndTags, EndOfInputInsideTheEndTag) {
  const auto in_name = read_xml_text("<a> x </");
  EXPECT_EQ(in_name.code, XMLERR_EOF);
  EXPECT_STREQ(in_name.first->data, " x ");
  const auto after_name = read_xml_text("<a> x </a  ");
  EXPECT_EQ(after_name.code, XMLERR_EOF);
  EXPECT_STREQ(after_name.first->data, "x");
}

TEST_F(EndTags, OuterEndTagInsideAChildClosesOnlyTheChild) {
  // b meets "</a": the 'a' differs and is lost, its '>' becomes text of a, and "</b>" is then a
  // wrong end tag for a.
  const auto read = read_xml_text("<a><b>x</a></b>");
  EXPECT_EQ(read.code, XMLERR_SYNTAX);
  const auto top = chain(read.first);
  ASSERT_EQ(top.size(), 1u);
  EXPECT_STREQ(top[0]->data, ">");
  ASSERT_NE(top[0]->children, nullptr);
  EXPECT_STREQ(top[0]->children->name, "b");
  EXPECT_STREQ(top[0]->children->data, "x");
}

TEST_F(EndTags, StrayEndTagAtTopLevelIsDropped) {
  const auto read = read_xml_text("</a><b/></c>");
  EXPECT_EQ(read.code, XMLERR_NONE);
  ASSERT_EQ(chain(read.first).size(), 1u);
  EXPECT_STREQ(read.first->name, "b");
  EXPECT_EQ(data_of(read.first), "<null>");
}

}  // namespace
}  // namespace zevo
