// Other <! declarations: read so that the document goes on, always reported as code 2.
#include "xml/xml_entity.h"
#include "xml_reading.h"

namespace zevo {
namespace {

using testing::chain;
using testing::read_xml_entity;
using testing::read_xml_text;
using Declarations = testing::XmlReaderTest;

TEST_F(Declarations, DoctypeIsReadAndFailsTheWholeRead) {
  const auto read = read_xml_text("<!DOCTYPE x><zevo/>");
  EXPECT_EQ(read.code, XMLERR_SYNTAX);
  const auto top = chain(read.first);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(top[0]->kind, XMLENTITY_UNKNOWN);
  EXPECT_STREQ(top[0]->name, "UNKNOWN");
  EXPECT_STREQ(top[0]->data, "DOCTYPE x");
  EXPECT_EQ(top[0]->errflag, XMLERR_SYNTAX);
  EXPECT_EQ(top[1]->errflag, XMLERR_NONE);
}

TEST_F(Declarations, AngleBracketsNest) {
  const auto read = read_xml_entity("!DOCTYPE a [<!ELEMENT b (c)>]>rest");
  ASSERT_NE(read.first, nullptr);
  EXPECT_STREQ(read.first->data, "DOCTYPE a [<!ELEMENT b (c)>]");
  EXPECT_EQ(read.code, XMLERR_SYNTAX);
}

TEST_F(Declarations, FirstCharacterDoesNotCountForNesting) {
  const auto read = read_xml_entity("!<a>>");
  ASSERT_NE(read.first, nullptr);
  EXPECT_STREQ(read.first->data, "<a");
}

TEST_F(Declarations, DataIsUntrimmed) {
  const auto read = read_xml_entity("! x >");
  ASSERT_NE(read.first, nullptr);
  EXPECT_STREQ(read.first->data, " x ");
}

TEST_F(Declarations, InsideAnElementTheCodeClimbs) {
  const auto read = read_xml_text("<zevo><lc><!ENTITY e>x</lc></zevo>");
  EXPECT_EQ(read.code, XMLERR_SYNTAX);
  EXPECT_EQ(read.first->errflag, XMLERR_SYNTAX);
  XMLENTITY* lc = read.first->children;
  ASSERT_NE(lc, nullptr);
  EXPECT_STREQ(lc->data, "x");
  EXPECT_EQ(lc->errflag, 0);
  ASSERT_NE(lc->children, nullptr);
  EXPECT_STREQ(lc->children->data, "ENTITY e");
}

TEST_F(Declarations, EmptyDeclarationGivesNothing) {
  const auto entity = read_xml_entity("!>");
  EXPECT_EQ(entity.first, nullptr);
  EXPECT_EQ(entity.code, XMLERR_SYNTAX);
  const auto read = read_xml_text("<!><a/>");
  EXPECT_EQ(read.code, XMLERR_NONE);
  ASSERT_EQ(chain(read.first).size(), 1u);
  EXPECT_STREQ(read.first->name, "a");
}

TEST_F(Declarations, CutOffDeclarationGivesCodeOneWithoutEntity) {
  const auto entity = read_xml_entity("!DOCTYPE x [<y>");
  EXPECT_EQ(entity.first, nullptr);
  EXPECT_EQ(entity.code, XMLERR_EOF);
  EXPECT_EQ(read_xml_entity("!").code, XMLERR_EOF);
  const auto read = read_xml_text("<a/><!DOCTYPE x");
  EXPECT_EQ(read.code, XMLERR_NONE);
}

}  // namespace
}  // namespace zevo
