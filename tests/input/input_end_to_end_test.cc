// The real program on documents that the reader or the validation reject, on documents whose
// output file would overwrite one of their input files, and on input read through FIFOs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "input/reading_cases.h"
#include "support/run_executable.h"

namespace zevo {
namespace {

using testing::copy_fixture;
using testing::Files;
using testing::read_file;
using testing::run_zevo_executable;
using testing::TempDir;
using testing::write_file;

const std::string kBanner =
    "zevo.exe Version 2.0 (Apr 12 2025)\n"
    "Cable flow-limit calculator for electrical distribution networks\n\n";

// Fragments fan-0.xml to fan-21.xml, each including the next one twice: four million splices.
Files fan_out_fragments() {
  Files files;
  for (int level = 0; level < 21; ++level) {
    const std::string next = "<include>fan-" + std::to_string(level + 1) + ".xml</include>";
    files.emplace_back("fan-" + std::to_string(level) + ".xml", next + next);
  }
  files.emplace_back("fan-21.xml", "<comment/>");
  return files;
}

// A radial tree of `lcs` load centres with two conditions each, as export tools write it: one
// element a line, indented by two blanks a level (or nothing between the elements at all).
std::string plant_elements(int lcs, bool indented) {
  const std::string line_end = indented ? "\n" : "";
  auto indent = [&](int level) { return indented ? std::string(2 * level, ' ') : std::string(); };
  std::string text;
  for (int i = 0; i < lcs; ++i) {
    const std::string name = "LC" + std::to_string(i);
    text += indent(1) + "<lc>" + line_end + indent(2) + "<name>" + name + "</name>" + line_end;
    text += indent(2) + "<condition><name>normal</name><generation>" +
            std::to_string(i % 7 ? 0 : 10) + "</generation><load>" + std::to_string(i % 13 + 1) +
            "</load></condition>" + line_end;
    text += indent(1) + "</lc>" + line_end;
    if (i > 0) {
      text += indent(1) + "<cable><name>C" + std::to_string(i) + "</name><lc>LC" +
              std::to_string((i - 1) / 3) + "</lc><lc>" + name + "</lc></cable>" + line_end;
    }
  }
  return text;
}

std::string plant_document(const std::string& elements, bool indented) {
  const std::string output =
      "<output><condition>normal</condition><cable>C1</cable><cable>C29999</cable>"
      "<cable>C300</cable></output>";
  return indented ? "<zevo>\n" + elements + "  " + output + "\n</zevo>\n"
                  : "<zevo>" + elements + output + "</zevo>";
}

// Indentation is no text: the plant of 30,000 load centres indented, whose white space between
// the root's children alone is some 180,000 characters, reads as the same plant without it.
TEST(InputEndToEnd, AnIndentedPlantOfAnySizeReadsAsItDoesWithoutItsIndentation) {
  constexpr int kLcs = 30000;
  TempDir indented;
  TempDir flat;
  write_file(indented / "plant.xml", plant_document(plant_elements(kLcs, true), true));
  write_file(flat / "plant.xml", plant_document(plant_elements(kLcs, false), false));
  const auto expected = run_zevo_executable(flat.path(), {"plant.xml"});
  ASSERT_EQ(expected.status, 0) << expected.err;
  const auto run = run_zevo_executable(indented.path(), {"plant.xml"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, expected.err);
  EXPECT_EQ(run.out, expected.out);
  const std::string results = testing::mask_time_lines(read_file(indented / "plant.csv"));
  EXPECT_EQ(results, testing::mask_time_lines(read_file(flat / "plant.csv")));
  EXPECT_NE(results.find(" \"C29999\" , \"LC9999\" , \"LC29999\" ,"), std::string::npos);
}

// An error deep in a large document, or in the fragment it includes, is placed by its line and
// column, also on a line that began many blocks of input before.
TEST(InputEndToEnd, AnErrorInALargeDocumentNamesItsLineAndColumn) {
  constexpr int kLcs = 30000;
  std::string elements = plant_elements(kLcs, true);
  const std::size_t wrong = elements.rfind("</name>") + 2;  // </name> of the last cable
  elements[wrong] = 'N';
  const std::size_t line_start = elements.rfind('\n', wrong) + 1;
  const std::string line = std::to_string(
      1 + std::count(elements.begin(), elements.begin() + static_cast<long>(wrong), '\n'));
  const std::string column = std::to_string(wrong - line_start + 1);
  std::string one_line = plant_elements(kLcs, false);
  const std::size_t wrong_in_line = one_line.rfind("</name>") + 2;
  one_line[wrong_in_line] = 'N';
  struct Case {
    const char* name;
    Files files;
    std::string err;
  };
  const Case cases[] = {
      {"document",
       {{"plant.xml", plant_document(elements, true)}},
       " *** ERROR: (2) Error encountered in reading XML file\n *** in plant.xml at line " +
           std::to_string(std::stoi(line) + 1) + ", column " + column + ", in element <name>\n"},
      {"fragment",
       {{"plant.xml", "<zevo>\n  <include>part.xml</include>\n</zevo>\n"}, {"part.xml", elements}},
       " *** ERROR: (2) Error encountered in reading XML file\n *** in part.xml at line " + line +
           ", column " + column + ", in element <name>\n"},
      {"long line",
       {{"plant.xml", "<zevo>\n  <comment/>\n" + one_line + "</zevo>\n"}},
       " *** ERROR: (2) Error encountered in reading XML file\n *** in plant.xml at line 3, "
       "column " +
           std::to_string(wrong_in_line + 1) + ", in element <name>\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    for (const auto& [name, text] : c.files) write_file(dir / name, text);
    const auto run = run_zevo_executable(dir.path(), {"plant.xml"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, c.err);
  }
}

TEST(InputEndToEnd, RejectedDocumentsEndTheRunWithoutCreatingOrEmptyingTheOutputFile) {
  struct Case {
    const char* fixture;
    std::string out;
    const char* err;
    Files files = {};  // written next to the document
  };
  const Case cases[] = {
      {"input-invalid", kBanner,
       " **** ERROR undefined <cable> Q </cable> in <output>\n"
       " *** ERROR: condition \"normal\" not defined for <lc> entity B\n"
       " *** ERROR: cable entity \"K\" undefined lc (Z)\n"
       " *** DETECTED 3 ERRORS ***\n"},
      // The debug marks stop at the validation.
      {"input-debug-invalid", kBanner + "..",
       " **** ERROR undefined <cable> Q </cable> in <output>\n"
       " *** DECTECTED 1 ERROR ***\n"},
      {"input-cycle", kBanner,
       " *** ERROR: INCLUDE file (input-cycle.xml) includes itself\n"
       " *** in input-cycle.xml at line 3, column 3, in element <include>\n"},
      // Read, a device may never end: it is not even opened.
      {"input-device-include", kBanner,
       " *** ERROR: Unable to open INCLUDE file (/dev/zero)\n"
       " *** in input-device-include.xml at line 2, column 3, in element <include>\n"},
      // Refused at the 100,001st splice of the run, within seconds.
      {"input-fan-out", kBanner,
       " *** ERROR: too many INCLUDE files (fan-21.xml)\n"
       " *** in fan-20.xml at line 1, column 30, in element <include>\n",
       fan_out_fragments()},
      // Figures that are not plain numbers are pointed out before the validation's errors.
      {"input-figure-invalid", kBanner,
       " *** WARNING: generation (abc) of condition (NULL) of load centre (B) read as 0\n"
       " *** WARNING: load (1.5 MW) of condition (normal) of load centre (NULL) read as 1.5\n"
       " *** WARNING: load (nan) of condition (NULL) of bus transfer (NULL) read as nan\n"
       " *** ERROR: condition entity without name exists for LC B (     0.0      0.0)\n"
       " *** ERROR: condition \"normal\" not defined for <lc> entity B\n"
       " *** ERROR: <lc> entity without name\n"
       " *** ERROR: no <cable> entitities defined\n"
       " *** ERROR: Bus Transfer has no name\n"
       " *** DETECTED 5 ERRORS ***\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fixture);
    TempDir dir;
    const std::string document = std::string(c.fixture) + ".xml";
    const auto output_file = dir / (std::string(c.fixture) + ".csv");
    copy_fixture(document, dir.path());
    for (const auto& [name, text] : c.files) write_file(dir / name, text);
    const auto run = run_zevo_executable(dir.path(), {document});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
    EXPECT_FALSE(std::filesystem::exists(output_file));
    // Nor is an output file left by an earlier run emptied.
    write_file(output_file, "earlier results\n");
    EXPECT_EQ(run_zevo_executable(dir.path(), {document}).status, 1);
    EXPECT_EQ(read_file(output_file), "earlier results\n");
  }
}

TEST(InputEndToEnd, OutputFileNamedLikeAnInputFileIsNotOpened) {
  struct Case {
    const char* document;
    const char* guarded;  // the input file that the output file name names
    const char* err;
    const char* out_line;
  };
  const Case cases[] = {
      {"input-self-output.xml", "input-self-output.xml",
       " *** ERROR: Output file input-self-output.xml would overwrite an input file\n",
       " can't open file input-self-output.xml\n"},
      {"input-include-output.xml", "input-fragment.xml",
       " *** ERROR: Output file input-fragment.xml would overwrite an input file\n",
       " can't open file input-fragment.xml\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.document);
    TempDir dir;
    copy_fixture(c.document, dir.path());
    copy_fixture(c.guarded, dir.path());
    const std::string before = read_file(dir / c.guarded);
    const auto run = run_zevo_executable(dir.path(), {c.document});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, c.err);
    EXPECT_NE(run.out.find(c.out_line), std::string::npos) << run.out;
    EXPECT_EQ(read_file(dir / c.guarded), before);
  }
}

// A document or a fragment written into a FIFO while zevo reads it, as `zevo <(generator)`
// gives it, runs as the same file on disk does.
TEST(InputEndToEnd, FifosAreReadAsFilesOnDiskAre) {
  const std::string ring = read_file(testing::fixture_path("ring.xml"));
  const std::size_t body = ring.find('>') + 1;
  const std::string elements = ring.substr(body, ring.rfind("</zevo>") - body);
  struct Case {
    const char* fifo;
    Files files;  // net.xml, the document, and the fragment it includes
  };
  const Case cases[] = {
      {"net.xml", {{"net.xml", ring}}},
      {"part.xml",
       {{"net.xml", "<zevo><include>part.xml</include></zevo>"}, {"part.xml", elements}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fifo);
    TempDir on_disk;
    TempDir with_fifo;
    testing::RunSetup setup;
    setup.fifo = c.fifo;
    for (const auto& [name, text] : c.files) {
      write_file(on_disk / name, text);
      if (name == c.fifo) {
        setup.fifo_text = text;
      } else {
        write_file(with_fifo / name, text);
      }
    }
    const auto expected = run_zevo_executable(on_disk.path(), {"net.xml"});
    const auto run = run_zevo_executable(with_fifo.path(), {"net.xml"}, setup);
    EXPECT_EQ(expected.status, 0) << expected.err;
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, expected.err);
    EXPECT_EQ(run.out, expected.out);
    EXPECT_EQ(testing::mask_time_lines(read_file(with_fifo / "net.csv")),
              testing::mask_time_lines(read_file(on_disk / "net.csv")));
  }
}

}  // namespace
}  // namespace zevo
