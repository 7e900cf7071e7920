// Error codes: where they arise, how they climb, what is dropped; missing arguments;
// exhausted memory; and every size limit on both sides.
#include <cstdio>
#include <string>

#include "model/messages.h"
#include "model/record_store.h"
#include "support/captured_messages.h"
#include "xml/xml_entity.h"
#include "xml_reading.h"

namespace zevo {
namespace {

using testing::chain;
using testing::data_of;
using testing::read_xml_entity;
using testing::read_xml_text;
using ErrorCodes = testing::XmlReaderTest;
using SizeLimits = testing::XmlReaderTest;

const std::string kOverlongText(65536, 'x');

TEST_F(ErrorCodes, WhatFollowsTheLessThanDecidesTheCode) {
  struct Case {
    const char* after_lt;
    int code;
  };
  for (const Case& c :
       {Case{"", XMLERR_EOF}, Case{"/a>", XMLERR_ENDTAG}, Case{"!", XMLERR_EOF},
        Case{"!>", XMLERR_SYNTAX}, Case{"!-x", XMLERR_SYNTAX}, Case{"![", XMLERR_EOF},
        Case{"?", XMLERR_EOF}, Case{"a", XMLERR_EOF}, Case{"a x=\"1\"", XMLERR_EOF}}) {
    const auto read = read_xml_entity(c.after_lt);
    EXPECT_EQ(read.first, nullptr) << c.after_lt;
    EXPECT_EQ(read.code, c.code) << c.after_lt;
  }
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

TEST_F(ErrorCodes, FgetLeavesTheCallersCodeAloneWhenAllIsWell) {
  for (const char* text : {"a/>", "a>x</a>", "!-- c -->", "?p?>", "![CDATA[x]]>"}) {
    FILE* stream = testing::open_text_stream(text);
    int code = 7;
    EXPECT_NE(fget_XMLENTITY(stream, &code), nullptr) << text;
    EXPECT_EQ(code, 7) << text;
    std::fclose(stream);
  }
}

TEST_F(ErrorCodes, StartTagCutOffByTheEndGivesThePartialElement) {
  const auto read = read_xml_entity("a> text ");
  ASSERT_NE(read.first, nullptr);
  EXPECT_EQ(read.code, XMLERR_EOF);
  EXPECT_STREQ(read.first->data, " text ");
}

TEST_F(ErrorCodes, EndOfInputReturnsEveryOpenElementWithItsUntrimmedText) {
  const auto read = read_xml_text("<a> x <b> y <c> z");
  EXPECT_EQ(read.code, XMLERR_EOF);
  XMLENTITY* a = read.first;
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->errflag, XMLERR_EOF);
  EXPECT_STREQ(a->data, " x ");
  XMLENTITY* b = a->children;
  ASSERT_NE(b, nullptr);
  EXPECT_STREQ(b->data, " y ");
  XMLENTITY* c = b->children;
  ASSERT_NE(c, nullptr);
  EXPECT_STREQ(c->data, " z");
  EXPECT_EQ(c->children, nullptr);
  EXPECT_EQ(b->errflag, 0);
  EXPECT_EQ(c->errflag, 0);
}

TEST_F(ErrorCodes, EndOfInputAfterAClosedChild) {
  const auto read = read_xml_text("<a>x<b/>y");
  EXPECT_EQ(read.code, XMLERR_EOF);
  EXPECT_STREQ(read.first->data, "xy");
}

TEST_F(ErrorCodes, CodeOfADeepChildClimbsToTheTop) {
  const auto read = read_xml_text("<a><b><c><!D></c></b></a>");
  EXPECT_EQ(read.code, XMLERR_SYNTAX);
  EXPECT_EQ(read.first->errflag, XMLERR_SYNTAX);
  EXPECT_STREQ(read.first->children->children->data, "");
}

TEST_F(ErrorCodes, LastNonzeroChildCodeWins) {
  // b reports 2 (a declaration inside), c reports 3 (its text overruns; what follows its
  // 65,536th character is content of a again, so a's own end tag is fine).
  const std::string b = "<b><!D></b>";
  const std::string c = "<c>" + kOverlongText;
  EXPECT_EQ(read_xml_text("<a>" + b + c + "</a>").code, XMLERR_OVERRUN);
  EXPECT_EQ(read_xml_text("<a>" + c + b + "</a>").code, XMLERR_SYNTAX);
  EXPECT_EQ(read_xml_text("<a>" + b + "<d/><e></e></a>").code, XMLERR_SYNTAX);
}

TEST_F(ErrorCodes, OwnEndTagProblemReplacesTheChildrensCode) {
  EXPECT_EQ(read_xml_text("<a><!D></a>").code, XMLERR_SYNTAX);
  EXPECT_EQ(read_xml_text("<a><!D></a").code, XMLERR_EOF);
  const auto read = read_xml_text("<a><c>" + kOverlongText + "</b>");
  EXPECT_EQ(read.code, XMLERR_SYNTAX);
  EXPECT_EQ(data_of(read.first->children), "<null>");
}

TEST_F(ErrorCodes, LastNonzeroTopLevelCodeWins) {
  const std::string overrun = "<b>" + kOverlongText + "</b>";
  const auto read = read_xml_text("<!D><a/>" + overrun + "<c/>");
  EXPECT_EQ(read.code, XMLERR_OVERRUN);
  const auto top = chain(read.first);
  ASSERT_EQ(top.size(), 4u);
  EXPECT_EQ(top[0]->errflag, XMLERR_SYNTAX);
  EXPECT_EQ(top[1]->errflag, XMLERR_NONE);
  EXPECT_EQ(top[2]->errflag, XMLERR_OVERRUN);
  EXPECT_EQ(top[3]->errflag, XMLERR_NONE);
  EXPECT_EQ(read_xml_text(overrun + "<!D><c/>").code, XMLERR_SYNTAX);
}

TEST_F(ErrorCodes, FailedMarkupInsideAnElementIsTextAndItsCodeIsDropped) {
  const auto read = read_xml_text("<a><!>x<!-y</a>");
  EXPECT_EQ(read.code, XMLERR_NONE);
  EXPECT_STREQ(read.first->data, "<x<");
  EXPECT_EQ(read.first->children, nullptr);
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
  {
    testing::CapturedMessages messages;
    EXPECT_THROW(fget_XMLENTITY(stream, nullptr), RunEnded);
    EXPECT_EQ(messages.err(), " *** ERROR: NULL errflag pointer in fget_XMLENTITY()\n");
  }
  {
    testing::CapturedMessages messages;
    EXPECT_THROW(fget_XMLENTITY(nullptr, nullptr), RunEnded);
    EXPECT_EQ(messages.err(), " *** ERROR: NULL errflag pointer in fget_XMLENTITY()\n");
  }
  {
    testing::CapturedMessages messages;
    EXPECT_THROW(fget_XMLENTITY(nullptr, &code), RunEnded);
    EXPECT_EQ(messages.err(), " *** ERROR: NULL File Pointer in fget_XMLENTITY()\n");
  }
  std::fclose(stream);
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
      const auto read = read_xml_text("<a x=\"1\">t</a>");
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

TEST_F(SizeLimits, TagTextOf65534IsReadAnd65535GivesCodeThree) {
  const std::string name(65533, 'b');
  const auto fits = read_xml_entity(name + "/>");
  ASSERT_NE(fits.first, nullptr);
  EXPECT_EQ(fits.code, XMLERR_NONE);
  EXPECT_EQ(std::string(fits.first->name), name);
  const auto over = read_xml_entity(name + "b/>");
  EXPECT_EQ(over.first, nullptr);
  EXPECT_EQ(over.code, XMLERR_OVERRUN);
}

TEST_F(SizeLimits, OverlongTagInsideAnElementIsTextAndDoesNotFailTheRead) {
  // The 65,536th character after the '<' (here the closing '>') is consumed with the tag.
  const std::string name(65533, 'b');
  const auto over = read_xml_text("<a><" + name + "b/></a>");
  EXPECT_EQ(over.code, XMLERR_NONE);
  EXPECT_STREQ(over.first->data, "<");
  EXPECT_EQ(over.first->children, nullptr);
  const auto fits = read_xml_text("<a><" + name + "/></a>");
  EXPECT_EQ(fits.code, XMLERR_NONE);
  ASSERT_NE(fits.first->children, nullptr);
  EXPECT_EQ(std::string(fits.first->children->name), name);
}

TEST_F(SizeLimits, ElementTextOf65535IsReadAnd65536GiveCodeThree) {
  const std::string text(65535, 'x');
  const auto fits = read_xml_text("<a>" + text + "</a>");
  EXPECT_EQ(fits.code, XMLERR_NONE);
  EXPECT_EQ(data_of(fits.first), text);
  const auto over = read_xml_text("<a>" + text + "x</a>");
  EXPECT_EQ(over.code, XMLERR_OVERRUN);
  ASSERT_EQ(chain(over.first).size(), 1u);
  EXPECT_EQ(over.first->data, nullptr);
}

TEST_F(SizeLimits, ElementTextCountsAcrossChildrenAndKeptLessThans) {
  const std::string before(40000, 'x');
  const std::string after(25535, 'y');
  const auto fits = read_xml_text("<a>" + before + "<b/>" + after + "</a>");
  EXPECT_EQ(fits.code, XMLERR_NONE);
  EXPECT_EQ(data_of(fits.first), before + after);
  const auto over = read_xml_text("<a>" + before + "<b/>" + after + "y</a>");
  EXPECT_EQ(over.code, XMLERR_OVERRUN);
  ASSERT_NE(over.first->children, nullptr);  // children read so far are kept
  EXPECT_EQ(over.first->data, nullptr);

  const std::string text(65534, 'x');
  const auto kept = read_xml_text("<a>" + text + "<!></a>");
  EXPECT_EQ(kept.code, XMLERR_NONE);
  EXPECT_EQ(data_of(kept.first), text + "<");
  EXPECT_EQ(read_xml_text("<a>" + text + "x<!></a>").code, XMLERR_OVERRUN);
}

TEST_F(SizeLimits, CommentBodyAndCloserMayTake65535) {
  const std::string body(65532, 'c');
  const auto fits = read_xml_entity("!--" + body + "-->");
  ASSERT_NE(fits.first, nullptr);
  EXPECT_EQ(data_of(fits.first), body);
  // Here the 65,536th character stored would complete the closer: still too long.
  const auto over = read_xml_entity("!--" + body + "c-->");
  EXPECT_EQ(over.first, nullptr);
  EXPECT_EQ(over.code, XMLERR_OVERRUN);
  // Inside an element: the '<' stays as text, the closer was consumed, the read is fine.
  const auto inside = read_xml_text("<a><!--" + body + "c--></a>");
  EXPECT_EQ(inside.code, XMLERR_NONE);
  EXPECT_STREQ(inside.first->data, "<");
}

TEST_F(SizeLimits, CdataBodyAndCloserMayTake65535) {
  const std::string body(65532, 'd');
  const auto fits = read_xml_entity("![CDATA[" + body + "]]>");
  ASSERT_NE(fits.first, nullptr);
  EXPECT_EQ(data_of(fits.first), body);
  const auto over = read_xml_entity("![CDATA[" + body + "d]]>");
  EXPECT_EQ(over.first, nullptr);
  EXPECT_EQ(over.code, XMLERR_OVERRUN);
}

TEST_F(SizeLimits, ProcessingInstructionBodyAndCloserMayTake65535) {
  const std::string body(65533, 'p');
  const auto fits = read_xml_entity("?" + body + "?>");
  ASSERT_NE(fits.first, nullptr);
  EXPECT_EQ(data_of(fits.first), body);
  const auto over = read_xml_entity("?" + body + "p?>");
  EXPECT_EQ(over.first, nullptr);
  EXPECT_EQ(over.code, XMLERR_OVERRUN);
}

TEST_F(SizeLimits, DeclarationMayTake65535AfterItsFirstCharacter) {
  // Counted: the characters after the first one, the closing '>' included.
  const std::string rest(65534, 'e');
  const auto fits = read_xml_entity("!D" + rest + ">");
  ASSERT_NE(fits.first, nullptr);
  EXPECT_EQ(fits.code, XMLERR_SYNTAX);
  EXPECT_EQ(data_of(fits.first), "D" + rest);
  const auto over = read_xml_entity("!D" + rest + "e>");
  EXPECT_EQ(over.first, nullptr);
  EXPECT_EQ(over.code, XMLERR_OVERRUN);
}

}  // namespace
}  // namespace zevo
