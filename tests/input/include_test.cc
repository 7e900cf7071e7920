// Included fragment files: where their entities land, how they are matched, and their errors.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "input/read_xml_file.h"
#include "input_test_support.h"
#include "model/messages.h"
#include "model/record_store.h"
#include "support/captured_messages.h"
#include "support/run_executable.h"

namespace zevo {
namespace {

using testing::CapturedMessages;
using testing::names_of;
using testing::read_document;
using testing::TempDir;
using testing::write_file;
using Names = std::vector<std::string>;

// Include names are taken relative to the working directory, so each test runs inside a
// directory of its own and returns to the previous one afterwards.
class Include : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
  }
  void TearDown() override {
    std::filesystem::current_path(saved_);
    release_all_records();
  }

  void write(const std::string& name, const std::string& text) { write_file(dir_ / name, text); }

  static std::string fatal_error_of(const std::string& document) {
    CapturedMessages messages;
    EXPECT_THROW(read_document(document), RunEnded);
    return messages.err();
  }

  TempDir dir_;

 private:
  std::filesystem::path saved_;
};

std::string lc(const std::string& name) { return "<lc><name>" + name + "</name></lc>"; }

TEST_F(Include, FileIsReadAtThePlaceOfTheInclude) {
  write("bc.xml", "<!-- two centres -->\n" + lc("B") + "\n" + lc("C") + "\n");
  CapturedMessages messages;
  const ZEVO_CONTEXT context =
      read_document("<zevo>" + lc("A") + "<include>bc.xml</include>" + lc("D") + "</zevo>");
  EXPECT_EQ(messages.err(), "");
  EXPECT_EQ(names_of(context.nodes), (Names{"D", "C", "B", "A"}));
  EXPECT_EQ(context.nbr_nodes, 4);
}

TEST_F(Include, NestedIncludesAreSplicedInTurn) {
  write("b.xml", lc("B") + "<include>c.xml</include>" + lc("E"));
  write("c.xml", lc("C") + "<include>d.xml</include>");
  write("d.xml", lc("D"));
  const ZEVO_CONTEXT context =
      read_document("<zevo>" + lc("A") + "<include>b.xml</include>" + lc("F") + "</zevo>");
  EXPECT_EQ(names_of(context.nodes), (Names{"F", "E", "D", "C", "B", "A"}));
}

TEST_F(Include, EveryKindOfTopLevelElementMayComeFromAnIncludedFile) {
  write("rest.xml",
        "<cable><name>K</name><lc>A</lc><lc>B</lc></cable>"
        "<bt><name>T</name><lc>A</lc><lc>B</lc></bt>"
        "<output><filename>out.csv</filename><condition>n</condition><cable>K</cable></output>"
        "<debug>4</debug><comment>x</comment>");
  CapturedMessages messages;
  const ZEVO_CONTEXT context = read_document("<zevo><include>rest.xml</include></zevo>");
  EXPECT_EQ(messages.err(), "");
  EXPECT_EQ(names_of(context.connections), (Names{"K"}));
  EXPECT_EQ(names_of(context.bustransfers), (Names{"T"}));
  EXPECT_EQ(names_of(context.calc_conditions), (Names{"n"}));
  EXPECT_EQ(names_of(context.calc_connections), (Names{"K"}));
  EXPECT_EQ(testing::text_of(context.outfile), "out.csv");
  EXPECT_EQ(context.debug, 4);
}

TEST_F(Include, IncludedFilesAreNotLowerCased) {
  write("upper.xml",
        "<LC><name>X</name></LC>\n<Cable><name>K</name></Cable>\n"
        "<cable><name>K2</name><LC>A</LC><!-- note --></cable>");
  CapturedMessages messages;
  const ZEVO_CONTEXT context = read_document("<ZEVO><INCLUDE>upper.xml</INCLUDE></ZEVO>");
  // A comment inside an element keeps its fixed name COMMENT, which is not `comment`.
  EXPECT_EQ(messages.err(),
            " *** WARNING: Unknown tag (LC) ignored\n"
            " *** WARNING: Unknown tag (Cable) ignored\n"
            " *** WARNING: Unknown tag (LC) ignored\n"
            " *** WARNING: Unknown tag (COMMENT) ignored\n");
  EXPECT_EQ(context.nbr_nodes, 0);
  EXPECT_EQ(names_of(context.connections), (Names{"K2"}));
  EXPECT_EQ(context.connections->lc1, nullptr);
}

TEST_F(Include, WrappingZevoElementIsOneUnknownTag) {
  write("wrapped.xml", "<zevo>" + lc("A") + lc("B") + "</zevo>");
  CapturedMessages messages;
  const ZEVO_CONTEXT context = read_document("<zevo><include>wrapped.xml</include></zevo>");
  EXPECT_EQ(messages.err(), " *** WARNING: Unknown tag (zevo) ignored\n");
  EXPECT_EQ(context.nbr_nodes, 0);
}

TEST_F(Include, NamesAreTakenRelativeToTheWorkingDirectory) {
  std::filesystem::create_directory(dir_ / "sub");
  write("sub/a.xml", lc("A") + "<include>b.xml</include>");
  write("sub/b.xml", lc("wrong"));
  write("b.xml", lc("B"));
  const ZEVO_CONTEXT context = read_document("<zevo><include>sub/a.xml</include></zevo>");
  EXPECT_EQ(names_of(context.nodes), (Names{"B", "A"}));
}

TEST_F(Include, IncludedFilesAreRecordedAsInputFiles) {
  write("a.xml", "<include>b.xml</include>");
  write("b.xml", lc("B"));
  write("c.xml", lc("C"));
  const ZEVO_CONTEXT context = read_document("<zevo><include>a.xml</include></zevo>");
  EXPECT_TRUE(names_input_file(&context, "a.xml"));
  EXPECT_TRUE(names_input_file(&context, "b.xml"));
  EXPECT_FALSE(names_input_file(&context, "c.xml"));
}

TEST_F(Include, FileThatCannotBeOpenedEndsTheRun) {
  EXPECT_EQ(fatal_error_of("<zevo><include>absent.xml</include></zevo>"),
            " *** ERROR: Unable to open INCLUDE file (absent.xml)\n");
  EXPECT_EQ(fatal_error_of("<zevo><include/></zevo>"),
            " *** ERROR: Unable to open INCLUDE file ()\n");
  EXPECT_EQ(fatal_error_of("<zevo><include></include></zevo>"),
            " *** ERROR: Unable to open INCLUDE file ()\n");
}

TEST_F(Include, FileThatCannotBeReadEndsTheRun) {
  write("empty.xml", "");
  write("cut.xml", lc("A") + "<lc><name>B</name>");
  write("doctype.xml", "<!DOCTYPE x>" + lc("A"));
  EXPECT_EQ(fatal_error_of("<zevo><include>empty.xml</include></zevo>"),
            " *** ERROR: (0) Error encountered in reading XML file\n");
  EXPECT_EQ(fatal_error_of("<zevo><include>cut.xml</include></zevo>"),
            " *** ERROR: (1) Error encountered in reading XML file\n");
  EXPECT_EQ(fatal_error_of("<zevo><include>doctype.xml</include></zevo>"),
            " *** ERROR: (2) Error encountered in reading XML file\n");
}

TEST_F(Include, SameFragmentMayBeIncludedSideBySide) {
  write("one.xml", lc("X"));
  write("wrap.xml", "<include>one.xml</include>");
  const ZEVO_CONTEXT context = read_document(
      "<zevo><include>one.xml</include><include>./one.xml</include>"
      "<include>wrap.xml</include><include>wrap.xml</include></zevo>");
  EXPECT_EQ(names_of(context.nodes), (Names{"X", "X", "X", "X"}));
}

TEST_F(Include, FileThatIncludesItselfEndsTheRun) {
  write("self.xml", lc("A") + "<include>self.xml</include>" + lc("B"));
  EXPECT_EQ(fatal_error_of("<zevo><include>self.xml</include></zevo>"),
            " *** ERROR: INCLUDE file (self.xml) includes itself\n");
}

TEST_F(Include, CycleThroughOtherFilesIsFoundUnderAnyName) {
  write("a.xml", lc("A") + "<include>b.xml</include>");
  write("b.xml", "<include>c.xml</include>" + lc("B"));
  write("c.xml", lc("C") + "<include>./a.xml</include>");
  EXPECT_EQ(fatal_error_of("<zevo><include>a.xml</include></zevo>"),
            " *** ERROR: INCLUDE file (./a.xml) includes itself\n");
}

TEST_F(Include, CycleClosedByTheLastEntityOfAFileIsFound) {
  // Each file's include is its last entity, so every file ends where the next one ends.
  write("a.xml", lc("A") + "<include>b.xml</include>");
  write("b.xml", "<include>a.xml</include>");
  EXPECT_EQ(fatal_error_of("<zevo><include>a.xml</include></zevo>"),
            " *** ERROR: INCLUDE file (a.xml) includes itself\n");
}

TEST_F(Include, FileIncludedInTwoBranchesIsNoCycle) {
  write("a.xml", lc("A") + "<include>shared.xml</include>");
  write("b.xml", "<include>shared.xml</include>" + lc("B"));
  write("shared.xml", lc("S"));
  const ZEVO_CONTEXT context =
      read_document("<zevo><include>a.xml</include><include>b.xml</include>" + lc("Z") + "</zevo>");
  EXPECT_EQ(names_of(context.nodes), (Names{"Z", "B", "S", "S", "A"}));
}

TEST_F(Include, IncludingTheMainDocumentIsACycle) {
  write("main.xml", "<zevo><include>part.xml</include></zevo>");
  write("part.xml", lc("P") + "<include>main.xml</include>");
  CapturedMessages messages;
  ZEVO_CONTEXT context;
  zevo_init(&context);
  context.xmlfile = "main.xml";
  context.xin = std::fopen("main.xml", "r");
  ASSERT_NE(context.xin, nullptr);
  EXPECT_THROW(read_xml_file(&context), RunEnded);
  EXPECT_EQ(messages.err(), " *** ERROR: INCLUDE file (main.xml) includes itself\n");
}

}  // namespace
}  // namespace zevo
