// The results table, compared whole with the time line masked, and its debug trace.
#include "report/print_zevo_output.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "model/messages.h"
#include "report_records.h"
#include "support/captured_messages.h"
#include "support/run_executable.h"

namespace zevo {
namespace {

using testing::add_cable;
using testing::add_calc_connection;
using testing::kMaskedHeader;
using testing::mask_time_lines;
using testing::MemoryStream;
using testing::new_context;

const char kColumns[] = " \"Cable\" , \"Node_1\" , \"Node_2\" , \"Zevo\" , \"Loop\"\n";

std::string table_of(const ZEVO_CONTEXT* context) {
  MemoryStream stream;
  EXPECT_EQ(print_zevo_output(stream.file(), context), 0);
  return mask_time_lines(stream.text());
}

// Requested A then B, so the list (and the table) holds B first. A's ends stay joined without
// it (equal side numbers): it lies in a loop.
TEST(PrintZevoOutput, RowsFollowTheListWithLoopColumnFromTheSideNumbers) {
  ZEVO_CONTEXT* context = new_context();
  add_calc_connection(context, add_cable(context, "A", "P", "Q"), 900, 1, 1);
  add_calc_connection(context, add_cable(context, "B", "Q", "R"), 250.5, 1, 2);
  testing::CapturedMessages messages;
  EXPECT_EQ(table_of(context), std::string(kMaskedHeader) + kColumns +
                                   " \"B\" , \"Q\" , \"R\" ,    250.5 , \"NO\" \n"
                                   " \"A\" , \"P\" , \"Q\" ,    900.0 , \"YES\" \n"
                                   "\n\n\n");
  EXPECT_EQ(messages.out(), "");  // no trace without debug
}

TEST(PrintZevoOutput, OutputWithoutCablesGivesATableWithoutRows) {
  EXPECT_EQ(table_of(new_context()), std::string(kMaskedHeader) + kColumns + "\n\n\n");
}

TEST(PrintZevoOutput, ValuesArePaddedToEightCharacters) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  ZEVO_CONTEXT* context = new_context();
  add_calc_connection(context, add_cable(context, "V5", "P", "Q"), 5, 1, 2);
  add_calc_connection(context, add_cable(context, "V1234", "P", "Q"), 1234.56, 1, 2);
  add_calc_connection(context, add_cable(context, "V0", "P", "Q"), 0, 1, 2);
  add_calc_connection(context, add_cable(context, "VNAN", "P", "Q"),
                      std::numeric_limits<double>::quiet_NaN(), 1, 2);
  add_calc_connection(context, add_cable(context, "VINF", "P", "Q"), kInf, 1, 2);
  add_calc_connection(context, add_cable(context, "VNINF", "P", "Q"), -kInf, 1, 2);
  EXPECT_EQ(table_of(context), std::string(kMaskedHeader) + kColumns +
                                   " \"VNINF\" , \"P\" , \"Q\" ,     -inf , \"NO\" \n"
                                   " \"VINF\" , \"P\" , \"Q\" ,      inf , \"NO\" \n"
                                   " \"VNAN\" , \"P\" , \"Q\" ,      nan , \"NO\" \n"
                                   " \"V0\" , \"P\" , \"Q\" ,      0.0 , \"NO\" \n"
                                   " \"V1234\" , \"P\" , \"Q\" ,   1234.6 , \"NO\" \n"
                                   " \"V5\" , \"P\" , \"Q\" ,      5.0 , \"NO\" \n"
                                   "\n\n\n");
}

// Texts the cable lacks print as (NULL) without quotes. A requested cable that was never
// resolved shows its requested name, no end names, and a zeroed result (equal sides 0).
TEST(PrintZevoOutput, MissingTextsAndUnresolvedCablesPrintAsNull) {
  ZEVO_CONTEXT* context = new_context();
  add_calc_connection(context, add_cable(context, nullptr, nullptr, "Q"), 1, 1, 2);
  CALC_CONNECTION* ghost = add_calc_connection(context, nullptr, 0, 0, 0);
  ghost->name = "GHOST";
  ghost->results = nullptr;
  EXPECT_EQ(table_of(context), std::string(kMaskedHeader) + kColumns +
                                   " \"GHOST\" , (NULL) , (NULL) ,      0.0 , \"YES\" \n"
                                   " (NULL) , (NULL) , \"Q\" ,      1.0 , \"NO\" \n"
                                   "\n\n\n");
}

TEST(PrintZevoOutput, DebugTracesEnteringTimeAndLeavingOnTheConsole) {
  ZEVO_CONTEXT* context = new_context();
  context->debug = 1;
  add_calc_connection(context, add_cable(context, "A", "P", "Q"), 900, 1, 1);
  testing::CapturedMessages messages;
  EXPECT_EQ(table_of(context), std::string(kMaskedHeader) + kColumns +
                                   " \"A\" , \"P\" , \"Q\" ,    900.0 , \"YES\" \n"
                                   "\n\n\n");
  EXPECT_EQ(messages.out(), " entering print_zevo_output\n got time\n leaving print_zevo_output\n");
  EXPECT_EQ(messages.err(), "");
}

// On the console the trace and the table interleave: the time is read before the header is
// written, and the leaving line follows the three empty lines.
TEST(PrintZevoOutput, NullStreamWritesTheTableToTheConsoleBetweenTheTraceLines) {
  ZEVO_CONTEXT* context = new_context();
  context->debug = 1;
  add_calc_connection(context, add_cable(context, "A", "P", "Q"), 0, 1, 2);
  testing::CapturedMessages messages;
  EXPECT_EQ(print_zevo_output(nullptr, context), 0);
  EXPECT_EQ(mask_time_lines(messages.out()),
            std::string(" entering print_zevo_output\n got time\n") + kMaskedHeader + kColumns +
                " \"A\" , \"P\" , \"Q\" ,      0.0 , \"NO\" \n"
                "\n\n\n"
                " leaving print_zevo_output\n");
}

TEST(PrintZevoOutput, ReturnsTheResultOfTheFinalFlush) {
  const ZEVO_CONTEXT* context = new_context();
  FILE* failing = testing::open_failing_stream();
  EXPECT_EQ(print_zevo_output(failing, context), EOF);
  std::fclose(failing);
}

TEST(PrintZevoOutput, NullContextPrintsBothLinesAndEndsTheRun) {
  testing::CapturedMessages messages;
  MemoryStream stream;
  EXPECT_THROW(print_zevo_output(stream.file(), nullptr), RunEnded);
  EXPECT_EQ(messages.out(),
            "*** ERROR: NULL Pointer in print_zevo_output\n"
            " NULL Pointr for zevo in print_zevo_output\n");
  EXPECT_EQ(messages.err(), "");
  EXPECT_EQ(stream.text(), "");
}

}  // namespace
}  // namespace zevo
