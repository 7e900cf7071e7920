// CDATA sections: <![CDATA[ ... ]]>.
#include "xml/xml_entity.h"
#include "xml_reading.h"

namespace zevo {
namespace {

using testing::read_xml_entity;
using testing::read_xml_text;
using Cdata = testing::XmlReaderTest;

TEST_F(Cdata, MarkupInsideIsKeptVerbatim) {
  const auto read = read_xml_entity("![CDATA[<b>&amp;</b> ]]>");
  ASSERT_NE(read.first, nullptr);
  EXPECT_EQ(read.first->kind, XMLENTITY_CDATA);
  EXPECT_STREQ(read.first->name, "CDATA");
  EXPECT_STREQ(read.first->data, "<b>&amp;</b> ");
  EXPECT_EQ(read.code, XMLERR_NONE);
}

TEST_F(Cdata, ThreeBracketsDoNotCloseTheSection) {
  const auto read = read_xml_entity("![CDATA[a]]]> b]]>");
  ASSERT_NE(read.first, nullptr);
  EXPECT_STREQ(read.first->data, "a]]]> b");
}

TEST_F(Cdata, EmptySection) {
  const auto read = read_xml_entity("![CDATA[]]>");
  ASSERT_NE(read.first, nullptr);
  EXPECT_STREQ(read.first->data, "");
}

TEST_F(Cdata, WrongOpeningIsASyntaxError) {
  EXPECT_EQ(read_xml_entity("![CDATX[x]]>").code, XMLERR_SYNTAX);
  EXPECT_EQ(read_xml_entity("![cdata[x]]>").code, XMLERR_SYNTAX);  // exact case
  EXPECT_EQ(read_xml_entity("![CDATX[x]]>").first, nullptr);
}

TEST_F(Cdata, WrongOpeningConsumesSevenCharacters) {
  const auto read = read_xml_text("<a><![CDATX[b</a>");
  ASSERT_EQ(read.code, XMLERR_NONE);
  EXPECT_STREQ(read.first->data, "<b");
}

TEST_F(Cdata, EndOfInputInTheOpeningOrTheBody) {
  EXPECT_EQ(read_xml_entity("![CDA").code, XMLERR_EOF);
  EXPECT_EQ(read_xml_entity("![").code, XMLERR_EOF);
  EXPECT_EQ(read_xml_entity("![CDATA[x]]").code, XMLERR_EOF);
}

TEST_F(Cdata, SectionInsideAnElementIsAChild) {
  const auto read = read_xml_text("<a> x <![CDATA[ y ]]> </a>");
  ASSERT_EQ(read.code, XMLERR_NONE);
  EXPECT_STREQ(read.first->data, "x");
  ASSERT_NE(read.first->children, nullptr);
  EXPECT_STREQ(read.first->children->data, " y ");
}

}  // namespace
}  // namespace zevo
