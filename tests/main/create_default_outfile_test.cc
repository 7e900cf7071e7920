#include "main/create_default_outfile.h"

#include <gtest/gtest.h>

#include <string>

namespace zevo {
namespace {

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

}  // namespace
}  // namespace zevo
