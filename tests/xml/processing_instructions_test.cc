// Processing instructions: <? ... ?>.
#include "xml/xml_entity.h"
#include "xml_reading.h"

namespace zevo {
namespace {

using testing::read_xml_entity;
using testing::read_xml_text;
using ProcessingInstructions = testing::XmlReaderTest;

TEST_F(ProcessingInstructions, OnlyQuestionMarkThenGreaterThanEndsIt) {
  const auto read = read_xml_entity("?a?b>c?>");
  ASSERT_NE(read.first, nullptr);
  EXPECT_EQ(read.first->kind, XMLENTITY_PI);
  EXPECT_STREQ(read.first->name, "PROCESSING INSTRUCTION");
  EXPECT_STREQ(read.first->data, "a?b>c");
  EXPECT_EQ(read.code, XMLERR_NONE);
}

TEST_F(ProcessingInstructions, DataIsTrimmedAtBothEndsOnly) {
  const auto read = read_xml_entity("? \n target  data\t?>");
  ASSERT_NE(read.first, nullptr);
  EXPECT_STREQ(read.first->data, "target  data");
}

TEST_F(ProcessingInstructions, RepeatedQuestionMarksBeforeTheEnd) {
  EXPECT_STREQ(read_xml_entity("?\?\?>").first->data,
               "?");  // the first ? opens; the body is two ? and >
  EXPECT_STREQ(read_xml_entity("?x ?? >?>").first->data, "x ?? >");
  EXPECT_STREQ(read_xml_entity("?>a?>").first->data, ">a");
}

TEST_F(ProcessingInstructions, EndOfInputGivesCodeOne) {
  EXPECT_EQ(read_xml_entity("?xml ?").code, XMLERR_EOF);
  EXPECT_EQ(read_xml_entity("?").code, XMLERR_EOF);
  EXPECT_EQ(read_xml_entity("?").first, nullptr);
}

TEST_F(ProcessingInstructions, InstructionInsideAnElementIsAChild) {
  const auto read = read_xml_text("<a>x<?p q?>y</a>");
  ASSERT_EQ(read.code, XMLERR_NONE);
  EXPECT_STREQ(read.first->data, "xy");
  ASSERT_NE(read.first->children, nullptr);
  EXPECT_STREQ(read.first->children->data, "p q");
}

}  // namespace
}  // namespace zevo
