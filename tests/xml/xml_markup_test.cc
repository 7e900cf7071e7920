// The constructs the markup reader knows: attributes, comments, CDATA sections, processing
// instructions and other declarations. Trees are compared through describe() (xml_reading.h):
// name ^kind {attributes} ="data" !code [children].
#include "xml/xml_markup.h"

#include "xml/xml_reader.h"
#include "xml_reading.h"

namespace zevo {
namespace {

using testing::describe;
using testing::expect_documents;
using testing::expect_entities;
using Constructs = testing::XmlReaderTest;

TEST_F(Constructs, Attributes) {
  expect_documents({
      {"quoted, unquoted, valueless", R"(<a x="1 2" y=3 z></a>)", 0, R"(a{x="1 2",y="3",z}="")"},
      {"blank inside a name", R"(<a b c="1"></a>)", 0, R"(a{b c="1"}="")"},
      {"blanks around =", "<a x = \"1\" y=\t2 />", 0, R"(a{x="1",y="2"})"},
      // The value runs to the next white space; "2'" then starts a valueless attribute.
      {"single quotes are ordinary", "<a x='1 2'/>", 0, R"(a{x="'1",2'})"},
      {"> inside quotes ends the tag", R"(<a x="1>2"></a>)", 0, R"(a{x="1"}="2">")"},
      {"missing value", "<a x=></a>", 0, R"(a{x}="")"},
      {"blanks after =", "<a x=   ></a>", 0, R"(a{x}="")"},
      {"empty value", R"(<a x=""></a>)", 0, R"(a{x=""}="")"},
      {"no blank after a quote", R"(<a x="1"y="2"/>)", 0, R"(a{x="1",y="2"})"},
      {"unclosed quote", R"(<a x="1 2></a>)", 0, R"(a{x="1 2"}="")"},
      {"unquoted value keeps = and quote", R"(<a x=1=2" =v/>)", 0, R"(a{x="1=2"",="v"})"},
      {"any white space separates", "<a\tx=\"1\"\ny=\"2\"\r\nz=3\f/>", 0,
       R"(a{x="1",y="2",z="3"})"},
      {"valueless name keeps its blank", "<a z />", 0, "a{z }"},
      {"references stay", R"(<a v="&amp;&lt;"/>)", 0, R"(a{v="&amp;&lt;"})"},
      {"blanks around the name", "< a >x</a>", 0, R"(a="x")"},
  });
}

TEST_F(Constructs, ParseTagSplitsTheTextItIsGivenAndLeavesTheKindToTheCaller) {
  char tag[] = "  cable n1=\"SB 1\"  n2=SB2 ";
  EXPECT_EQ(describe(parse_XMLENTITY_tag(tag)), R"(cable^0{n1="SB 1",n2="SB2"})");
  char bare[] = "";
  EXPECT_EQ(describe(parse_XMLENTITY_tag(bare)), "^0");
}

TEST_F(Constructs, Comments) {
  expect_documents({
      {"blanks kept", "<!-- c -->", 0, R"(COMMENT^1=" c ")"},
      {"cut off at top level", "<a/><!-- open", 0, "a"},
      // '!', '-' and the blank are consumed by the failed markup and lost.
      {"failed comment in an element", "<a>1 <!- 2</a>", 0, R"(a="1 <2")"},
      {"comment in an element", "<a>x<!-- c -->y</a>", 0, R"(a="xy"[COMMENT^1=" c "])"},
  });
  expect_entities({
      {"empty comment", "!---->", 0, R"(COMMENT^1="")"},
      {"---> does not close", "!-- a ---> b -->after", 0, R"(COMMENT^1=" a ---> b ")"},
      {"---> then the end", "!-- a --->", 1, ""},
      {"dashes and markup in the body", "!-- - -- -> <a>x</a> -->", 0,
       R"(COMMENT^1=" - -- -> <a>x</a> ")"},
      {"cut off", "!-- open", 1, ""},
      {"one dash", "!-x-->", 2, ""},
      {"one dash then the end", "!-", 2, ""},
  });
}

TEST_F(Constructs, CdataSections) {
  expect_documents({
      {"wrong opening takes seven", "<a><![CDATX[b</a>", 0, R"(a="<b")"},
      {"section in an element", "<a> x <![CDATA[ y ]]> </a>", 0, R"(a="x"[CDATA^2=" y "])"},
  });
  expect_entities({
      {"markup kept verbatim", "![CDATA[<b>&amp;</b> ]]>", 0, R"(CDATA^2="<b>&amp;</b> ")"},
      {"]]]> does not close", "![CDATA[a]]]> b]]>", 0, R"(CDATA^2="a]]]> b")"},
      {"empty section", "![CDATA[]]>", 0, R"(CDATA^2="")"},
      {"wrong opening", "![CDATX[x]]>", 2, ""},
      {"exact case", "![cdata[x]]>", 2, ""},
      {"end of input in the opening", "![CDA", 1, ""},
      {"end of input after [", "![", 1, ""},
      {"end of input in the body", "![CDATA[x]]", 1, ""},
  });
}

TEST_F(Constructs, ProcessingInstructions) {
  expect_documents({
      {"instruction in an element", "<a>x<?p q?>y</a>", 0,
       R"(a="xy"[PROCESSING INSTRUCTION^3="p q"])"},
  });
  expect_entities({
      {"only ?> ends it", "?a?b>c?>", 0, R"(PROCESSING INSTRUCTION^3="a?b>c")"},
      {"trimmed at the ends", "? \n target  data\t?>", 0,
       R"(PROCESSING INSTRUCTION^3="target  data")"},
      // The first ? opens; the body is two ? and the >.
      {"??? first", "?\?\?>", 0, R"(PROCESSING INSTRUCTION^3="?")"},
      {"?? inside", "?x ?? >?>", 0, R"(PROCESSING INSTRUCTION^3="x ?? >")"},
      {"> first", "?>a?>", 0, R"(PROCESSING INSTRUCTION^3=">a")"},
      {"end of input after ?", "?xml ?", 1, ""},
      {"end of input at once", "?", 1, ""},
  });
}

// Other <! declarations are read so that the document goes on, but always reported as code 2.
TEST_F(Constructs, Declarations) {
  expect_documents({
      {"doctype fails the read", "<!DOCTYPE x><zevo/>", 2, R"(UNKNOWN^0="DOCTYPE x"!2 zevo)"},
      {"code climbs", "<zevo><lc><!ENTITY e>x</lc></zevo>", 2,
       R"(zevo=""!2[lc="x"[UNKNOWN^0="ENTITY e"]])"},
      {"<!> at top level", "<!><a/>", 0, "a"},
      {"cut off at top level", "<a/><!DOCTYPE x", 0, "a"},
  });
  expect_entities({
      {"angle brackets nest", "!DOCTYPE a [<!ELEMENT b (c)>]>rest", 2,
       R"(UNKNOWN^0="DOCTYPE a [<!ELEMENT b (c)>]")"},
      {"first character not counted", "!<a>>", 2, R"(UNKNOWN^0="<a")"},
      {"untrimmed", "! x >", 2, R"(UNKNOWN^0=" x ")"},
      {"<!>", "!>", 2, ""},
      {"cut off", "!DOCTYPE x [<y>", 1, ""},
      {"end of input after !", "!", 1, ""},
  });
}

}  // namespace
}  // namespace zevo
