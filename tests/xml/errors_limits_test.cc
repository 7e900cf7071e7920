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

using testing::expect_documents;
using testing::expect_entities;
using ErrorCodes = testing::XmlReaderTest;
using SizeLimits = testing::XmlReaderTest;

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
}

}  // namespace
}  // namespace zevo
