// The driver: the default output name, and the command line, banner, exit statuses and
// output file checked end to end on the real executable.
#include "main/driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/run_executable.h"

namespace zevo {
namespace {

using testing::read_file;
using testing::run_zevo_executable;
using testing::TempDir;

std::string default_name_for(const char* xmlfile) {
  ZEVO_CONTEXT context;
  zevo_init(&context);
  context.xmlfile = xmlfile;
  create_default_outfile(&context);
  return context.outfile;
}

TEST(DefaultOutputName, ReplacesTheTextAfterTheLastDot) {
  EXPECT_EQ(default_name_for("net.xml"), "net.csv");
  EXPECT_EQ(default_name_for("a.b.xml"), "a.b.csv");
  EXPECT_EQ(default_name_for("net."), "net.csv");
  EXPECT_EQ(default_name_for("net.csv"), "net.csv");
}

TEST(DefaultOutputName, AppendsCsvWhenNoDotFollowsTheFirstCharacter) {
  EXPECT_EQ(default_name_for("net"), "net.csv");
  EXPECT_EQ(default_name_for("x"), "x.csv");
  EXPECT_EQ(default_name_for(".xml"), ".xml.csv");
  EXPECT_EQ(default_name_for(""), ".csv");
}

TEST(DefaultOutputName, DotInADirectoryPartCounts) {
  EXPECT_EQ(default_name_for("runs.v2/net"), "runs.csv");
  EXPECT_EQ(default_name_for("dir/net.xml"), "dir/net.csv");
}

TEST(DefaultOutputName, KeepsANameAlreadySet) {
  ZEVO_CONTEXT context;
  zevo_init(&context);
  context.xmlfile = "net.xml";
  context.outfile = "chosen.txt";
  create_default_outfile(&context);
  EXPECT_STREQ(context.outfile, "chosen.txt");
  create_default_outfile(nullptr);  // a null context is left alone without a crash
}

const char kBanner[] =
    "zevo.exe Version 2.0 (Apr 12 2025)\n"
    "Cable flow-limit calculator for electrical distribution networks\n\n";

TEST(Driver, NoArgumentPrintsOnlyTheErrorLine) {
  TempDir dir;
  const auto run = run_zevo_executable(dir.path(), {});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, " *** ERROR: input xml filename not specified\n");
}

TEST(Driver, UnreadableInputFileIsNamedWithoutBanner) {
  // A device is refused unread: /dev/zero would never end. Only the exact --help, -h and
  // --version are options: -help names a document.
  for (const std::string document : {"absent.xml", "/dev/zero", "-help"}) {
    SCOPED_TRACE(document);
    TempDir dir;
    const auto run = run_zevo_executable(dir.path(), {document});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, " *** ERROR: Unable to open file (" + document + ")\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  }
}

TEST(Driver, BannerComesFirstOnStandardOutput) {
  TempDir dir;
  testing::copy_fixture("ring.xml", dir.path());
  const auto run = run_zevo_executable(dir.path(), {"ring.xml"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, sizeof(kBanner) - 1), kBanner);
  EXPECT_TRUE(std::filesystem::exists(dir / "ring.csv"));
}

TEST(Driver, ExtraArgumentsAreIgnored) {
  TempDir dir;
  testing::copy_fixture("ring.xml", dir.path());
  const auto plain = run_zevo_executable(dir.path(), {"ring.xml"});
  const auto extra = run_zevo_executable(dir.path(), {"ring.xml", "--version", "other.xml", "-x"});
  EXPECT_EQ(extra.status, 0);
  EXPECT_EQ(extra.out, plain.out);
  EXPECT_EQ(extra.err, plain.err);
  EXPECT_FALSE(std::filesystem::exists(dir / "other.csv"));
}

TEST(Driver, UnwritableOutputFallsBackToStandardOutput) {
  TempDir dir;
  testing::copy_fixture("ring.xml", dir.path());
  std::filesystem::create_directory(dir / "ring.csv");  // a directory cannot be opened to write
  const auto run = run_zevo_executable(dir.path(), {"ring.xml"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, " *** ERROR: Unable to open file ring.csv for writing\n");
  EXPECT_NE(run.out.find(" can't open file ring.csv\n"), std::string::npos) << run.out;
}

TEST(Driver, OutputNamedLikeTheInputNeverOverwritesIt) {
  TempDir dir;
  testing::copy_fixture("ring.xml", dir.path());
  std::filesystem::rename(dir / "ring.xml", dir / "net.csv");
  const std::string before = read_file(dir / "net.csv");
  const auto run = run_zevo_executable(dir.path(), {"net.csv"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, " *** ERROR: Output file net.csv would overwrite an input file\n");
  EXPECT_NE(run.out.find(" can't open file net.csv\n"), std::string::npos) << run.out;
  EXPECT_EQ(read_file(dir / "net.csv"), before);
}

}  // namespace
}  // namespace zevo
