// The document reader on small documents: root checks, records and their order, warnings,
// conversions, and the out-of-memory message of every record the element readers allocate.
#include "input/read_xml_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "input/reading_cases.h"
#include "model/messages.h"
#include "model/record_store.h"
#include "support/captured_messages.h"
#include "xml/xml_reader.h"

namespace zevo {
namespace {

using testing::CapturedMessages;
using testing::expect_reading;
using testing::read_document;
using testing::ReadingCase;

TEST(ReadXmlFile, DocumentsThatEndTheRun) {
  const ReadingCase cases[] = {
      {"declaration before the root", "<?xml version=\"1.0\"?><zevo/>",
       " *** ERROR:  (processing instruction) Not a zevo XML file\n"
       " *** in memory.xml at line 1, column 1\n",
       nullptr},
      {"comment before the root", "<!-- net --><zevo/>",
       " *** ERROR:  (comment) Not a zevo XML file\n"
       " *** in memory.xml at line 1, column 1\n",
       nullptr},
      {"other root", "<Network><lc/></Network>",
       " *** ERROR:  (network) Not a zevo XML file\n"
       " *** in memory.xml at line 1, column 1, in element <network>\n",
       nullptr},
      {"empty", "",
       " *** ERROR: (0) Error encountered in reading XML file\n"
       " *** in memory.xml at line 1, column 1\n",
       nullptr},
      {"no markup", "just text\n",
       " *** ERROR: (0) Error encountered in reading XML file\n"
       " *** in memory.xml at line 2, column 1\n",
       nullptr},
      {"cut short", "<zevo><lc><name>A</name>",
       " *** ERROR: (1) Error encountered in reading XML file\n"
       " *** in memory.xml at line 1, column 25, in element <lc>\n",
       nullptr},
      {"wrong end tag", "<zevo><lc></LC></zevo>",
       " *** ERROR: (2) Error encountered in reading XML file\n"
       " *** in memory.xml at line 1, column 13, in element <lc>\n",
       nullptr},
      // The place is that of the byte where the problem was found, in the element being read.
      {"wrong end tag on its line", "<zevo>\n  <lc>\n    <name>A</name>\n  </LC>\n</zevo>\n",
       " *** ERROR: (2) Error encountered in reading XML file\n"
       " *** in memory.xml at line 4, column 5, in element <lc>\n",
       nullptr},
      {"cut short in the innermost element", "<zevo>\n  <lc>\n    <name>A",
       " *** ERROR: (1) Error encountered in reading XML file\n"
       " *** in memory.xml at line 3, column 12, in element <name>\n",
       nullptr},
      // What follows the character that overran is text of the enclosing element.
      {"text too long", "<zevo>\n<lc><name>" + std::string(65536, 'x') + "</lc></zevo>",
       " *** ERROR: (3) Error encountered in reading XML file\n"
       " *** in memory.xml at line 2, column 65546, in element <name>\n",
       nullptr},
      {"declaration", "<zevo>\n <!DOCTYPE x>\n</zevo>",
       " *** ERROR: (2) Error encountered in reading XML file\n"
       " *** in memory.xml at line 2, column 2, in element <zevo>\n",
       nullptr},
      // The last code of the top level is the read's, and its place too.
      {"last problem of the top level", "<zevo><lc></Lc></zevo>\n<!D>\r\n<a>",
       " *** ERROR: (1) Error encountered in reading XML file\n"
       " *** in memory.xml at line 3, column 4, in element <a>\n",
       nullptr},
  };
  for (const ReadingCase& reading : cases) expect_reading(reading);
}

TEST(ReadXmlFile, MissingInputStreamEndsTheRun) {
  CapturedMessages messages;
  ZEVO_CONTEXT context;
  zevo_init(&context);
  EXPECT_THROW(read_xml_file(&context), RunEnded);
  EXPECT_EQ(messages.err(), " *** ERROR: NULL pointer for FILE zevo->xin in read_xml_file()\n");
  release_all_records();
}

TEST(ReadXmlFile, RecordsAndTheirOrder) {
  const ReadingCase cases[] = {
      {"tags in any case, texts keep theirs",
       "<ZeVo><SwitchBoard><NAME>Sb1</NAME><Condition><Name>Normal</Name>"
       "<GENERATION>5</GENERATION><LOAD>2</LOAD></Condition></SwitchBoard></ZeVo>",
       "", "lc Sb1 (Normal 5 2)\n"},
      {"entities after the root are not read",
       "<zevo><debug>1</debug></zevo>\n<lc><name>A</name></lc><bogus/>", "", "debug 1\n"},
      {"every list in reverse document order",
       "<zevo>"
       " <lc><name>A</name><condition><name>N1</name></condition>"
       "     <condition><name>N2</name></condition></lc>"
       " <lc><name>B</name></lc>"
       " <output><condition>normal</condition><cable>X</cable></output>"
       " <lc><name>C</name></lc>"
       " <cable><name>K1</name><lc>A</lc><lc>B</lc></cable>"
       " <cable><name>K2</name><lc>B</lc><lc>C</lc></cable>"
       " <bt><name>T1</name><lc>A</lc><lc>C</lc>"
       "     <condition><name>M1</name></condition><condition><name>M2</name></condition></bt>"
       " <bus_transfer><name>T2</name></bus_transfer>"
       " <output><condition>peak</condition><cable>Y</cable></output>"
       "</zevo>",
       "",
       "lc C\nlc B\nlc A (N2 0 0) (N1 0 0)\ncable K2 B C\ncable K1 A B\n"
       "bt T2 <null> <null>\nbt T1 A C (M2 0 0) (M1 0 0)\n"
       "want condition peak\nwant condition normal\nwant cable Y\nwant cable X\n"},
      {"end points by any lc synonym, comments ignored",
       "<zevo><cable><lc>SB1</lc><comment/><name>C1</name><powerpanel>PP2</powerpanel></cable>"
       "<bt><name>BT1</name><pcm>P1</pcm><comment>x</comment><bus_node>N2</bus_node>"
       "<condition><name>n</name><generation>7</generation><load>3.5</load></condition>"
       "</bt></zevo>",
       "", "cable C1 SB1 PP2\nbt BT1 P1 N2 (n 7 3.5)\n"},
      {"every load centre synonym",
       "<zevo><lc><name>1</name></lc><bus_node><name>2</name></bus_node>"
       "<switchboard><name>3</name></switchboard><powerpanel><name>4</name></powerpanel>"
       "<load><name>5</name></load><pgm><name>6</name></pgm><pmm><name>7</name></pmm>"
       "<pcm><name>8</name></pcm></zevo>",
       "", "lc 8\nlc 7\nlc 6\nlc 5\nlc 4\nlc 3\nlc 2\nlc 1\n"},
      // An attribute names nothing: every value of the document is an element's text.
      {"lc named by name or id, the last one wins",
       "<zevo><lc><id>A</id></lc><lc><id>B</id><name>C</name></lc>"
       "<lc name=\"D\"><condition/></lc><lc/></zevo>",
       "", "lc <null>\nlc <null> (<null> 0 0)\nlc C\nlc A\n"},
      {"load is an lc, an end point or a value by its place",
       "<zevo><load><name>L</name><condition><load>42</load></condition></load>"
       "<cable><load>L</load><load>M</load></cable>"
       "<bt><name>T</name><load>L</load><lc>M</lc></bt></zevo>",
       "", "lc L (<null> 0 42)\ncable <null> L M\nbt T L M\n"},
      {"condition, generation and bus transfer agree in eight characters",
       "<zevo><lc><name>A</name>"
       "<conditio><generati>1</generati></conditio>"
       "<conditions><generations>2</generations></conditions>"
       "<conditioned><gen>3</gen></conditioned>"
       "<conditi/><cond/></lc>"
       "<bus_tran><name>B1</name></bus_tran><bus_transfers><name>B2</name></bus_transfers>"
       "<bt><name>B3</name></bt><bus_tra/>"
       "<output><conditions>normal</conditions><condition_x>peak</condition_x><conditi/></output>"
       "</zevo>",
       " *** WARNING: Unknown tag (gen) ignored\n"
       " *** WARNING: Unknown tag (conditi) ignored\n"
       " *** WARNING: Unknown tag (cond) ignored\n"
       " *** WARNING: Unknown tag (bus_tra) ignored\n"
       " *** WARNING: Unknown tag (conditi) ignored\n",
       "lc A (<null> 0 0) (<null> 2 0) (<null> 1 0)\n"
       "bt B3 <null> <null>\nbt B2 <null> <null>\nbt B1 <null> <null>\n"
       "want condition peak\nwant condition normal\n"},
      {"end points without text leave their slot free",
       "<zevo><cable><name>C1</name><lc/><lc/><lc>A</lc><lc/><lc>B</lc></cable>"
       "<cable><name>C2</name><lc>A</lc></cable><cable><name>C3</name><lc></lc><lc>B</lc></cable>"
       "</zevo>",
       "", "cable C3 <empty> B\ncable C2 A <null>\ncable C1 A B\n"},
      {"requests without text are kept without name",
       "<zevo><output><condition/><cable/><cable>X</cable></output></zevo>", "",
       "want condition <null>\nwant cable X\nwant cable <null>\n"},
  };
  for (const ReadingCase& reading : cases) expect_reading(reading);
}

TEST(ReadXmlFile, Warnings) {
  const ReadingCase cases[] = {
      // The warned elements change nothing: `id` does not name a cable or a bus transfer.
      {"unknown tags, with the variant of their place",
       "<zevo><network/>"
       "<lc><name>A</name><type>x</type><include>f.xml</include>"
       "<condition><name>n</name><peak>1</peak></condition></lc>"
       "<cable><name>C</name><id>C9</id><length>3</length></cable>"
       "<bt><name>T</name><id>T9</id><condition><name>n</name><value>1</value></condition></bt>"
       "<output><format>csv</format></output></zevo>",
       " *** WARNING: Unknown tag (network) ignored\n"
       " *** WARNING: Unknown tag (type) ignored\n"
       " *** WARNING: Unknown tag (include) ignored\n"
       " *** WARNING: Unknown tag (peak) ignored\n"
       " *** WARNING: Unknown tag (id) ignored\n"
       " *** WARNING: Unknown tag (length) ignored\n"
       " *** WARNING: Unknown tag (id) ignored (bt)\n"
       " *** WARNING: Unknown tag (value) ignored (c)\n"
       " *** WARNING: Unknown tag (format) ignored\n",
       "lc A (n 0 0)\ncable C <null> <null>\nbt T <null> <null> (n 0 0)\n"},
      {"comments are warned only directly inside an lc",
       "<zevo><!-- top --><comment>top element</comment><?pi x?>"
       "<lc><name>A</name><!-- in lc --><condition><!-- in condition --></condition></lc>"
       "<cable><!-- in cable --></cable><bt><!-- in bt --><condition><!-- c --></condition></bt>"
       "<output><!-- in output --><![CDATA[raw]]></output></zevo>",
       " *** WARNING: Unknown tag (comment) ignored\n"
       " *** WARNING: Unknown tag (cdata) ignored\n",
       "lc A (<null> 0 0)\ncable <null> <null> <null>\nbt <null> <null> <null> (<null> 0 0)\n"},
      {"third end point, with the name read so far",
       "<zevo><cable><name>C1</name><lc>A</lc><lc>B</lc><lc>X</lc></cable>"
       "<cable><lc>A</lc><lc>B</lc><lc>X</lc><name>C2</name></cable>"
       "<bt><name>T1</name><lc>A</lc><lc>B</lc><switchboard>X</switchboard></bt>"
       "<bt><lc>A</lc><lc>B</lc><lc/><name>T2</name></bt></zevo>",
       " *** WARNING: more than 2 lc tags for cable (C1)\n"
       " *** WARNING: more than 2 lc tags for cable (NULL)\n"
       " *** WARNING: more than 2 lc tags for bus transfer (T1) (X)\n"
       " *** WARNING: more than 2 lc tags for bus transfer (NULL) (NULL)\n",
       "cable C2 A B\ncable C1 A B\nbt T2 A B\nbt T1 A B\n"},
  };
  for (const ReadingCase& reading : cases) expect_reading(reading);
}

TEST(ReadXmlFile, NumbersDebugAndOutputFile) {
  const ReadingCase cases[] = {
      // The later generation wins; strtod reads hexadecimal; <generation/> converts as "".
      {"generation and load as strtod converts them",
       "<zevo><lc>"
       "<condition><generation>1.5e3 kW</generation><load>abc</load></condition>"
       "<condition><generation>-2.5</generation><load>1e</load></condition>"
       "<condition><generation>nan</generation><load>Infinity</load></condition>"
       "<condition><generation/><load>inf</load></condition>"
       "<condition><generation>1</generation><generation>0x10</generation><load>.5</load>"
       "<load></load></condition>"
       "</lc></zevo>",
       "",
       "lc <null> (<null> 16 0) (<null> 0 inf) (<null> nan inf) (<null> -2.5 1)"
       " (<null> 1500 0)\n"},
      {"debug not a number", "<zevo><debug>on</debug></zevo>", "", ""},
      {"debug after blanks", "<zevo><debug>  -7 marks</debug></zevo>", "", "debug -7\n"},
      {"a later debug without text sets 0", "<zevo><debug>3</debug><debug/></zevo>", "", ""},
      {"debug in base 10", "<zevo><debug>010</debug></zevo>", "", "debug 10\n"},
      // The long result is narrowed to the 32-bit field: 2^32 + 2 becomes 2.
      {"debug narrowed", "<zevo><debug>4294967298</debug></zevo>", "", "debug 2\n"},
      {"last filename wins",
       "<zevo><output><filename>a.csv</filename></output>"
       "<output><filename>b.csv</filename></output></zevo>",
       "", "outfile b.csv\n"},
      {"filename without text resets it",
       "<zevo><output><filename>a.csv</filename><filename/></output></zevo>", "", ""},
      {"empty filename", "<zevo><output><filename></filename></output></zevo>", "",
       "outfile <empty>\n"},
  };
  for (const ReadingCase& reading : cases) expect_reading(reading);
}

TEST(ReadXmlFile, EveryRequestedCableHasAResultOfItsOwn) {
  const ZEVO_CONTEXT context =
      read_document("<zevo><output><cable>X</cable><cable/></output></zevo>");
  EXPECT_NE(context.calc_connections->results, context.calc_connections->next->results);
  release_all_records();
}

// The element tree of `text`, read before any allocation is made to fail.
XMLENTITY* element_of(const std::string& text) {
  FILE* stream = testing::open_text_stream(text);
  int errflag = 0;
  XMLENTITY* element = readfile_XMLENTITY(stream, &errflag);
  std::fclose(stream);
  EXPECT_EQ(errflag, 0);
  return element;
}

TEST(ReadXmlFile, EveryRecordNamesItsSiteWhenMemoryIsExhausted) {
  struct Case {
    void (*read)(ZEVO_CONTEXT*, const XMLENTITY*);
    const char* element;
    long failing_allocation;
    const char* message;
  };
  const Case cases[] = {
      {read_output, "<output><condition>n</condition></output>", 1,
       " *** ERROR: out of memory while reading xml file (cc)\n"},
      {read_output, "<output><cable>X</cable></output>", 1,
       " *** ERROR: out of memory while reading xml file (cn)\n"},
      {read_output, "<output><cable>X</cable></output>", 2,
       " *** ERROR: out of memory while reading xml file (cnrs)\n"},
      {read_load_centre, "<lc><condition><name>n</name></condition></lc>", 1,
       " *** ERROR: out of memory while reading xml file (nn)\n"},
      {read_load_centre, "<lc><condition><name>n</name></condition></lc>", 2,
       " *** ERROR: out of memory while reading xml file (cc1)\n"},
      {read_cable, "<cable><lc>A</lc></cable>", 1,
       " *** ERROR: out of memory while reading xml file (cc2)\n"},
      {read_bus_transfer, "<bt><condition/></bt>", 1,
       " *** ERROR: out of memory while reading xml file (bt)\n"},
      {read_bus_transfer, "<bt><condition/></bt>", 2,
       " *** ERROR: out of memory while reading xml file (cc1)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.element);
    ZEVO_CONTEXT context;
    zevo_init(&context);
    const XMLENTITY* element = element_of(c.element);
    CapturedMessages messages;
    fail_allocation_after(c.failing_allocation);
    EXPECT_THROW(c.read(&context, element), RunEnded);
    fail_allocation_after(0);
    EXPECT_EQ(messages.err(), c.message);
    release_all_records();
  }
}

}  // namespace
}  // namespace zevo
