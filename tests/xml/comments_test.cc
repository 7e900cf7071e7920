// Comments: <!-- ... -->.
#include "xml/xml_entity.h"
#include "xml_reading.h"

namespace zevo {
namespace {

using testing::chain;
using testing::read_xml_entity;
using testing::read_xml_text;
using Comments = testing::XmlReaderTest;

TEST_F(Comments, BodyKeepsItsBlanks) {
  const auto read = read_xml_text("<!-- c -->");
  ASSERT_EQ(read.code, XMLERR_NONE);
  ASSERT_NE(read.first, nullptr);
  EXPECT_EQ(read.first->kind, XMLENTITY_COMMENT);
  EXPECT_STREQ(read.first->name, "COMMENT");
  EXPECT_STREQ(read.first->data, " c ");
  EXPECT_EQ(read.first->errflag, XMLERR_NONE);
}

TEST_F(Comments, EmptyComment) {
  const auto read = read_xml_entity("!---->");
  ASSERT_NE(read.first, nullptr);
  EXPECT_STREQ(read.first->data, "");
  EXPECT_EQ(read.code, XMLERR_NONE);
}

TEST_F(Comments, ThreeDashesDoNotCloseAComment) {
  const auto read = read_xml_entity("!-- a ---> b -->after");
  ASSERT_NE(read.first, nullptr);
  EXPECT_STREQ(read.first->data, " a ---> b ");
  EXPECT_EQ(read.code, XMLERR_NONE);
  EXPECT_EQ(read_xml_entity("!-- a --->").code, XMLERR_EOF);
}

TEST_F(Comments, SingleDashesAndMarkupAreBodyText) {
  const auto read = read_xml_entity("!-- - -- -> <a>x</a> -->");
  ASSERT_NE(read.first, nullptr);
  EXPECT_STREQ(read.first->data, " - -- -> <a>x</a> ");
}

TEST_F(Comments, CutOffCommentGivesCodeOneButNothingAtTopLevel) {
  const auto entity = read_xml_entity("!-- open");
  EXPECT_EQ(entity.first, nullptr);
  EXPECT_EQ(entity.code, XMLERR_EOF);
  const auto read = read_xml_text("<a/><!-- open");
  ASSERT_EQ(chain(read.first).size(), 1u);
  EXPECT_EQ(read.code, XMLERR_NONE);
}

TEST_F(Comments, OneDashIsASyntaxError) {
  EXPECT_EQ(read_xml_entity("!-x-->").code, XMLERR_SYNTAX);
  EXPECT_EQ(read_xml_entity("!-").code, XMLERR_SYNTAX);  // end of input as the third character
  EXPECT_EQ(read_xml_entity("!-").first, nullptr);
}

TEST_F(Comments, FailedCommentInsideAnElementLeavesItsLessThanAsText) {
  // "!", "-" and the blank are consumed by the failed markup and lost.
  const auto read = read_xml_text("<a>1 <!- 2</a>");
  ASSERT_EQ(read.code, XMLERR_NONE);
  EXPECT_STREQ(read.first->data, "1 <2");
  EXPECT_EQ(read.first->children, nullptr);
}

TEST_F(Comments, CommentInsideAnElementIsAChildNotText) {
  const auto read = read_xml_text("<a>x<!-- c -->y</a>");
  ASSERT_EQ(read.code, XMLERR_NONE);
  EXPECT_STREQ(read.first->data, "xy");
  ASSERT_NE(read.first->children, nullptr);
  EXPECT_EQ(read.first->children->kind, XMLENTITY_COMMENT);
  EXPECT_STREQ(read.first->children->data, " c ");
}

}  // namespace
}  // namespace zevo
