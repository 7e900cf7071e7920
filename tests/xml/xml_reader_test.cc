// The reader's contract: elements with their text and end tags, error codes (where they arise,
// how they climb, what is dropped), missing arguments, exhausted memory, every size limit on
// both sides, lower-casing of names, and hostile or huge inputs (deep nesting, random bytes,
// nothing but '<', tens of megabytes), each read without a crash and with the codes the reading
// rules give. Trees are compared through describe() (xml_reading.h):
// name ^kind {attributes} ="data" !code [children].
#include "xml/xml_reader.h"

#include <cstddef>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "model/messages.h"
#include "model/record_store.h"
#include "support/captured_messages.h"
#include "xml/reference/literal_xml_reader.h"
#include "xml/xml_document.h"
#include "xml_reading.h"

namespace zevo {
namespace {

using testing::describe;
using testing::expect_documents;
using testing::expect_entities;
using testing::read_xml_text;
using Constructs = testing::XmlReaderTest;
using ErrorCodes = testing::XmlReaderTest;
using SizeLimits = testing::XmlReaderTest;
using LowerCasing = testing::XmlReaderTest;
using StringHelpers = testing::XmlReaderTest;
using Robustness = testing::XmlReaderTest;

TEST_F(Constructs, ElementsAndText) {
  expect_documents({
      {"empty stream", "", 0, ""},
      {"only white space", "   \n\t", 0, ""},
      {"no markup", "just text, no markup > at all", 0, ""},
      {"only a byte-order mark", "\xEF\xBB\xBF", 0, ""},
      {"XML declaration before the root", "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<zevo>x</zevo>\n",
       0, R"(PROCESSING INSTRUCTION^3="xml version="1.0"" zevo="x")"},
      {"empty element: no data; closed: empty", "<a/><b></b><c>   </c><d />", 0,
       R"(a b="" c="" d)"},
      // Only the six ASCII white-space bytes count: 0xA0 stays.
      {"only the ends are trimmed", "<a>  x\n  y  </a><b>\v\f\r\n\t x \t</b><c>\xA0z\xA0</c>", 0,
       "a=\"x\n  y\" b=\"x\" c=\"\xA0z\xA0\""},
      {"text around children is joined", "<a> x <b/> y </a>", 0, R"(a="x  y"[b])"},
      {"document order and nesting",
       "<zevo><lc><name>SB1</name><!-- main --></lc><cable>C1</cable><lc>SB2</lc></zevo>", 0,
       R"(zevo=""[lc=""[name="SB1" COMMENT^1=" main "] cable="C1" lc="SB2"])"},
      {"text outside markup is dropped", "junk<a>1</a> more > junk <b>2</b>tail", 0,
       R"(a="1" b="2")"},
      {"no references or namespaces", "<ns:LC>&amp; &lt;x&gt;</ns:LC>", 0,
       R"(ns:LC="&amp; &lt;x&gt;")"},
      // A reader that keeps getc's result in a char would take 0xFF for the end of input.
      {"0xFF is ordinary", "<\377>a\377b</\377><z/>", 0, "\377=\"a\377b\" z"},
      {"> in text", "<a>1 > 0</a>", 0, R"(a="1 > 0")"},
  });
}

TEST_F(Constructs, EndTags) {
  expect_documents({
      {"exact case", "<A></a>", 2, R"(A=""!2)"},
      {"mismatch leaves text untrimmed", "<Lc>x</LC>", 2, R"(Lc="x"!2)"},
      {"blanks before >", "<a>x</a  ><b>y</b\n\t>", 0, R"(a="x" b="y")"},
      {"only the name counts", R"(<a x="1">t</a>)", 0, R"(a{x="1"}="t")"},
      {"blank after the slash", "<r><a> x </ a>y</r>", 2, R"(r="a>y"!2[a=" x "])"},
      {"longer end tag", "<r><ab></abc></r>", 2, R"(r=">"!2[ab=""])"},
      // The whole name matched, so the text is trimmed; the 'y' is consumed.
      {"other character before >", "<r><a> x </a y>z</r>", 2, R"(r=">z"!2[a="x"])"},
      {"end of input in the name", "<a> x </", 1, R"(a=" x "!1)"},
      {"end of input after the name", "<a> x </a  ", 1, R"(a="x"!1)"},
      // b meets "</a": the 'a' differs and is lost, its '>' becomes text of a, and "</b>" is
      // then a wrong end tag for a.
      {"outer end tag inside a child", "<a><b>x</a></b>", 2, R"(a=">"!2[b="x"])"},
      {"stray end tags", "</a><b/></c>", 0, "b"},
  });
}

const std::string kOverlongText(65536, 'x');

TEST_F(ErrorCodes, WhatFollowsTheLessThanDecidesTheCode) {
  expect_entities({
      {"end of input", "", 1, ""},
      {"end tag", "/a>", 4, ""},
      {"start tag cut off", "a", 1, ""},
      {"attribute cut off", "a x=\"1\"", 1, ""},
      {"content cut off", "a> text ", 1, R"(a=" text ")"},
      {"closed element", "a>x</a>", 0, R"(a="x")"},
  });
}

TEST_F(ErrorCodes, EndTagSignalConsumesOnlyTheSlash) {
  const std::string text = "/name>";
  FILE* stream = testing::open_text_stream(text);
  int code = 0;
  EXPECT_EQ(fget_XMLENTITY(stream, &code), nullptr);
  EXPECT_EQ(code, XMLERR_ENDTAG);
  EXPECT_EQ(std::fgetc(stream), 'n');
  std::fclose(stream);
}

TEST_F(ErrorCodes, CodesClimbAndTheLastOneWins) {
  // b reports 2 (a declaration inside), c reports 3 (its text overruns; what follows its
  // 65,536th character is content of the parent again, so the parent's end tag is fine).
  const std::string b = "<b><!D></b>";
  const std::string c = "<c>" + kOverlongText;
  const std::string overrun = "<b>" + kOverlongText + "</b>";
  expect_documents({
      {"end of input in open elements", "<a> x <b> y <c> z", 1, R"(a=" x "!1[b=" y "[c=" z"]])"},
      {"end of input after a child", "<a>x<b/>y", 1, R"(a="xy"!1[b])"},
      {"a deep code climbs", "<a><b><c><!D></c></b></a>", 2,
       R"(a=""!2[b=""[c=""[UNKNOWN^0="D"]]])"},
      {"last child wins: 3", "<a>" + b + c + "</a>", 3, R"(a=""!3[b=""[UNKNOWN^0="D"] c])"},
      {"last child wins: 2", "<a>" + c + b + "</a>", 2, R"(a=""!2[c b=""[UNKNOWN^0="D"]])"},
      {"later good children", "<a>" + b + "<d/><e></e></a>", 2,
       R"(a=""!2[b=""[UNKNOWN^0="D"] d e=""])"},
      {"own end tag cut off", "<a><!D></a", 1, R"(a=""!1[UNKNOWN^0="D"])"},
      {"own wrong end tag", "<a><c>" + kOverlongText + "</b>", 2, R"(a=""!2[c])"},
      {"last top-level wins: 3", "<!D><a/>" + overrun + "<c/>", 3, R"(UNKNOWN^0="D"!2 a b!3 c)"},
      {"last top-level wins: 2", overrun + "<!D><c/>", 2, R"(b!3 UNKNOWN^0="D"!2 c)"},
      {"failed markup is text", "<a><!>x<!-y</a>", 0, R"(a="<x<")"},
  });
}

TEST_F(ErrorCodes, MissingArgumentsOfReadfilePrintAndReturnNothing) {
  testing::CapturedMessages messages;
  const std::string text = "<a/>";
  FILE* stream = testing::open_text_stream(text);
  int code = 5;
  EXPECT_EQ(readfile_XMLENTITY(nullptr, &code), nullptr);
  EXPECT_EQ(code, 5);
  EXPECT_EQ(readfile_XMLENTITY(stream, nullptr), nullptr);
  std::fclose(stream);
  EXPECT_EQ(messages.err(),
            " *** ERROR: NULL Pointers on entry to readfile_XMLENTITY\n"
            " *** ERROR: NULL Pointers on entry to readfile_XMLENTITY\n");
  EXPECT_EQ(messages.out(), "");
}

TEST_F(ErrorCodes, MissingArgumentsOfFgetEndTheRun) {
  const std::string text = "a/>";
  FILE* stream = testing::open_text_stream(text);
  int code = 0;
  struct Case {
    FILE* stream;
    int* errflag;
    const char* message;
  };
  for (const Case& c :
       {Case{stream, nullptr, " *** ERROR: NULL errflag pointer in fget_XMLENTITY()\n"},
        Case{nullptr, nullptr, " *** ERROR: NULL errflag pointer in fget_XMLENTITY()\n"},
        Case{nullptr, &code, " *** ERROR: NULL File Pointer in fget_XMLENTITY()\n"}}) {
    testing::CapturedMessages messages;
    EXPECT_THROW(fget_XMLENTITY(c.stream, c.errflag), RunEnded);
    EXPECT_EQ(messages.err(), c.message);
  }
  std::fclose(stream);
}

TEST_F(StringHelpers, NewRecordIsZero) {
  // No name ("?"), kind 0, and no attributes, data, code, children or sibling.
  EXPECT_EQ(describe(alloc_XMLENTITY()), "?^0");
}

TEST_F(ErrorCodes, EveryAllocationOfAReadEndsTheRunWithItsMessage) {
  // Two records (element, attribute) and four strings (two names, the value, the text).
  const std::string record_message = " *** ERROR: Out of memory in alloc_XMLENTITY()\n";
  const std::string string_message = " *** ERROR: Out of Memory in xmlcopystring()\n";
  int record_failures = 0;
  int string_failures = 0;
  for (long n = 1; n <= 7; ++n) {
    testing::CapturedMessages messages;
    fail_allocation_after(n);
    try {
      const auto read = testing::read_xml_text("<a x=\"1\">t</a>");
      EXPECT_EQ(n, 7) << "the read made fewer allocations than expected";
      EXPECT_STREQ(read.first->attributes->data, "1");
    } catch (const RunEnded& ended) {
      EXPECT_EQ(ended.status, 1);
      const std::string err = messages.err();
      record_failures += err == record_message;
      string_failures += err == string_message;
      EXPECT_TRUE(err == record_message || err == string_message) << err;
    }
    fail_allocation_after(0);
  }
  EXPECT_EQ(record_failures, 2);
  EXPECT_EQ(string_failures, 4);
}

std::string repeated(const std::string& piece, int times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

// Each limit is read at its largest size and fails one character later.
TEST_F(SizeLimits, EachLimitOnBothSides) {
  const std::string name(65533, 'b');  // with the '/', a tag text of 65,534 characters
  const std::string text(65535, 'x');
  const std::string before(40000, 'x');
  const std::string after(25535, 'y');
  const std::string almost(65534, 'x');
  const std::string body(65532, 'c');
  const std::string pi(65533, 'p');
  const std::string rest(65534, 'e');
  // Counted: for comments, CDATA and instructions the body with its closer; for declarations
  // what follows the first character, the closing '>' included.
  expect_entities({
      {"tag text of 65,534", name + "/>", 0, name},
      {"tag text of 65,535", name + "b/>", 3, ""},
      {"comment of 65,535", "!--" + body + "-->", 0, "COMMENT^1=\"" + body + "\""},
      // The 65,536th character stored would complete the closer: still too long.
      {"comment of 65,536", "!--" + body + "c-->", 3, ""},
      {"CDATA of 65,535", "![CDATA[" + body + "]]>", 0, "CDATA^2=\"" + body + "\""},
      {"CDATA of 65,536", "![CDATA[" + body + "d]]>", 3, ""},
      {"instruction of 65,535", "?" + pi + "?>", 0, "PROCESSING INSTRUCTION^3=\"" + pi + "\""},
      {"instruction of 65,536", "?" + pi + "p?>", 3, ""},
      {"declaration of 65,535", "!D" + rest + ">", 2, "UNKNOWN^0=\"D" + rest + "\""},
      {"declaration of 65,536", "!D" + rest + "e>", 3, ""},
  });
  // Over-long markup inside an element: the '<' stays as text, the read does not fail, and the
  // 65,536th character (here the closing '>') is consumed with the markup.
  expect_documents({
      {"inner tag of 65,534", "<a><" + name + "/></a>", 0, "a=\"\"[" + name + "]"},
      {"inner tag of 65,535", "<a><" + name + "b/></a>", 0, R"(a="<")"},
      {"inner comment of 65,536", "<a><!--" + body + "c--></a>", 0, R"(a="<")"},
      {"element text of 65,535", "<a>" + text + "</a>", 0, "a=\"" + text + "\""},
      {"element text of 65,536", "<a>" + text + "x</a>", 3, "a!3"},
      {"text across children", "<a>" + before + "<b/>" + after + "</a>", 0,
       "a=\"" + before + after + "\"[b]"},
      {"children so far kept", "<a>" + before + "<b/>" + after + "y</a>", 3, "a!3[b]"},
      {"kept < counts", "<a>" + almost + "<!></a>", 0, "a=\"" + almost + "<\""},
      {"kept < overruns", "<a>" + almost + "x<!></a>", 3, "a!3"},
  });
  // A run of the text between two pieces of markup that holds only blanks, tabs, carriage
  // returns and line feeds does not count, at any depth; a run that holds anything else counts
  // whole, its blanks too.
  const std::string blanks = repeated(" \t\r\n", 17500);  // 70,000
  expect_documents({
      {"indentation between children", "<a>" + blanks + "<b/>" + blanks + "<c/>" + blanks + "</a>",
       0, R"(a=""[b c])"},
      {"at any depth", "<a><b>" + blanks + "<c/>" + blanks + "</b>" + blanks + "</a>", 0,
       R"(a=""[b=""[c]])"},
      {"with comments and instructions", "<a><!-- x -->" + blanks + "<?p?>" + blanks + "</a>", 0,
       R"(a=""[COMMENT^1=" x " PROCESSING INSTRUCTION^3="p"])"},
      {"no children", "<a>" + blanks + "</a>", 0, R"(a="")"},
      {"vertical tabs count", "<a>" + std::string(65536, '\v') + "</a>", 3, "a!3"},
      {"form feeds count", "<a><b/>" + std::string(65536, '\f') + "<b/></a>", 3, "a!3[b] b"},
      {"blanks in a run with text count", "<a>" + std::string(65534, ' ') + "x</a>", 0, R"(a="x")"},
      {"blanks in a run with text overrun", "<a>" + std::string(65535, ' ') + "x</a>", 3, "a!3"},
      {"only the other runs add up", "<a>" + before + "<b/>" + blanks + "<c/>" + after + "</a>", 0,
       "a=\"" + before + blanks + after + "\"[b c]"},
      {"and overrun", "<a>" + before + "<b/>" + blanks + "<c/>" + after + "y</a>", 3, "a!3[b c]"},
      // Untrimmed, the text of an element cut off keeps no blanks from before its first counted
      // character once those alone have reached the limit.
      {"cut off after long indentation", "<a>" + blanks + "<b/>\n x", 1, "a=\"x\"!1[b]"},
      {"cut off after short indentation", "<a>\n  <b/>\n x", 1, "a=\"\n  \n x\"!1[b]"},
  });
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

constexpr std::size_t kLargeText = 50u << 20;
constexpr int kDeep = 1000000;

// Follows the chain of first children that are elements from *entity, checking that each has
// the name and data given and no sibling; returns the number of levels and leaves *entity at
// what follows the innermost level (null, or its first child that is not an element).
int count_levels(XMLENTITY** entity, const char* name, const char* data) {
  int levels = 0;
  for (; *entity && (*entity)->kind == XMLENTITY_ELEMENT; *entity = (*entity)->children) {
    ++levels;
    EXPECT_STREQ((*entity)->name, name);
    EXPECT_STREQ((*entity)->data, data);
    EXPECT_EQ((*entity)->next, nullptr);
    if (::testing::Test::HasFailure()) break;
  }
  return levels;
}

TEST_F(Robustness, MillionDeepClosedNestingIsReadAndLowerCased) {
  const auto read = read_xml_text(repeated("<A>", kDeep) + repeated("</A>", kDeep));
  EXPECT_EQ(read.code, XMLERR_NONE);
  XMLENTITY* walk = read.first;
  EXPECT_EQ(count_levels(&walk, "A", ""), kDeep);
  EXPECT_EQ(walk, nullptr);
  lowercase_XMLENTITY(read.first, 1);
  walk = read.first;
  EXPECT_EQ(count_levels(&walk, "a", ""), kDeep);
}

TEST_F(Robustness, MillionDeepNestingCutOffReturnsEveryLevelWithCodeOne) {
  const auto read = read_xml_text(repeated("<a> t", kDeep));
  EXPECT_EQ(read.code, XMLERR_EOF);
  ASSERT_NE(read.first, nullptr);
  EXPECT_EQ(read.first->errflag, XMLERR_EOF);
  XMLENTITY* walk = read.first;
  EXPECT_EQ(count_levels(&walk, "a", " t"), kDeep);  // untrimmed at every level
}

TEST_F(Robustness, CodeClimbsThroughAMillionLevels) {
  const auto read = read_xml_text(repeated("<a>", kDeep) + "<!D>" + repeated("</a>", kDeep));
  EXPECT_EQ(read.code, XMLERR_SYNTAX);
  XMLENTITY* walk = read.first;
  EXPECT_EQ(count_levels(&walk, "a", ""), kDeep);
  EXPECT_EQ(describe(walk), R"(UNKNOWN^0="D")");
}

// Checks, without recursion, that only top-level entities carry a code and that the read's
// code is the last nonzero one among them.
void expect_consistent_codes(const testing::XmlRead& read) {
  int last_nonzero = 0;
  std::vector<XMLENTITY*> pending;
  for (XMLENTITY* top = read.first; top; top = top->next) {
    EXPECT_GE(top->errflag, XMLERR_NONE);
    EXPECT_LE(top->errflag, XMLERR_OVERRUN);
    if (top->errflag != 0) last_nonzero = top->errflag;
    if (top->children) pending.push_back(top->children);
  }
  EXPECT_EQ(read.code, last_nonzero);
  while (!pending.empty()) {
    XMLENTITY* e = pending.back();
    pending.pop_back();
    ASSERT_NE(e->name, nullptr);
    EXPECT_EQ(e->errflag, 0);
    EXPECT_GE(e->kind, XMLENTITY_UNKNOWN);
    EXPECT_LE(e->kind, XMLENTITY_ELEMENT);
    if (e->next) pending.push_back(e->next);
    if (e->children) pending.push_back(e->children);
  }
}

TEST_F(Robustness, RandomBytesAreReadWithConsistentCodes) {
  std::mt19937 random(20250412);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 4; ++round) {
    std::string text(1 << 20, '\0');
    for (char& c : text) c = static_cast<char>(byte(random));
    expect_consistent_codes(read_xml_text(text));
  }
  // Drawn from the characters the reader reacts to, so that every construct and error shows.
  const std::string alphabet = "<<<<>>>//!!--??[]]CDAT\"= \nab";
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  random.seed(7);
  for (int round = 0; round < 200; ++round) {
    std::string text(5000, ' ');
    for (char& c : text) c = alphabet[pick(random)];
    expect_consistent_codes(read_xml_text(text));
  }
}

// Takes the attributes off every entity of the chain `first`: the document reader's second pass
// does not make them.
void drop_attributes(XMLENTITY* first) {
  std::vector<XMLENTITY*> pending = {first};
  while (!pending.empty()) {
    XMLENTITY* e = pending.back();
    pending.pop_back();
    if (!e) continue;
    e->attributes = nullptr;
    pending.push_back(e->next);
    pending.push_back(e->children);
  }
}

// What XmlDocument makes of `text`: "code has_entity", then its top-level entities as its second
// pass gives them one after another, then "|" and the children of the first, when that is an
// element with content, as read_root and read_child give them.
std::string describe_document(const std::string& text) {
  FILE* stream = testing::open_text_stream(text);
  XmlDocument document(stream);
  std::fclose(stream);
  std::string out = std::to_string(document.code()) + (document.has_entity() ? " 1" : " 0");
  if (document.code() != XMLERR_NONE) return out;
  while (XMLENTITY* entity = document.read_top_level()) out.append(" ").append(describe(entity));
  stream = testing::open_text_stream(text);
  XmlDocument again(stream);
  std::fclose(stream);
  bool has_content = false;
  if (!again.read_root(&has_content) || !has_content) return out;
  out += " |";
  while (XMLENTITY* child = again.read_child()) out.append(" ").append(describe(child));
  return out;
}

// The same from the tree readfile_XMLENTITY reads.
std::string describe_as_document(const testing::XmlRead& read) {
  std::string out = std::to_string(read.code) + (read.first ? " 1" : " 0");
  if (read.code != XMLERR_NONE) return out;
  drop_attributes(read.first);
  for (XMLENTITY* e = read.first; e; e = e->next) {
    XMLENTITY* next = e->next;
    e->next = nullptr;
    out.append(" ").append(describe(e));
    e->next = next;
  }
  if (!read.first || read.first->kind != XMLENTITY_ELEMENT || !read.first->data) return out;
  out += " |";
  for (XMLENTITY* child = read.first->children; child; child = child->next) {
    XMLENTITY* next = child->next;
    child->next = nullptr;
    out.append(" ").append(describe(child));
    child->next = next;
  }
  return out;
}

// Documents drawn from pieces of markup, text and indentation, some with runs of white space
// long enough to cross the reader's blocks and to reach the text limit. Wherever the reader as
// first written meets no text overrun, the two give the same tree and the same code; elsewhere
// the codes are at least consistent. The two passes of XmlDocument agree with readfile_XMLENTITY
// on every document.
TEST_F(Robustness, AgreesWithTheReaderAsFirstWrittenWhereverNoTextOverran) {
  const std::vector<std::string> pieces = {"<a>",
                                           "</a>",
                                           "<b x=\"1>2\" y>",
                                           "</b>",
                                           "<c/>",
                                           "<A>",
                                           "</A >",
                                           "</ a>",
                                           "<a ",
                                           "/>",
                                           "<!-- c -->",
                                           "<!--",
                                           "-->",
                                           "--->",
                                           "<![CDATA[",
                                           "]]>",
                                           "<?p?",
                                           "?>",
                                           "<!D <e>>",
                                           "<!>",
                                           "<",
                                           ">",
                                           "x",
                                           " y ",
                                           "\n  ",
                                           "\t",
                                           "\r\n",
                                           "\v",
                                           "&lt;",
                                           "\xff",
                                           std::string(1, '\0')};
  std::mt19937 random(21);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  std::uniform_int_distribution<int> length(1, 120);
  std::uniform_int_distribution<int> long_run(0, 80);
  int compared = 0;
  int overran = 0;
  for (int round = 0; round < 1200; ++round) {
    std::string text;
    for (int n = length(random); n > 0; --n) {
      const std::string& piece = pieces[pick(random)];
      const int run = long_run(random);
      // Now and then thousands of one piece: blanks that do not count, or text that does.
      text += run == 0 ? repeated(piece, 70000 / static_cast<int>(piece.size()) + 1) : piece;
    }
    FILE* stream = testing::open_text_stream(text);
    int code = -1;
    int overruns = 0;
    const std::string expected = describe(literal_readfile_XMLENTITY(stream, &code, &overruns));
    std::fclose(stream);
    const auto read = read_xml_text(text);
    if (overruns == 0) {
      ++compared;
      EXPECT_EQ(read.code, code) << ::testing::PrintToString(text.substr(0, 200));
      EXPECT_EQ(describe(read.first), expected) << ::testing::PrintToString(text.substr(0, 200));
    } else {
      ++overran;
      expect_consistent_codes(read);
    }
    EXPECT_EQ(describe_document(text), describe_as_document(read))
        << ::testing::PrintToString(text.substr(0, 200));
    release_all_records();
    if (HasFailure()) break;
  }
  EXPECT_GT(compared, 800);
  EXPECT_GT(overran, 60);
}

TEST_F(Robustness, NothingButLessThansGivesNoEntityAndCodeZero) {
  // Each '<' starts a tag whose text is all '<': it overruns (or meets the end of input)
  // without an entity, and a code without an entity is dropped at top level.
  for (std::size_t size : {1, 2, 65537, 65538, 1000000}) {
    SCOPED_TRACE(size);
    const auto read = read_xml_text(std::string(size, '<'));
    EXPECT_EQ(read.first, nullptr);
    EXPECT_EQ(read.code, XMLERR_NONE);
  }
}

TEST_F(Robustness, HugeTextsAreReadWithoutCrash) {
  // Inside an element the text overruns and the rest is dropped; outside, it is all dropped.
  const std::string text(kLargeText, 'x');
  const auto element = read_xml_text("<zevo>" + text + "</zevo>");
  EXPECT_EQ(element.code, XMLERR_OVERRUN);
  EXPECT_EQ(describe(element.first), "zevo!3");
  const auto stray = read_xml_text(text);
  EXPECT_EQ(stray.first, nullptr);
  EXPECT_EQ(stray.code, XMLERR_NONE);
}

TEST_F(Robustness, HugeDocumentOfSmallElementsIsReadInOrder) {
  // A reader that appended each child by walking the list, or copied what it had read, would
  // take hours here instead of a second.
  constexpr int kItems = 400000;
  std::string text = "<zevo>";
  for (int i = 0; i < kItems; ++i) text += "<lc>" + std::to_string(i) + "</lc>";
  text += "</zevo>";
  const auto read = read_xml_text(text);
  EXPECT_EQ(read.code, XMLERR_NONE);
  ASSERT_NE(read.first, nullptr);
  EXPECT_STREQ(read.first->data, "");
  int i = 0;
  for (XMLENTITY* lc = read.first->children; lc; lc = lc->next, ++i) {
    if (lc->data != std::to_string(i)) {
      ADD_FAILURE() << "child " << i << " holds " << lc->data;
      break;
    }
  }
  EXPECT_EQ(i, kItems);
}

}  // namespace
}  // namespace zevo
