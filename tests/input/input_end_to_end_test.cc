// The real program on documents that the reader or the validation reject, and on documents
// whose output file would overwrite one of their input files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/run_executable.h"

namespace zevo {
namespace {

using testing::copy_fixture;
using testing::read_file;
using testing::run_zevo_executable;
using testing::TempDir;
using testing::write_file;

const std::string kBanner =
    "zevo.exe Version 2.0 (Apr 12 2025)\n"
    "Cable flow-limit calculator for electrical distribution networks\n\n";

TEST(InputEndToEnd, RejectedDocumentsEndTheRunWithoutCreatingOrEmptyingTheOutputFile) {
  struct Case {
    const char* fixture;
    std::string out;
    const char* err;
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
      {"input-cycle", kBanner, " *** ERROR: INCLUDE file (input-cycle.xml) includes itself\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fixture);
    TempDir dir;
    const std::string document = std::string(c.fixture) + ".xml";
    const auto output_file = dir / (std::string(c.fixture) + ".csv");
    copy_fixture(document, dir.path());
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

}  // namespace
}  // namespace zevo
