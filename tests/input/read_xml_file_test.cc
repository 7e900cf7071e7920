// The document reader on small documents: root checks, records and their order, warnings.
#include "input/read_xml_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "input_test_support.h"
#include "model/messages.h"
#include "model/record_store.h"
#include "support/captured_messages.h"

namespace zevo {
namespace {

using testing::CapturedMessages;
using testing::names_of;
using testing::read_document;
using testing::text_of;
using Names = std::vector<std::string>;

class ReadXmlFile : public ::testing::Test {
 protected:
  void TearDown() override { release_all_records(); }

  // Reads `document`, expecting the run to end; returns what was printed on the error stream.
  static std::string fatal_error_of(const std::string& document) {
    CapturedMessages messages;
    EXPECT_THROW(read_document(document), RunEnded);
    EXPECT_EQ(messages.out(), "");
    return messages.err();
  }
};

// ---- root checks ----

TEST_F(ReadXmlFile, RootAndTagsInAnyCaseAreAcceptedButTextsKeepTheirCase) {
  CapturedMessages messages;
  const ZEVO_CONTEXT context = read_document(
      "<ZeVo><SwitchBoard><NAME>Sb1</NAME><Condition><Name>Normal</Name>"
      "<GENERATION>5</GENERATION><LOAD>2</LOAD></Condition></SwitchBoard></ZeVo>");
  EXPECT_EQ(messages.err(), "");
  ASSERT_EQ(context.nbr_nodes, 1);
  EXPECT_EQ(text_of(context.nodes->name), "Sb1");
  ASSERT_NE(context.nodes->conditions, nullptr);
  EXPECT_EQ(text_of(context.nodes->conditions->name), "Normal");
  EXPECT_EQ(context.nodes->conditions->generation, 5.0);
  EXPECT_EQ(context.nodes->conditions->load, 2.0);
}

TEST_F(ReadXmlFile, MarkupBeforeTheRootIsTakenForTheRootAndRejected) {
  EXPECT_EQ(fatal_error_of("<?xml version=\"1.0\"?><zevo/>"),
            " *** ERROR:  (processing instruction) Not a zevo XML file\n");
  EXPECT_EQ(fatal_error_of("<!-- net --><zevo/>"), " *** ERROR:  (comment) Not a zevo XML file\n");
  EXPECT_EQ(fatal_error_of("<Network><lc/></Network>"),
            " *** ERROR:  (network) Not a zevo XML file\n");
}

TEST_F(ReadXmlFile, DocumentWithoutMarkupIsAReadErrorWithCodeZero) {
  EXPECT_EQ(fatal_error_of(""), " *** ERROR: (0) Error encountered in reading XML file\n");
  EXPECT_EQ(fatal_error_of("just text\n"),
            " *** ERROR: (0) Error encountered in reading XML file\n");
}

TEST_F(ReadXmlFile, ReadErrorsReportTheirCode) {
  EXPECT_EQ(fatal_error_of("<zevo><lc><name>A</name>"),
            " *** ERROR: (1) Error encountered in reading XML file\n");
  EXPECT_EQ(fatal_error_of("<zevo><lc></LC></zevo>"),
            " *** ERROR: (2) Error encountered in reading XML file\n");
}

TEST_F(ReadXmlFile, MissingInputStreamEndsTheRun) {
  CapturedMessages messages;
  ZEVO_CONTEXT context;
  zevo_init(&context);
  EXPECT_THROW(read_xml_file(&context), RunEnded);
  EXPECT_EQ(messages.err(), " *** ERROR: NULL pointer for FILE zevo->xin in read_xml_file()\n");
}

TEST_F(ReadXmlFile, EntitiesAfterTheRootAreNotRead) {
  CapturedMessages messages;
  const ZEVO_CONTEXT context =
      read_document("<zevo><debug>1</debug></zevo>\n<lc><name>A</name></lc><bogus/>");
  EXPECT_EQ(messages.err(), "");
  EXPECT_EQ(context.nbr_nodes, 0);
  EXPECT_EQ(context.nodes, nullptr);
  EXPECT_EQ(context.debug, 1);
}

// ---- records and their order ----

TEST_F(ReadXmlFile, EveryListHoldsItsRecordsInReverseDocumentOrder) {
  CapturedMessages messages;
  const ZEVO_CONTEXT context = read_document(
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
      "</zevo>");
  EXPECT_EQ(messages.err(), "");
  EXPECT_EQ(names_of(context.nodes), (Names{"C", "B", "A"}));
  EXPECT_EQ(context.nbr_nodes, 3);
  EXPECT_EQ(names_of(context.nodes->next->next->conditions), (Names{"N2", "N1"}));
  EXPECT_EQ(names_of(context.connections), (Names{"K2", "K1"}));
  EXPECT_EQ(context.nbr_connections, 2);
  EXPECT_EQ(names_of(context.bustransfers), (Names{"T2", "T1"}));
  EXPECT_EQ(context.nbr_bustransfers, 2);
  EXPECT_EQ(names_of(context.bustransfers->next->conditions), (Names{"M2", "M1"}));
  EXPECT_EQ(names_of(context.calc_conditions), (Names{"peak", "normal"}));
  EXPECT_EQ(context.nbr_calc_conditions, 2);
  EXPECT_EQ(names_of(context.calc_connections), (Names{"Y", "X"}));
  EXPECT_EQ(context.nbr_calc_connections, 2);
}

TEST_F(ReadXmlFile, CableAndBusTransferKeepTheirNamesAndEndPoints) {
  CapturedMessages messages;
  const ZEVO_CONTEXT context = read_document(
      "<zevo><cable><lc>SB1</lc><comment/><name>C1</name><powerpanel>PP2</powerpanel></cable>"
      "<bt><name>BT1</name><pcm>P1</pcm><comment>x</comment><bus_node>N2</bus_node>"
      "<condition><name>n</name><generation>7</generation><load>3.5</load></condition>"
      "</bt></zevo>");
  EXPECT_EQ(messages.err(), "");
  const CONNECTION* cable = context.connections;
  EXPECT_EQ(text_of(cable->name), "C1");
  EXPECT_EQ(text_of(cable->lc1), "SB1");
  EXPECT_EQ(text_of(cable->lc2), "PP2");
  EXPECT_EQ(cable->n1, nullptr);
  EXPECT_EQ(cable->n2, nullptr);
  const BUS_TRANSFER* bt = context.bustransfers;
  EXPECT_EQ(text_of(bt->name), "BT1");
  EXPECT_EQ(text_of(bt->lc1), "P1");
  EXPECT_EQ(text_of(bt->lc2), "N2");
  ASSERT_NE(bt->conditions, nullptr);
  EXPECT_EQ(bt->conditions->generation, 7.0);
  EXPECT_EQ(bt->conditions->load, 3.5);
}

TEST_F(ReadXmlFile, RequestedCablesGetAZeroedResultOfTheirOwn) {
  const ZEVO_CONTEXT context =
      read_document("<zevo><output><cable>X</cable><cable>Y</cable></output></zevo>");
  for (const CALC_CONNECTION* c = context.calc_connections; c; c = c->next) {
    ASSERT_NE(c->results, nullptr);
    EXPECT_EQ(c->results->val, 0.0);
    EXPECT_EQ(c->results->nbr_conditions, 0);
    EXPECT_EQ(c->results->condition, nullptr);
    EXPECT_EQ(c->results->c_val, nullptr);
    EXPECT_EQ(c->results->nw, nullptr);
    EXPECT_EQ(c->c, nullptr);
    EXPECT_EQ(c->cut_connections, nullptr);
  }
  EXPECT_NE(context.calc_connections->results, context.calc_connections->next->results);
}

TEST_F(ReadXmlFile, EveryLoadCentreSynonymMakesALoadCentre) {
  CapturedMessages messages;
  const ZEVO_CONTEXT context = read_document(
      "<zevo><lc><name>1</name></lc><bus_node><name>2</name></bus_node>"
      "<switchboard><name>3</name></switchboard><powerpanel><name>4</name></powerpanel>"
      "<load><name>5</name></load><pgm><name>6</name></pgm><pmm><name>7</name></pmm>"
      "<pcm><name>8</name></pcm></zevo>");
  EXPECT_EQ(messages.err(), "");
  EXPECT_EQ(names_of(context.nodes), (Names{"8", "7", "6", "5", "4", "3", "2", "1"}));
  EXPECT_EQ(context.nbr_nodes, 8);
}

TEST_F(ReadXmlFile, LoadCentreIsNamedByNameOrIdAndTheLastOneWins) {
  CapturedMessages messages;
  const ZEVO_CONTEXT context = read_document(
      "<zevo><lc><id>A</id></lc><lc><id>B</id><name>C</name></lc>"
      "<lc name=\"D\"><condition/></lc><lc/></zevo>");
  EXPECT_EQ(messages.err(), "");
  // An attribute names nothing: every value of the document is an element's text.
  EXPECT_EQ(names_of(context.nodes), (Names{"<null>", "<null>", "C", "A"}));
}

TEST_F(ReadXmlFile, LoadIsALoadCentreOrAnEndPointOrAValueByItsPlace) {
  CapturedMessages messages;
  const ZEVO_CONTEXT context = read_document(
      "<zevo><load><name>L</name><condition><load>42</load></condition></load>"
      "<cable><load>L</load><load>M</load></cable>"
      "<bt><name>T</name><load>L</load><lc>M</lc></bt></zevo>");
  EXPECT_EQ(messages.err(), "");
  ASSERT_EQ(context.nbr_nodes, 1);
  EXPECT_EQ(context.nodes->conditions->load, 42.0);
  EXPECT_EQ(text_of(context.connections->lc1), "L");
  EXPECT_EQ(text_of(context.connections->lc2), "M");
  EXPECT_EQ(text_of(context.bustransfers->lc1), "L");
  EXPECT_EQ(text_of(context.bustransfers->lc2), "M");
}

TEST_F(ReadXmlFile, ConditionGenerationAndBusTransferAgreeInTheirFirstEightCharacters) {
  CapturedMessages messages;
  const ZEVO_CONTEXT context = read_document(
      "<zevo><lc><name>A</name>"
      "<conditio><generati>1</generati></conditio>"
      "<conditions><generations>2</generations></conditions>"
      "<conditioned><gen>3</gen></conditioned>"
      "<conditi/><cond/></lc>"
      "<bus_tran><name>B1</name></bus_tran><bus_transfers><name>B2</name></bus_transfers>"
      "<bt><name>B3</name></bt><bus_tra/>"
      "<output><conditions>normal</conditions><condition_x>peak</condition_x><conditi/></output>"
      "</zevo>");
  EXPECT_EQ(messages.err(),
            " *** WARNING: Unknown tag (gen) ignored\n"
            " *** WARNING: Unknown tag (conditi) ignored\n"
            " *** WARNING: Unknown tag (cond) ignored\n"
            " *** WARNING: Unknown tag (bus_tra) ignored\n"
            " *** WARNING: Unknown tag (conditi) ignored\n");
  ASSERT_EQ(context.nbr_nodes, 1);
  std::vector<double> generations;
  for (const CONDITION* c = context.nodes->conditions; c; c = c->next) {
    generations.push_back(c->generation);
  }
  EXPECT_EQ(generations, (std::vector<double>{0.0, 2.0, 1.0}));
  EXPECT_EQ(names_of(context.bustransfers), (Names{"B3", "B2", "B1"}));
  EXPECT_EQ(names_of(context.calc_conditions), (Names{"peak", "normal"}));
}

// ---- warnings ----

TEST_F(ReadXmlFile, UnknownTagsAreWarnedWithTheVariantOfTheirPlace) {
  CapturedMessages messages;
  const ZEVO_CONTEXT context = read_document(
      "<zevo><network/>"
      "<lc><name>A</name><type>x</type><include>f.xml</include>"
      "<condition><name>n</name><peak>1</peak></condition></lc>"
      "<cable><name>C</name><id>C9</id><length>3</length></cable>"
      "<bt><name>T</name><id>T9</id><condition><name>n</name><value>1</value></condition></bt>"
      "<output><format>csv</format></output></zevo>");
  EXPECT_EQ(messages.err(),
            " *** WARNING: Unknown tag (network) ignored\n"
            " *** WARNING: Unknown tag (type) ignored\n"
            " *** WARNING: Unknown tag (include) ignored\n"
            " *** WARNING: Unknown tag (peak) ignored\n"
            " *** WARNING: Unknown tag (id) ignored\n"
            " *** WARNING: Unknown tag (length) ignored\n"
            " *** WARNING: Unknown tag (id) ignored (bt)\n"
            " *** WARNING: Unknown tag (value) ignored (c)\n"
            " *** WARNING: Unknown tag (format) ignored\n");
  // The warned elements change nothing: `id` does not name a cable or a bus transfer.
  EXPECT_EQ(names_of(context.nodes), (Names{"A"}));
  EXPECT_EQ(names_of(context.connections), (Names{"C"}));
  EXPECT_EQ(names_of(context.bustransfers), (Names{"T"}));
  EXPECT_EQ(context.calc_conditions, nullptr);
}

TEST_F(ReadXmlFile, CommentsAreWarnedOnlyDirectlyInsideALoadCentre) {
  CapturedMessages messages;
  read_document(
      "<zevo><!-- top --><comment>top element</comment><?pi x?>"
      "<lc><name>A</name><!-- in lc --><condition><!-- in condition --></condition></lc>"
      "<cable><!-- in cable --></cable><bt><!-- in bt --><condition><!-- c --></condition></bt>"
      "<output><!-- in output --><![CDATA[raw]]></output></zevo>");
  EXPECT_EQ(messages.err(),
            " *** WARNING: Unknown tag (comment) ignored\n"
            " *** WARNING: Unknown tag (cdata) ignored\n");
}

TEST_F(ReadXmlFile, ThirdEndPointIsWarnedWithTheNameReadSoFar) {
  CapturedMessages messages;
  const ZEVO_CONTEXT context = read_document(
      "<zevo><cable><name>C1</name><lc>A</lc><lc>B</lc><lc>X</lc></cable>"
      "<cable><lc>A</lc><lc>B</lc><lc>X</lc><name>C2</name></cable>"
      "<bt><name>T1</name><lc>A</lc><lc>B</lc><switchboard>X</switchboard></bt>"
      "<bt><lc>A</lc><lc>B</lc><lc/><name>T2</name></bt></zevo>");
  EXPECT_EQ(messages.err(),
            " *** WARNING: more than 2 lc tags for cable (C1)\n"
            " *** WARNING: more than 2 lc tags for cable (NULL)\n"
            " *** WARNING: more than 2 lc tags for bus transfer (T1) (X)\n"
            " *** WARNING: more than 2 lc tags for bus transfer (NULL) (NULL)\n");
  for (const CONNECTION* c = context.connections; c; c = c->next) {
    EXPECT_EQ(text_of(c->lc1), "A");
    EXPECT_EQ(text_of(c->lc2), "B");
  }
  for (const BUS_TRANSFER* bt = context.bustransfers; bt; bt = bt->next) {
    EXPECT_EQ(text_of(bt->lc1), "A");
    EXPECT_EQ(text_of(bt->lc2), "B");
  }
}

TEST_F(ReadXmlFile, EndPointsWithoutTextLeaveTheirSlotFree) {
  CapturedMessages messages;
  const ZEVO_CONTEXT context = read_document(
      "<zevo><cable><name>C1</name><lc/><lc/><lc>A</lc><lc/><lc>B</lc></cable>"
      "<cable><name>C2</name><lc>A</lc></cable><cable><name>C3</name><lc></lc><lc>B</lc></cable>"
      "</zevo>");
  EXPECT_EQ(messages.err(), "");
  const CONNECTION* c3 = context.connections;
  EXPECT_EQ(text_of(c3->lc1), "");  // an empty text is a text
  EXPECT_EQ(text_of(c3->lc2), "B");
  const CONNECTION* c2 = c3->next;
  EXPECT_EQ(text_of(c2->lc1), "A");
  EXPECT_EQ(text_of(c2->lc2), "<null>");
  const CONNECTION* c1 = c2->next;
  EXPECT_EQ(text_of(c1->lc1), "A");
  EXPECT_EQ(text_of(c1->lc2), "B");
}

// ---- numbers, debug and the output file name ----

TEST_F(ReadXmlFile, GenerationAndLoadConvertAsStrtodDoes) {
  const ZEVO_CONTEXT context = read_document(
      "<zevo><lc>"
      "<condition><generation>1.5e3 kW</generation><load>abc</load></condition>"
      "<condition><generation>-2.5</generation><load>1e</load></condition>"
      "<condition><generation>nan</generation><load>Infinity</load></condition>"
      "<condition><generation/><load>inf</load></condition>"
      "<condition><generation>1</generation><generation>0x10</generation><load>.5</load>"
      "<load></load></condition>"
      "</lc></zevo>");
  const CONDITION* c = context.nodes->conditions;
  EXPECT_EQ(c->generation, 16.0);  // the later one wins; strtod reads hexadecimal
  EXPECT_EQ(c->load, 0.0);
  c = c->next;
  EXPECT_EQ(c->generation, 0.0);  // empty-element form
  EXPECT_TRUE(std::isinf(c->load) && c->load > 0);
  c = c->next;
  EXPECT_TRUE(std::isnan(c->generation));
  EXPECT_TRUE(std::isinf(c->load) && c->load > 0);
  c = c->next;
  EXPECT_EQ(c->generation, -2.5);
  EXPECT_EQ(c->load, 1.0);
  c = c->next;
  EXPECT_EQ(c->generation, 1500.0);
  EXPECT_EQ(c->load, 0.0);
}

TEST_F(ReadXmlFile, DebugConvertsAsStrtolDoesAndTheLastOneWins) {
  EXPECT_EQ(read_document("<zevo><debug>2</debug></zevo>").debug, 2);
  EXPECT_EQ(read_document("<zevo><debug>on</debug></zevo>").debug, 0);
  EXPECT_EQ(read_document("<zevo><debug>  -7 marks</debug></zevo>").debug, -7);
  EXPECT_EQ(read_document("<zevo><debug>3</debug><debug>0</debug></zevo>").debug, 0);
  EXPECT_EQ(read_document("<zevo><debug>3</debug><debug/></zevo>").debug, 0);
  EXPECT_EQ(read_document("<zevo><debug>010</debug></zevo>").debug, 10);  // base 10
  // The long result is narrowed to the 32-bit field: 2^32 + 2 becomes 2.
  EXPECT_EQ(read_document("<zevo><debug>4294967298</debug></zevo>").debug, 2);
}

TEST_F(ReadXmlFile, FilenameSetsTheOutputFileAndTheLastOneWins) {
  EXPECT_EQ(text_of(read_document("<zevo></zevo>").outfile), "<null>");
  EXPECT_EQ(
      text_of(read_document("<zevo><output><filename>a.csv</filename></output></zevo>").outfile),
      "a.csv");
  EXPECT_EQ(text_of(read_document("<zevo><output><filename>a.csv</filename></output>"
                                  "<output><filename>b.csv</filename></output></zevo>")
                        .outfile),
            "b.csv");
  EXPECT_EQ(text_of(read_document("<zevo><output><filename>a.csv</filename><filename/>"
                                  "</output></zevo>")
                        .outfile),
            "<null>");
  EXPECT_EQ(text_of(read_document("<zevo><output><filename></filename></output></zevo>").outfile),
            "");
}

TEST_F(ReadXmlFile, RequestsWithoutTextAreKeptWithoutName) {
  const ZEVO_CONTEXT context =
      read_document("<zevo><output><condition/><cable/><cable>X</cable></output></zevo>");
  EXPECT_EQ(names_of(context.calc_conditions), (Names{"<null>"}));
  EXPECT_EQ(names_of(context.calc_connections), (Names{"X", "<null>"}));
  EXPECT_NE(context.calc_connections->next->results, nullptr);
}

}  // namespace
}  // namespace zevo
