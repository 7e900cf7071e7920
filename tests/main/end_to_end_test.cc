// Whole runs of the real executable on the documents under tests/data/e2e, compared byte for
// byte with the expected console output and output file (only the report times are masked).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_executable.h"

namespace zevo {
namespace {

using testing::mask_time_lines;
using testing::read_file;

struct Case {
  const char* document;  // under tests/data/e2e, given after the options; or null for none
  const char* outfile;   // the file the run must write, or null when it writes none
  int status = 0;
  std::vector<std::string> options = {};  // given before the document
  // The case's name and the stem of its expected files; null for the first option without its
  // dashes, else the document's stem.
  const char* name = nullptr;
  // Further files the run must write beside `outfile`, each compared whole with the fixture
  // <name>.expected.
  std::vector<std::string> extra_files = {};
};

std::string case_name(const Case& c) {
  if (c.name) return c.name;
  if (c.options.empty()) return std::filesystem::path(c.document).stem().string();
  return c.options.front().substr(c.options.front().find_first_not_of('-'));
}

std::string expected(const std::string& name) {
  const auto path = testing::fixture_path("e2e/" + name + ".expected");
  return std::filesystem::exists(path) ? read_file(path) : "";
}

class EndToEnd : public ::testing::TestWithParam<Case> {};

TEST_P(EndToEnd, WritesExactlyTheExpectedOutputs) {
  const Case& c = GetParam();
  const std::string stem = case_name(c);
  testing::TempDir dir;
  std::vector<std::string> args = c.options;
  if (c.document) {
    std::filesystem::copy_file(testing::fixture_path(std::string("e2e/") + c.document),
                               dir / c.document);
    args.push_back(c.document);
  }
  const auto run = testing::run_zevo_executable(dir.path(), args);

  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(mask_time_lines(run.out), expected(stem + ".stdout"));
  EXPECT_EQ(run.err, expected(stem + ".stderr"));
  if (c.document) {
    EXPECT_EQ(read_file(dir / c.document),
              read_file(testing::fixture_path(std::string("e2e/") + c.document)));
  }
  if (c.outfile) {
    EXPECT_EQ(mask_time_lines(read_file(dir / c.outfile)), expected(c.outfile));
  }
  for (const std::string& name : c.extra_files) {
    EXPECT_EQ(read_file(dir / name), expected(name)) << name;
  }
  std::size_t nbr_files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    ++nbr_files;
  }
  EXPECT_EQ(nbr_files, (c.document ? 1u : 0u) + (c.outfile ? 1u : 0u) + c.extra_files.size())
      << "the run wrote a file it should not have";
}

INSTANTIATE_TEST_SUITE_P(
    Documents, EndToEnd,
    ::testing::Values(
        Case{"ring.xml", "ring.csv"},  // the typical run: C12 = 900.0 in a loop
        Case{"radial_and_loop.xml", "radial_and_loop.csv"},
        Case{"number_formats.xml", "number_formats.csv"},
        // Figures that are not plain numbers draw a warning and keep their value.
        Case{"figure_texts.xml", "figure_texts.csv"},
        Case{"two_groups.xml", "groups-result.csv"},  // named by <output><filename>
        Case{"ring_debug.xml", "ring_debug.csv"},
        Case{"no_requested_cable.xml", "no_requested_cable.csv"},
        Case{"unwritable_output.xml", nullptr},
        // An option before the document is answered; the document is not read.
        Case{"ring.xml", nullptr, 0, {"--help"}}, Case{"ring.xml", nullptr, 0, {"-h"}},
        Case{"ring.xml", nullptr, 0, {"--version"}},
        Case{"ring.xml", nullptr, 0, {"--dot", "ring.dot", "--version"}, "version_after_option"},
        // The results file is /dev/full: no write succeeds, nor does the run.
        Case{"full_disk.xml", nullptr, 1},
        // Option errors end the run before the banner.
        Case{"ring.xml", nullptr, 1, {"--frobnicate"}, "unknown_option"},
        Case{nullptr, nullptr, 1, {"--json"}, "json_without_name"},
        Case{"ring.xml", "ring.csv", 0, {"--"}, "end_of_options"},
        // The extra files leave the console and the results file as they were.
        Case{"ring.xml",
             "ring.csv",
             0,
             {"--json", "ring.json", "--dot", "ring.dot"},
             "json_and_dot",
             {"ring.json", "ring.dot"}},
        // The extra files have no fallback: each fault ends the run, after the results file
        // is written.
        Case{"ring.xml", "ring.csv", 1, {"--json", "/dev/full"}, "json_write_fails"},
        Case{"ring.xml", "ring.csv", 1, {"--json", "ring.xml"}, "json_over_input"},
        Case{"ring.xml", "ring.csv", 1, {"--json", "ring.csv"}, "json_over_results"},
        // NaN and infinite figures are null in JSON, with a field that says which.
        Case{"number_formats.xml",
             "number_formats.csv",
             0,
             {"--json", "number_formats.json"},
             "number_formats_json",
             {"number_formats.json"}},
        // Names that are not UTF-8, or that hold quotes and backslashes, in both files.
        Case{"odd_names.xml",
             "odd_names.csv",
             0,
             {"--json", "odd_names.json", "--dot", "odd_names.dot"},
             "odd_names",
             {"odd_names.json", "odd_names.dot"}}),
    [](const ::testing::TestParamInfo<Case>& info) { return case_name(info.param); });

// Opened on a closed standard output, the results file would take its place and the debug
// lines after the opening would land in it.
TEST(EndToEndClosedConsole, ResultsFileHoldsOnlyTheResults) {
  testing::TempDir dir;
  std::filesystem::copy_file(testing::fixture_path("e2e/ring_debug.xml"), dir / "ring_debug.xml");
  testing::RunSetup closed_output;
  closed_output.closed_descriptors = {1};
  const auto run = testing::run_zevo_executable(dir.path(), {"ring_debug.xml"}, closed_output);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(mask_time_lines(read_file(dir / "ring_debug.csv")), expected("ring_debug.csv"));
}

// The examples, explained. Each example's JSON, read by a real parser, names the cables of its
// results table in the table's order, with the value the table rounds and the same loop column;
// the governing condition's flow is the value, and each side's slices hold its count. The plant's
// JSON and the ring's graph are kept whole as fixtures.
class ExplainedExample : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    for (const auto& entry : std::filesystem::directory_iterator(ZEVO_SOURCE_DIR "/examples")) {
      if (entry.path().extension() != ".xml") continue;
      std::filesystem::copy_file(entry.path(), dir_ / entry.path().filename().string());
    }
  }
  testing::TempDir dir_;
};

// The rows of a results table: the cells of each line between the column line and the blank.
std::vector<std::vector<std::string>> table_rows(const std::string& csv) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(csv);
  std::string line;
  while (std::getline(lines, line) && line.rfind(" \"Cable\"", 0) != 0) continue;
  while (std::getline(lines, line) && !line.empty()) {
    std::vector<std::string> cells;
    for (std::size_t at = 0, comma; at != std::string::npos; at = comma) {
      comma = line.find(" , ", at);
      const std::string cell = line.substr(at, comma - at);
      cells.push_back(cell.substr(cell.find_first_not_of(' ')));
      if (comma != std::string::npos) comma += 3;
    }
    rows.push_back(cells);
  }
  return rows;
}

std::string table_cell(const nlohmann::json& text) { return '"' + text.get<std::string>() + '"'; }

TEST_P(ExplainedExample, JsonAgreesWithTheResultsTable) {
  const std::string stem = GetParam();
  const auto run = testing::run_zevo_executable(
      dir_.path(), {"--json", stem + ".json", "--dot", stem + ".dot", stem + ".xml"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto json = nlohmann::json::parse(read_file(dir_ / (stem + ".json")));
  const auto rows = table_rows(read_file(dir_ / (stem + ".csv")));
  ASSERT_EQ(json["cables"].size(), rows.size());
  ASSERT_FALSE(rows.empty());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const nlohmann::json& cable = json["cables"][i];
    char value[32];
    std::snprintf(value, sizeof value, "%8.1f", cable["zevo"].get<double>());
    const std::vector<std::string> shown = {table_cell(cable["name"]), table_cell(cable["node_1"]),
                                            table_cell(cable["node_2"]), std::string(value),
                                            cable["loop"].get<bool>() ? "\"YES\" " : "\"NO\" "};
    std::vector<std::string> expected_cells = shown;
    expected_cells[3] = expected_cells[3].substr(expected_cells[3].find_first_not_of(' '));
    EXPECT_EQ(rows[i], expected_cells) << "row " << i;
    for (const nlohmann::json& figures : cable["conditions"]) {
      if (figures["condition"] == cable["governing_condition"]) {
        EXPECT_EQ(figures["flow"], cable["zevo"]) << cable["name"];
      }
    }
    for (const char* side : {"side_1", "side_2"}) {
      int listed = 0;
      for (const nlohmann::json& slice : cable[side]["load_centre_slices"]) {
        listed += slice[1].get<int>() - slice[0].get<int>();
      }
      EXPECT_EQ(listed, cable[side]["nbr_load_centres"]) << cable["name"] << " " << side;
    }
  }
  if (stem == "plant") {
    EXPECT_EQ(read_file(dir_ / "plant.json"), expected("plant.json"));
  }
  if (stem == "ring") {
    EXPECT_EQ(read_file(dir_ / "ring.dot"), expected("ring.dot"));
  }
}

// The graph of every example renders; where Graphviz is not installed, the test says so.
TEST_P(ExplainedExample, GraphRendersWithDot) {
  std::filesystem::path dot;
  std::istringstream path(std::getenv("PATH") ? std::getenv("PATH") : "");
  for (std::string folder; std::getline(path, folder, ':') && dot.empty();) {
    if (std::filesystem::exists(folder + "/dot")) dot = folder + "/dot";
  }
  if (dot.empty()) GTEST_SKIP() << "dot (Graphviz) is not installed: the graphs are not rendered";
  const std::string stem = GetParam();
  ASSERT_EQ(
      testing::run_zevo_executable(dir_.path(), {"--dot", stem + ".dot", stem + ".xml"}).status, 0);
  testing::RunSetup render;
  render.program = dot;
  const auto run = testing::run_zevo_executable(
      dir_.path(), {"-Tsvg", "-o", stem + ".svg", stem + ".dot"}, render);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_NE(read_file(dir_ / (stem + ".svg")).find("<svg"), std::string::npos);
}

// The examples that are whole documents (more-centres.xml is a fragment).
INSTANTIATE_TEST_SUITE_P(Examples, ExplainedExample, ::testing::Values("ring", "plant"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

}  // namespace
}  // namespace zevo
