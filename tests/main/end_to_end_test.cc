// Whole runs of the real executable on the documents under tests/data/e2e, compared byte for
// byte with the expected console output and output file (only the report times are masked).
#include <gtest/gtest.h>

#include <filesystem>
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
  // Further files the run must write beside `outfile`; their contents are checked elsewhere.
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
    EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
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
        Case{"ring.xml", "ring.csv", 1, {"--json", "ring.csv"}, "json_over_results"}),
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

}  // namespace
}  // namespace zevo
