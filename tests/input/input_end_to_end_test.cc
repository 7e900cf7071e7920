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

const char kBanner[] =
    "zevo.exe Version 2.0 (Apr 12 2025)\n"
    "Cable flow-limit calculator for electrical distribution networks\n\n";

TEST(InputEndToEnd, ValidationErrorsEndTheRunBeforeAnyOutputFile) {
  TempDir dir;
  copy_fixture("input-invalid.xml", dir.path());
  const auto run = run_zevo_executable(dir.path(), {"input-invalid.xml"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.err,
            " **** ERROR undefined <cable> Q </cable> in <output>\n"
            " *** ERROR: condition \"normal\" not defined for <lc> entity B\n"
            " *** ERROR: cable entity \"K\" undefined lc (Z)\n"
            " *** DETECTED 3 ERRORS ***\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "input-invalid.csv"));
}

TEST(InputEndToEnd, ValidationErrorsLeaveAnExistingOutputFileAlone) {
  TempDir dir;
  copy_fixture("input-invalid.xml", dir.path());
  write_file(dir / "input-invalid.csv", "earlier results\n");
  const auto run = run_zevo_executable(dir.path(), {"input-invalid.xml"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(read_file(dir / "input-invalid.csv"), "earlier results\n");
}

TEST(InputEndToEnd, DebugMarksStopAtTheValidation) {
  TempDir dir;
  copy_fixture("input-debug-invalid.xml", dir.path());
  const auto run = run_zevo_executable(dir.path(), {"input-debug-invalid.xml"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, std::string(kBanner) + "..");
  EXPECT_EQ(run.err,
            " **** ERROR undefined <cable> Q </cable> in <output>\n"
            " *** DECTECTED 1 ERROR ***\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "input-debug-invalid.csv"));
}

TEST(InputEndToEnd, RejectedDocumentEndsTheRunWithoutOutputFile) {
  TempDir dir;
  copy_fixture("input-declaration.xml", dir.path());
  const auto run = run_zevo_executable(dir.path(), {"input-declaration.xml"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.err, " *** ERROR:  (processing instruction) Not a zevo XML file\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "input-declaration.csv"));
}

TEST(InputEndToEnd, DocumentThatIncludesItselfEndsTheRun) {
  TempDir dir;
  copy_fixture("input-cycle.xml", dir.path());
  const auto run = run_zevo_executable(dir.path(), {"input-cycle.xml"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, " *** ERROR: INCLUDE file (input-cycle.xml) includes itself\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "input-cycle.csv"));
}

TEST(InputEndToEnd, OutputFileNamedLikeTheDocumentIsNotOpened) {
  TempDir dir;
  copy_fixture("input-self-output.xml", dir.path());
  const std::string before = read_file(dir / "input-self-output.xml");
  const auto run = run_zevo_executable(dir.path(), {"input-self-output.xml"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err,
            " *** ERROR: Output file input-self-output.xml would overwrite an input file\n");
  EXPECT_NE(run.out.find(" can't open file input-self-output.xml\n"), std::string::npos) << run.out;
  EXPECT_EQ(read_file(dir / "input-self-output.xml"), before);
}

TEST(InputEndToEnd, OutputFileNamedLikeAnIncludedFileIsNotOpened) {
  TempDir dir;
  copy_fixture("input-include-output.xml", dir.path());
  copy_fixture("input-fragment.xml", dir.path());
  const std::string before = read_file(dir / "input-fragment.xml");
  const auto run = run_zevo_executable(dir.path(), {"input-include-output.xml"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, " *** ERROR: Output file input-fragment.xml would overwrite an input file\n");
  EXPECT_NE(run.out.find(" can't open file input-fragment.xml\n"), std::string::npos) << run.out;
  EXPECT_EQ(read_file(dir / "input-fragment.xml"), before);
}

}  // namespace
}  // namespace zevo
