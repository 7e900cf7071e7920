// The includes: fragment files spliced in at the place of their `include`, the files that end
// the run (unreadable ones and include cycles), and the record of every included file.
#include "input/splice_include.h"

#include <gtest/gtest.h>

#include "input/reading_cases.h"
#include "model/record_store.h"
#include "model/run_context.h"
#include "support/run_executable.h"

namespace zevo {
namespace {

using testing::expect_reading;
using testing::Files;
using testing::InTempDir;
using testing::lc;
using testing::read_document;
using testing::ReadingCase;
using testing::write_file;

TEST(Include, FilesAreSplicedInAtThePlaceOfTheInclude) {
  const ReadingCase cases[] = {
      // The comment and the blanks around the elements are no elements, and are skipped.
      {"in place, nested ones in turn",
       "<zevo>" + lc("A") + "<include>b.xml</include>" + lc("F") + "</zevo>", "",
       "lc F\nlc E\nlc D\nlc C\nlc B\nlc A\n",
       Files{{"b.xml", "<!-- B, then C and D, then E -->\n" + lc("B") +
                           "\n<include>c.xml</include>\n" + lc("E")},
             {"c.xml", lc("C") + "<include>d.xml</include>"},
             {"d.xml", lc("D")}}},
      {"every kind of top-level element", "<zevo><include>rest.xml</include></zevo>", "",
       "cable K A B\nbt T A B\nwant condition n\nwant cable K\noutfile out.csv\ndebug 4\n",
       Files{{"rest.xml",
              "<cable><name>K</name><lc>A</lc><lc>B</lc></cable>"
              "<bt><name>T</name><lc>A</lc><lc>B</lc></bt>"
              "<output><filename>out.csv</filename><condition>n</condition><cable>K</cable>"
              "</output>"
              "<debug>4</debug><comment>x</comment>"}}},
      // A comment inside an element keeps its fixed name COMMENT, which is not `comment`.
      {"included files are not lower-cased", "<ZEVO><INCLUDE>upper.xml</INCLUDE></ZEVO>",
       " *** WARNING: Unknown tag (LC) ignored\n"
       " *** WARNING: Unknown tag (Cable) ignored\n"
       " *** WARNING: Unknown tag (LC) ignored\n"
       " *** WARNING: Unknown tag (COMMENT) ignored\n",
       "cable K2 <null> <null>\n",
       Files{{"upper.xml",
              "<LC><name>X</name></LC>\n<Cable><name>K</name></Cable>\n"
              "<cable><name>K2</name><LC>A</LC><!-- note --></cable>"}}},
      {"a wrapping zevo element is one unknown tag", "<zevo><include>wrapped.xml</include></zevo>",
       " *** WARNING: Unknown tag (zevo) ignored\n", "",
       Files{{"wrapped.xml", "<zevo>" + lc("A") + lc("B") + "</zevo>"}}},
      {"names relative to the working directory", "<zevo><include>sub/a.xml</include></zevo>", "",
       "lc B\nlc A\n",
       Files{{"sub/a.xml", lc("A") + "<include>b.xml</include>"},
             {"sub/b.xml", lc("wrong")},
             {"b.xml", lc("B")}}},
      {"one fragment side by side",
       "<zevo><include>one.xml</include><include>./one.xml</include>"
       "<include>wrap.xml</include><include>wrap.xml</include></zevo>",
       "", "lc X\nlc X\nlc X\nlc X\n",
       Files{{"one.xml", lc("X")}, {"wrap.xml", "<include>one.xml</include>"}}},
      {"one fragment in two branches is no cycle",
       "<zevo><include>a.xml</include><include>b.xml</include>" + lc("Z") + "</zevo>", "",
       "lc Z\nlc B\nlc S\nlc S\nlc A\n",
       Files{{"a.xml", lc("A") + "<include>shared.xml</include>"},
             {"b.xml", "<include>shared.xml</include>" + lc("B")},
             {"shared.xml", lc("S")}}},
  };
  for (const ReadingCase& reading : cases) expect_reading(reading);
}

TEST(Include, FilesThatEndTheRun) {
  const ReadingCase cases[] = {
      {"absent", "<zevo><include>absent.xml</include></zevo>",
       " *** ERROR: Unable to open INCLUDE file (absent.xml)\n"
       " *** in memory.xml at line 1, column 7, in element <include>\n",
       nullptr},
      {"include without text", "<zevo><include/></zevo>",
       " *** ERROR: Unable to open INCLUDE file ()\n"
       " *** in memory.xml at line 1, column 7, in element <include>\n",
       nullptr},
      {"include with empty text", "<zevo><include></include></zevo>",
       " *** ERROR: Unable to open INCLUDE file ()\n"
       " *** in memory.xml at line 1, column 7, in element <include>\n",
       nullptr},
      {"empty file", "<zevo><include>empty.xml</include></zevo>",
       " *** ERROR: (0) Error encountered in reading XML file\n"
       " *** in empty.xml at line 1, column 1\n",
       nullptr, Files{{"empty.xml", ""}}},
      {"file cut short", "<zevo><include>cut.xml</include></zevo>",
       " *** ERROR: (1) Error encountered in reading XML file\n"
       " *** in cut.xml at line 1, column 42, in element <lc>\n",
       nullptr, Files{{"cut.xml", lc("A") + "<lc><name>B</name>"}}},
      {"file with a doctype", "<zevo><include>doctype.xml</include></zevo>",
       " *** ERROR: (2) Error encountered in reading XML file\n"
       " *** in doctype.xml at line 1, column 1\n",
       nullptr, Files{{"doctype.xml", "<!DOCTYPE x>" + lc("A")}}},
      {"includes itself", "<zevo><include>self.xml</include></zevo>",
       " *** ERROR: INCLUDE file (self.xml) includes itself\n"
       " *** in self.xml at line 1, column 24, in element <include>\n",
       nullptr, Files{{"self.xml", lc("A") + "<include>self.xml</include>" + lc("B")}}},
      {"cycle through other files, under another name", "<zevo><include>a.xml</include></zevo>",
       " *** ERROR: INCLUDE file (./a.xml) includes itself\n"
       " *** in c.xml at line 1, column 24, in element <include>\n",
       nullptr,
       Files{{"a.xml", lc("A") + "<include>b.xml</include>"},
             {"b.xml", "<include>c.xml</include>" + lc("B")},
             {"c.xml", lc("C") + "<include>./a.xml</include>"}}},
      // Each file's include is its last entity, so every file ends where the next one ends.
      {"cycle closed by the last entity of each file", "<zevo><include>a.xml</include></zevo>",
       " *** ERROR: INCLUDE file (a.xml) includes itself\n"
       " *** in b.xml at line 1, column 1, in element <include>\n",
       nullptr,
       Files{{"a.xml", lc("A") + "<include>b.xml</include>"},
             {"b.xml", "<include>a.xml</include>"}}},
  };
  for (const ReadingCase& reading : cases) expect_reading(reading);
}

TEST(Include, IncludedFilesAreRecordedAsInputFiles) {
  InTempDir in_temp_dir;
  write_file("a.xml", "<include>b.xml</include>");
  write_file("b.xml", lc("B"));
  write_file("c.xml", lc("C"));
  const ZEVO_CONTEXT context = read_document("<zevo><include>a.xml</include></zevo>");
  EXPECT_TRUE(names_input_file(&context, "a.xml"));
  EXPECT_TRUE(names_input_file(&context, "b.xml"));
  EXPECT_FALSE(names_input_file(&context, "c.xml"));
  release_all_records();
}

}  // namespace
}  // namespace zevo
