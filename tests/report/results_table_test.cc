// The results table, compared whole with the time line masked, and its debug trace; the flush
// result and the null context that it shares with the echo.
#include "report/results_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "model/messages.h"
#include "report/echo.h"
#include "report_records.h"
#include "support/captured_messages.h"
#include "support/run_executable.h"

namespace zevo {
namespace {

using testing::add_connection;
using testing::add_result;
using testing::new_context;

const char kColumns[] = " \"Cable\" , \"Node_1\" , \"Node_2\" , \"Zevo\" , \"Loop\"\n";

// The whole table whose rows read `rows`.
std::string table_with(const std::string& rows) {
  return testing::kMaskedHeader + (kColumns + rows) + "\n\n\n";
}

std::string table_of(const ZEVO_CONTEXT* context) {
  testing::MemoryStream stream;
  EXPECT_EQ(print_zevo_output(stream.file(), context), 0);
  return testing::mask_time_lines(stream.text());
}

constexpr double kInf = std::numeric_limits<double>::infinity();

// A requested cable with its result; requested in this order, so the table lists them reversed.
struct Row {
  const char* cable;
  const char* lc1;
  const char* lc2;
  double val;
  int side1, side2;
};

struct Case {
  const char* name;
  std::vector<Row> requested;
  const char* rows;
};

const Case kCases[] = {
    // A's ends stay joined without it (equal side numbers): it lies in a loop.
    {"rows in list order, loop column from the side numbers",
     {{"A", "P", "Q", 900, 1, 1}, {"B", "Q", "R", 250.5, 1, 2}},
     " \"B\" , \"Q\" , \"R\" ,    250.5 , \"NO\" \n"
     " \"A\" , \"P\" , \"Q\" ,    900.0 , \"YES\" \n"},
    {"output without cables", {}, ""},
    {"values padded to eight characters",
     {{"V5", "P", "Q", 5, 1, 2},
      {"V1234", "P", "Q", 1234.56, 1, 2},
      {"V0", "P", "Q", 0, 1, 2},
      {"VNAN", "P", "Q", std::numeric_limits<double>::quiet_NaN(), 1, 2},
      {"VINF", "P", "Q", kInf, 1, 2},
      {"VNINF", "P", "Q", -kInf, 1, 2}},
     " \"VNINF\" , \"P\" , \"Q\" ,     -inf , \"NO\" \n"
     " \"VINF\" , \"P\" , \"Q\" ,      inf , \"NO\" \n"
     " \"VNAN\" , \"P\" , \"Q\" ,      nan , \"NO\" \n"
     " \"V0\" , \"P\" , \"Q\" ,      0.0 , \"NO\" \n"
     " \"V1234\" , \"P\" , \"Q\" ,   1234.6 , \"NO\" \n"
     " \"V5\" , \"P\" , \"Q\" ,      5.0 , \"NO\" \n"},
    // Texts the cable lacks print as (NULL) without quotes.
    {"missing texts",
     {{nullptr, nullptr, "Q", 1, 1, 2}},
     " (NULL) , (NULL) , \"Q\" ,      1.0 , \"NO\" \n"},
};

// Without debug the console stays silent.
TEST(PrintZevoOutput, WritesOneRowPerRequestedCable) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ZEVO_CONTEXT* context = new_context();
    for (const Row& row : c.requested) {
      add_result(context, add_connection(context, row.cable, row.lc1, row.lc2), row.val, row.side1,
                 row.side2);
    }
    testing::CapturedMessages messages;
    EXPECT_EQ(table_of(context), table_with(c.rows));
    EXPECT_EQ(messages.out(), "");
  }
}

// A requested cable that was never resolved shows its requested name, no end names, and a
// zeroed result (equal sides 0).
TEST(PrintZevoOutput, UnresolvedCableShowsItsRequestedNameAndAZeroResult) {
  ZEVO_CONTEXT* context = new_context();
  testing::add_calc_connection(context, "GHOST")->results = nullptr;
  EXPECT_EQ(table_of(context), table_with(" \"GHOST\" , (NULL) , (NULL) ,      0.0 , \"YES\" \n"));
}

TEST(PrintZevoOutput, DebugTracesEnteringTimeAndLeavingOnTheConsole) {
  ZEVO_CONTEXT* context = new_context();
  context->debug = 1;
  add_result(context, add_connection(context, "A", "P", "Q"), 900, 1, 1);
  testing::CapturedMessages messages;
  EXPECT_EQ(table_of(context), table_with(" \"A\" , \"P\" , \"Q\" ,    900.0 , \"YES\" \n"));
  EXPECT_EQ(messages.out(), " entering print_zevo_output\n got time\n leaving print_zevo_output\n");
  EXPECT_EQ(messages.err(), "");
}

// On the console the trace and the table interleave: the time is read before the header is
// written, and the leaving line follows the three empty lines.
TEST(PrintZevoOutput, NullStreamWritesTheTableToTheConsoleBetweenTheTraceLines) {
  ZEVO_CONTEXT* context = new_context();
  context->debug = 1;
  add_result(context, add_connection(context, "A", "P", "Q"), 0, 1, 2);
  testing::CapturedMessages messages;
  EXPECT_EQ(print_zevo_output(nullptr, context), 0);
  EXPECT_EQ(testing::mask_time_lines(messages.out()),
            " entering print_zevo_output\n got time\n" +
                table_with(" \"A\" , \"P\" , \"Q\" ,      0.0 , \"NO\" \n") +
                " leaving print_zevo_output\n");
}

// What the results table shares with the echo: the flush result and the null context.

struct Report {
  const char* name;
  int (*print)(FILE*, const ZEVO_CONTEXT*);
  const char* null_context_message;
};

const Report kReports[] = {
    {"echo", print_zevo_input, " *** ERROR: NULL Pointer in print_zevo_input\n"},
    {"results table", print_zevo_output,
     "*** ERROR: NULL Pointer in print_zevo_output\n"
     " NULL Pointr for zevo in print_zevo_output\n"},
};

// A stream whose every write fails, with a buffer large enough that the failure shows only
// when the report flushes it.
TEST(Reports, ReturnTheResultOfTheFinalFlush) {
  for (const Report& report : kReports) {
    SCOPED_TRACE(report.name);
    cookie_io_functions_t io{};
    io.write = [](void*, const char*, std::size_t) -> ssize_t { return -1; };
    FILE* failing = fopencookie(nullptr, "w", io);
    std::setvbuf(failing, nullptr, _IOFBF, 1 << 16);
    EXPECT_EQ(report.print(failing, testing::new_context()), EOF);
    std::fclose(failing);
  }
}

TEST(Reports, NullContextEndsTheRunWithItsLinesOnStandardOutput) {
  for (const Report& report : kReports) {
    SCOPED_TRACE(report.name);
    testing::CapturedMessages messages;
    testing::MemoryStream stream;
    EXPECT_THROW(report.print(stream.file(), nullptr), RunEnded);
    EXPECT_EQ(messages.out(), report.null_context_message);
    EXPECT_EQ(messages.err(), "");
    EXPECT_EQ(stream.text(), "");
  }
}

}  // namespace
}  // namespace zevo
