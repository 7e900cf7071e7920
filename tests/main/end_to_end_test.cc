// Whole runs of the real executable on the documents under tests/data/e2e, compared byte for
// byte with the expected console output and output file (only the report times are masked).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/run_executable.h"

namespace zevo {
namespace {

using testing::mask_time_lines;
using testing::read_file;

struct Case {
  const char* document;  // under tests/data/e2e
  const char* outfile;   // the file the run must write, or null when it writes none
};

std::string expected(const std::string& name) {
  const auto path = testing::fixture_path("e2e/" + name + ".expected");
  return std::filesystem::exists(path) ? read_file(path) : "";
}

class EndToEnd : public ::testing::TestWithParam<Case> {};

TEST_P(EndToEnd, WritesExactlyTheExpectedOutputs) {
  const Case& c = GetParam();
  const std::string stem = std::filesystem::path(c.document).stem().string();
  testing::TempDir dir;
  std::filesystem::copy_file(testing::fixture_path(std::string("e2e/") + c.document),
                             dir / c.document);

  const auto run = testing::run_zevo_executable(dir.path(), {c.document});

  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(mask_time_lines(run.out), expected(stem + ".stdout"));
  EXPECT_EQ(run.err, expected(stem + ".stderr"));
  if (c.outfile) {
    EXPECT_EQ(mask_time_lines(read_file(dir / c.outfile)), expected(c.outfile));
  }
  std::size_t nbr_files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    ++nbr_files;
  }
  EXPECT_EQ(nbr_files, c.outfile ? 2u : 1u) << "the run wrote a file it should not have";
}

INSTANTIATE_TEST_SUITE_P(
    Documents, EndToEnd,
    ::testing::Values(Case{"ring.xml", "ring.csv"},  // the typical run: C12 = 900.0 in a loop
                      Case{"radial_and_loop.xml", "radial_and_loop.csv"},
                      Case{"number_formats.xml", "number_formats.csv"},
                      Case{"two_groups.xml", "groups-result.csv"},
                      Case{"ring_debug.xml", "ring_debug.csv"},
                      Case{"no_requested_cable.xml", "no_requested_cable.csv"},
                      Case{"unwritable_output.xml", nullptr}),
    [](const ::testing::TestParamInfo<Case>& info) {
      return std::filesystem::path(info.param.document).stem().string();
    });

}  // namespace
}  // namespace zevo
