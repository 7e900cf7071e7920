// The installation: this build installed into a temporary prefix holds the program, the manual
// page, the README and the examples, and the installed program runs an installed example.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_executable.h"

namespace zevo {
namespace {

namespace fs = std::filesystem;
using testing::read_file;

// Every file under `root`, as sorted paths relative to it.
std::vector<std::string> files_under(const fs::path& root) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_directory()) files.push_back(fs::relative(entry.path(), root).string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(Install, InstalledProgramRunsAnInstalledExample) {
  testing::TempDir prefix;
  testing::RunSetup cmake;
  cmake.program = ZEVO_CMAKE_COMMAND;
  const auto install = testing::run_zevo_executable(
      prefix.path(), {"--install", ZEVO_BUILD_DIR, "--prefix", prefix.path().string()}, cmake);
  ASSERT_EQ(install.status, 0) << install.out << install.err;

  const std::vector<std::string> examples = {"more-centres.xml", "plant-panels.xml", "plant.xml",
                                             "ring.xml"};
  std::vector<std::string> expected_files = {"bin/zevo", "share/doc/zevo/README.md",
                                             "share/doc/zevo/copyright", "share/man/man1/zevo.1"};
  for (const std::string& name : examples) {
    expected_files.push_back("share/doc/zevo/examples/" + name);
  }
  std::sort(expected_files.begin(), expected_files.end());
  EXPECT_EQ(files_under(prefix.path()), expected_files);
  EXPECT_EQ(read_file(prefix / "share/man/man1/zevo.1"),
            read_file(fs::path(ZEVO_BUILD_DIR) / "zevo.1"));
  const fs::path source = ZEVO_SOURCE_DIR;
  EXPECT_EQ(read_file(prefix / "share/doc/zevo/README.md"), read_file(source / "README.md"));
  EXPECT_EQ(read_file(prefix / "share/doc/zevo/copyright"), read_file(source / "doc/copyright"));
  const fs::path installed_examples = prefix / "share/doc/zevo/examples";
  for (const std::string& name : examples) {
    EXPECT_EQ(read_file(installed_examples / name), read_file(source / "examples" / name)) << name;
  }

  // The plant's include is taken relative to the working directory: it runs in its folder.
  testing::RunSetup installed;
  installed.program = prefix / "bin/zevo";
  const auto run = testing::run_zevo_executable(installed_examples, {"plant.xml"}, installed);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "zevo.exe Version 2.0 (Apr 12 2025)\n"
            "Cable flow-limit calculator for electrical distribution networks\n\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(testing::mask_time_lines(read_file(installed_examples / "plant.csv")),
            read_file(testing::fixture_path("e2e/plant.csv.expected")));
}

}  // namespace
}  // namespace zevo
