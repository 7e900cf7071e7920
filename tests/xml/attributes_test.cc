// Attributes of start and empty-element tags.
#include <string>

#include "xml/xml_entity.h"
#include "xml_reading.h"

namespace zevo {
namespace {

using testing::chain;
using testing::data_of;
using testing::read_xml_text;
using Attributes = testing::XmlReaderTest;

// "name=value" for each attribute of the first top-level entity, value "<null>" when absent.
std::vector<std::string> attributes_of(const std::string& document) {
  const auto read = read_xml_text(document);
  std::vector<std::string> found;
  if (!read.first) return found;
  for (XMLENTITY* a : chain(read.first->attributes)) found.push_back(a->name + ("=" + data_of(a)));
  return found;
}

using Found = std::vector<std::string>;

TEST_F(Attributes, QuotedUnquotedAndValueless) {
  EXPECT_EQ(attributes_of("<a x=\"1 2\" y=3 z></a>"), (Found{"x=1 2", "y=3", "z=<null>"}));
}

TEST_F(Attributes, WhiteSpaceDoesNotEndAnAttributeName) {
  EXPECT_EQ(attributes_of("<a b c=\"1\"></a>"), (Found{"b c=1"}));
}

TEST_F(Attributes, WhiteSpaceAroundTheEqualsSignIsSkipped) {
  EXPECT_EQ(attributes_of("<a x = \"1\" y=\t2 />"), (Found{"x=1", "y=2"}));
}

TEST_F(Attributes, SingleQuotesAreOrdinaryCharacters) {
  // The value runs to the next white space; "2'" then starts a valueless attribute.
  EXPECT_EQ(attributes_of("<a x='1 2'/>"), (Found{"x='1", "2'=<null>"}));
}

TEST_F(Attributes, GreaterThanInsideQuotesEndsTheTag) {
  const auto read = read_xml_text("<a x=\"1>2\"></a>");
  ASSERT_EQ(read.code, XMLERR_NONE);
  ASSERT_NE(read.first->attributes, nullptr);
  EXPECT_STREQ(read.first->attributes->name, "x");
  EXPECT_STREQ(read.first->attributes->data, "1");
  EXPECT_EQ(read.first->attributes->next, nullptr);
  EXPECT_STREQ(read.first->data, "2\">");
}

TEST_F(Attributes, MissingAndEmptyValuesDiffer) {
  EXPECT_EQ(attributes_of("<a x=></a>"), (Found{"x=<null>"}));
  EXPECT_EQ(attributes_of("<a x=   ></a>"), (Found{"x=<null>"}));
  EXPECT_EQ(attributes_of("<a x=\"\"></a>"), (Found{"x="}));
}

TEST_F(Attributes, AQuotedValueNeedsNoBlankAfterIt) {
  EXPECT_EQ(attributes_of("<a x=\"1\"y=\"2\"/>"), (Found{"x=1", "y=2"}));
}

TEST_F(Attributes, UnclosedQuoteRunsToTheEndOfTheTag) {
  EXPECT_EQ(attributes_of("<a x=\"1 2></a>"), (Found{"x=1 2"}));
}

TEST_F(Attributes, UnquotedValueKeepsEqualsSignsAndQuotes) {
  EXPECT_EQ(attributes_of("<a x=1=2\" =v/>"), (Found{"x=1=2\"", "=v"}));
}

TEST_F(Attributes, AnyWhiteSpaceSeparatesAttributes) {
  EXPECT_EQ(attributes_of("<a\tx=\"1\"\ny=\"2\"\r\nz=3\f/>"), (Found{"x=1", "y=2", "z=3"}));
}

TEST_F(Attributes, ValuelessAttributeBeforeTheSlashLosesItsTrailingBlank) {
  EXPECT_EQ(attributes_of("<a z />"), (Found{"z=<null>"}));
}

TEST_F(Attributes, ReferencesStayAsWritten) {
  EXPECT_EQ(attributes_of("<a v=\"&amp;&lt;\"/>"), (Found{"v=&amp;&lt;"}));
}

TEST_F(Attributes, AttributesArePlainRecordsOfKindZero) {
  const auto read = read_xml_text("<lc name=\"SB1\" kind=gen>x</lc>");
  ASSERT_EQ(read.code, XMLERR_NONE);
  EXPECT_STREQ(read.first->name, "lc");
  EXPECT_STREQ(read.first->data, "x");
  EXPECT_EQ(read.first->children, nullptr);
  for (XMLENTITY* a : chain(read.first->attributes)) {
    EXPECT_EQ(a->kind, XMLENTITY_UNKNOWN);
    EXPECT_EQ(a->children, nullptr);
    EXPECT_EQ(a->attributes, nullptr);
    EXPECT_EQ(a->errflag, 0);
  }
}

TEST_F(Attributes, BlanksAroundTheElementNameAreSkipped) {
  const auto read = read_xml_text("< a >x</a>");
  ASSERT_EQ(read.code, XMLERR_NONE);
  EXPECT_STREQ(read.first->name, "a");
  EXPECT_EQ(read.first->attributes, nullptr);
  EXPECT_STREQ(read.first->data, "x");
}

TEST_F(Attributes, ParseTagSplitsTheTextItIsGiven) {
  char tag[] = "  cable n1=\"SB 1\"  n2=SB2 ";
  XMLENTITY* element = parse_XMLENTITY_tag(tag);
  EXPECT_STREQ(element->name, "cable");
  EXPECT_EQ(element->data, nullptr);
  const auto attributes = chain(element->attributes);
  ASSERT_EQ(attributes.size(), 2u);
  EXPECT_STREQ(attributes[0]->name, "n1");
  EXPECT_STREQ(attributes[0]->data, "SB 1");
  EXPECT_STREQ(attributes[1]->name, "n2");
  EXPECT_STREQ(attributes[1]->data, "SB2");
  char bare[] = "";
  EXPECT_STREQ(parse_XMLENTITY_tag(bare)->name, "");
}

}  // namespace
}  // namespace zevo
