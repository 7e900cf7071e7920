// The header that both reports open with.
#include "report/report_header.h"

#include <gtest/gtest.h>

#include <string>

#include "report_records.h"
#include "support/run_executable.h"

namespace zevo {
namespace {

TEST(ReportHeader, WritesVersionNoticeAndTimeThenThreeEmptyLines) {
  testing::MemoryStream stream;
  print_report_header(stream.file());
  const std::string text = stream.text();
  EXPECT_EQ(testing::mask_time_lines(text), testing::kMaskedHeader);
  // The ctime text: 24 characters and its own newline, then the three empty lines.
  const std::size_t time_start = text.find("networks\n") + 9;
  EXPECT_EQ(text.size() - time_start, 24u + 1u + 3u);
}

}  // namespace
}  // namespace zevo
