// Whole runs of the real executable on the documents under tests/data/e2e, compared byte for
// byte with the expected console output and output file (only the report times are masked).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
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

// Runs the case with `leading` options before its own and compares everything it writes with the
// case's fixtures.
void expect_expected_outputs(const Case& c, const std::vector<std::string>& leading) {
  const std::string stem = case_name(c);
  testing::TempDir dir;
  std::vector<std::string> args = leading;
  args.insert(args.end(), c.options.begin(), c.options.end());
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

TEST_P(EndToEnd, WritesExactlyTheExpectedOutputs) { expect_expected_outputs(GetParam(), {}); }

// The files, the console and the order of the messages do not depend on the threads.
TEST_P(EndToEnd, WritesTheSameOnFourThreads) { expect_expected_outputs(GetParam(), {"-j", "4"}); }

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
        Case{"ring.xml", nullptr, 1, {"-j", "0"}, "jobs_zero"},
        Case{"ring.xml", nullptr, 1, {"--jobs", "2x"}, "jobs_not_a_number"},
        Case{nullptr, nullptr, 1, {"-j"}, "jobs_without_number"},
        Case{"ring.xml", nullptr, 1, {"--time-limit", "-1"}, "time_limit_negative"},
        Case{"ring.xml", nullptr, 1, {"--time-limit", "0"}, "time_limit_zero"},
        Case{nullptr, nullptr, 1, {"--time-limit"}, "time_limit_without_seconds"},
        // A time limit the search stays well within changes nothing.
        Case{"ring.xml", "ring.csv", 0, {"--time-limit", "60"}, "time_limit_unused"},
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

// ---- Meshed networks: threads, the time limit and the progress line ----

// A rows x cols grid of switchboards, with `ties` more cables between switchboards drawn at
// random, a panel hanging from every fifth switchboard and a bus transfer now and then, under
// two conditions, every cable requested. Figures: whole numbers; with `decimals` one decimal;
// with `exporters` every seventh switchboard loads a negative figure.
struct Mesh {
  int rows, cols, ties = 0;
  unsigned seed = 1;
  bool decimals = false, exporters = false;
};

std::string mesh_document(const Mesh& mesh) {
  std::mt19937 random(mesh.seed);
  auto pick = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
  auto figure = [&](int low, int high) {
    if (!mesh.decimals) return std::to_string(pick(low, high));
    const int tenths = pick(low * 10, high * 10);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
  };
  auto conditions = [&](int index) {
    std::string text;
    for (const char* name : {"normal", "peak"}) {
      const bool generator = index % 7 == 3;
      const std::string load =
          mesh.exporters && index % 7 == 5 ? std::string("-") + figure(5, 40) : figure(0, 200);
      text += std::string("<condition><name>") + name + "</name><generation>" +
              (generator ? figure(500, 3000) : "0") + "</generation><load>" + load +
              "</load></condition>";
    }
    return text;
  };
  auto sb = [&](int r, int c) {
    return std::string("S") + std::to_string(r) + "_" + std::to_string(c);
  };
  std::string doc = "<zevo>\n";
  std::vector<std::string> cables;
  auto cable = [&](const std::string& a, const std::string& b) {
    const std::string name = std::string("C") + std::to_string(cables.size());
    doc += "<cable><name>" + name + "</name><lc>" + a + "</lc><lc>" + b + "</lc></cable>\n";
    cables.push_back(name);
  };
  for (int r = 0; r < mesh.rows; ++r) {
    for (int c = 0; c < mesh.cols; ++c) {
      const int index = r * mesh.cols + c;
      doc += "<switchboard><name>" + sb(r, c) + "</name>" + conditions(index) + "</switchboard>\n";
      if (index % 5 == 4) {
        doc += "<powerpanel><name>P" + std::to_string(index) + "</name>" + conditions(index + 1) +
               "</powerpanel>\n";
        cable(sb(r, c), std::string("P") + std::to_string(index));
      }
      if (c + 1 < mesh.cols) cable(sb(r, c), sb(r, c + 1));
      if (r + 1 < mesh.rows) cable(sb(r, c), sb(r + 1, c));
    }
  }
  for (int tie = 0; tie < mesh.ties; ++tie) {
    const std::string a = sb(pick(0, mesh.rows - 1), pick(0, mesh.cols - 1));
    std::string b = a;
    while (b == a) b = sb(pick(0, mesh.rows - 1), pick(0, mesh.cols - 1));
    cable(a, b);
  }
  if (mesh.seed % 2 == 1) {
    doc += "<bus_transfer><name>B</name><lc>" + sb(0, 0) + "</lc><lc>" +
           sb(mesh.rows - 1, mesh.cols - 1) + "</lc>" + conditions(3) + "</bus_transfer>\n";
  }
  doc += "<output><condition>normal</condition><condition>peak</condition>\n";
  for (const std::string& name : cables) doc += "<cable>" + name + "</cable>";
  return doc + "\n</output>\n</zevo>\n";
}

// What a run wrote, its time lines masked: console, results, JSON and graph.
std::string run_outputs(const testing::TempDir& dir, const std::vector<std::string>& args) {
  const auto run = testing::run_zevo_executable(dir.path(), args);
  return "status " + std::to_string(run.status) + "\n" + mask_time_lines(run.out) + run.err +
         mask_time_lines(read_file(dir / "mesh.csv")) + read_file(dir / "mesh.json") +
         read_file(dir / "mesh.dot");
}

class MeshOnThreads : public ::testing::TestWithParam<Mesh> {};

TEST_P(MeshOnThreads, WritesTheSameOnOneAndFourThreads) {
  testing::TempDir dir;
  testing::write_file(dir / "mesh.xml", mesh_document(GetParam()));
  const std::vector<std::string> files = {"--json", "mesh.json", "--dot", "mesh.dot", "mesh.xml"};
  std::vector<std::string> one = {"-j", "1"}, four = {"--jobs", "4"};
  one.insert(one.end(), files.begin(), files.end());
  four.insert(four.end(), files.begin(), files.end());
  const std::string alone = run_outputs(dir, one);
  EXPECT_NE(alone.find("status 0\n"), std::string::npos) << alone.substr(0, 400);
  EXPECT_EQ(run_outputs(dir, four), alone);
}

std::string mesh_name(const ::testing::TestParamInfo<Mesh>& info) {
  const Mesh& m = info.param;
  return "grid" + std::to_string(m.rows) + "x" + std::to_string(m.cols) + "_ties" +
         std::to_string(m.ties) + "_seed" + std::to_string(m.seed) +
         (m.decimals ? "_decimals" : "") + (m.exporters ? "_exporters" : "");
}

INSTANTIATE_TEST_SUITE_P(Meshes, MeshOnThreads,
                         ::testing::Values(Mesh{4, 5, 2, 1}, Mesh{5, 5, 0, 2},
                                           Mesh{3, 6, 3, 3, true}, Mesh{4, 4, 1, 4, true},
                                           Mesh{3, 4, 1, 5, false, true},
                                           Mesh{2, 5, 2, 6, true, true}, Mesh{1, 12, 2, 7}),
                         mesh_name);

// ---- The time limit ----

// Checks a run with a time limit in `dir` against itself: the results table prints each cable's
// "zevo" from mesh.json (its bound when the search was stopped, "exact": false), a bounded
// cable's best opening found lies below its bound, and one warning in `err` names each bounded
// cable with both figures, in the table's order. Returns the cables by name.
std::map<std::string, nlohmann::json> check_bounded_run(const testing::TempDir& dir,
                                                        const std::string& err) {
  const auto json = nlohmann::json::parse(read_file(dir / "mesh.json"));
  const auto rows = table_rows(read_file(dir / "mesh.csv"));
  std::map<std::string, nlohmann::json> cables;
  std::string warnings;
  EXPECT_EQ(json["cables"].size(), rows.size());
  for (std::size_t i = 0; i < rows.size() && i < json["cables"].size(); ++i) {
    const nlohmann::json& cable = json["cables"][i];
    const std::string name = cable["name"].get<std::string>();
    cables[name] = cable;
    char value[64];
    std::snprintf(value, sizeof value, "%.1f", cable["zevo"].get<double>());
    EXPECT_EQ(rows[i][3], value) << name;
    if (!cable.contains("exact")) continue;
    EXPECT_EQ(cable["exact"], false) << name;
    const double found = cable["zevo_found"].get<double>();
    EXPECT_LT(found, cable["zevo"].get<double>()) << name;
    char line[256];
    std::snprintf(line, sizeof line,
                  " *** WARNING: time limit reached for cable (%s): value at most %s (in the "
                  "table), best opening found %.1f\n",
                  name.c_str(), value, found);
    warnings += line;
  }
  EXPECT_EQ(err.substr(err.find_last_of('\r') + 1), warnings);
  return cables;
}

// A grid whose search finishes, run again with a limit far too short for it: every cable the
// limit stopped gets a bound at or above its exact value and a best opening found at or below
// it; every other cable keeps its exact value.
TEST(TimeLimit, BoundsAreAtLeastTheExactValues) {
  testing::TempDir dir;
  testing::write_file(dir / "mesh.xml", mesh_document(Mesh{5, 6, 2, 11}));
  const auto exact_run =
      testing::run_zevo_executable(dir.path(), {"--json", "mesh.json", "mesh.xml"});
  ASSERT_EQ(exact_run.status, 0) << exact_run.err;
  const auto exact = check_bounded_run(dir, exact_run.err);
  const auto run = testing::run_zevo_executable(
      dir.path(), {"-j", "2", "--time-limit", "0.001", "--json", "mesh.json", "mesh.xml"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto limited = check_bounded_run(dir, run.err);
  int bounded = 0;
  for (const auto& [name, cable] : limited) {
    const double value = exact.at(name)["zevo"].get<double>();
    if (!cable.contains("exact")) {
      EXPECT_EQ(cable, exact.at(name));
      continue;
    }
    ++bounded;
    EXPECT_GE(cable["zevo"].get<double>(), value) << name;
    EXPECT_LE(cable["zevo_found"].get<double>(), value) << name;
  }
  EXPECT_GT(bounded, 0) << "the limit stopped no search";
}

// A 15 x 15 grid with every cable requested, under a limit of 2 s: the run returns within the
// limit plus reading and writing (and some slack for a busy machine). On a terminal the progress
// line is shown and cleared before the warnings; on a pipe nothing of it appears.
class LongRun : public ::testing::TestWithParam<testing::RunSetup::ErrorStream> {};

TEST_P(LongRun, EndsWithinTheLimitAndShowsProgressOnlyOnATerminal) {
  constexpr double kLimit = 2.0, kSlack = 3.0;
  testing::TempDir dir;
  testing::write_file(dir / "mesh.xml", mesh_document(Mesh{15, 15, 0, 12}));
  testing::RunSetup setup;
  setup.error_stream = GetParam();
  const auto start = std::chrono::steady_clock::now();
  const auto run = testing::run_zevo_executable(
      dir.path(), {"--time-limit", "2", "--json", "mesh.json", "mesh.xml"}, setup);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_LT(took.count(), kLimit + kSlack);
  const std::size_t nbr_cables = check_bounded_run(dir, run.err).size();
  EXPECT_EQ(nbr_cables, 465u);  // 420 in the grid, 45 to panels

  const std::string line = run.err.substr(0, run.err.find(" *** WARNING"));
  if (GetParam() != testing::RunSetup::ErrorStream::terminal) {
    EXPECT_EQ(line, "");
    return;
  }
  // Rewritten in place, then blanked out: the text after the last line shown is only blanks.
  EXPECT_NE(line.find("\rzevo: "), std::string::npos) << line;
  EXPECT_NE(line.find(" of " + std::to_string(nbr_cables) + " cables done, 0:0"), std::string::npos)
      << line;
  EXPECT_EQ(line.find('\n'), std::string::npos);
  ASSERT_GE(line.size(), 2u);
  ASSERT_EQ(line.back(), '\r');
  const std::size_t blank_from = line.find_last_of('\r', line.size() - 2) + 1;
  EXPECT_EQ(line.find_first_not_of(' ', blank_from), line.size() - 1) << line;
}

INSTANTIATE_TEST_SUITE_P(ErrorStreams, LongRun,
                         ::testing::Values(testing::RunSetup::ErrorStream::terminal,
                                           testing::RunSetup::ErrorStream::pipe),
                         [](const auto& info) {
                           return info.param == testing::RunSetup::ErrorStream::terminal
                                      ? "terminal"
                                      : "pipe";
                         });

}  // namespace
}  // namespace zevo
