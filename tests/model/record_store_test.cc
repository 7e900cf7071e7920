#include "model/record_store.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/run_context.h"
#include "support/captured_messages.h"

namespace zevo {
namespace {

TEST(RecordStore, AllocatesZeroFilledRecords) {
  auto* result = alloc_record<ZEVO_RESULT>("oom\n");
  EXPECT_EQ(result->condition, nullptr);
  EXPECT_EQ(result->nbr_conditions, 0);
  EXPECT_EQ(result->val, 0.0);
  EXPECT_EQ(result->sub_network1, 0);
  EXPECT_EQ(result->sub_network2, 0);
  EXPECT_EQ(result->nw, nullptr);
  int* counts = alloc_array<int>(1000, "oom\n");
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(counts[i], 0);
}

TEST(RecordStore, SmallRecordsAreAlignedAndApartAcrossChunks) {
  // Enough records to fill several chunks; each must be zero, aligned and not overlap the next.
  std::vector<NETWORK_NODE*> entries;
  for (int i = 0; i < 50000; ++i) {
    auto* entry = alloc_record<NETWORK_NODE>("oom\n");
    ASSERT_EQ(entry->n, nullptr);
    ASSERT_EQ(entry->sub_network, 0);
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(entry) % alignof(std::max_align_t), 0u);
    entry->sub_network = i + 1;
    entries.push_back(entry);
  }
  for (int i = 0; i < 50000; ++i) ASSERT_EQ(entries[i]->sub_network, i + 1);
}

TEST(RecordStore, ReleasesReleasableBlocksOnlyAndEverythingAtTheEnd) {
  release_all_records();
  int* loops = alloc_releasable_array<int>(10, "oom\n");
  NODE* node = alloc_record<NODE>("oom\n");
  EXPECT_EQ(nbr_records_held(), 2u);
  release_record(loops);
  EXPECT_EQ(nbr_records_held(), 1u);
  release_record(node);  // an ordinary record stays until the end of the run
  release_record(nullptr);
  EXPECT_EQ(nbr_records_held(), 1u);
  release_all_records();
  EXPECT_EQ(nbr_records_held(), 0u);
}

TEST(RecordStore, ExhaustedMemoryPrintsTheSiteMessageAndEndsTheRun) {
  testing::CapturedMessages messages;
  fail_allocation_after(2);
  alloc_record<NODE>(" first\n");
  try {
    alloc_record<NODE>(" *** ERROR: Out of Memory in copy_network() a\n");
    FAIL() << "the second allocation should have failed";
  } catch (const RunEnded& ended) {
    EXPECT_EQ(ended.status, 1);
  }
  EXPECT_EQ(messages.err(), " *** ERROR: Out of Memory in copy_network() a\n");
  EXPECT_EQ(messages.out(), "");
  fail_allocation_after(0);
}

TEST(RecordStore, ImpossibleArraySizeFailsLikeExhaustedMemory) {
  testing::CapturedMessages messages;
  EXPECT_THROW(alloc_array<double>(static_cast<std::size_t>(-1) / 4, " big\n", Stream::out),
               RunEnded);
  EXPECT_EQ(messages.out(), " big\n");
}

TEST(ZevoInit, LeavesAnEmptyContextWithAnEmptyNetwork) {
  ZEVO_CONTEXT context;
  context.debug = 7;
  context.nodes = reinterpret_cast<NODE*>(&context);
  zevo_init(&context);
  EXPECT_EQ(context.debug, 0);
  EXPECT_EQ(context.nodes, nullptr);
  EXPECT_EQ(context.outfile, nullptr);
  ASSERT_NE(context.nw, nullptr);
  EXPECT_EQ(context.nw->nc, nullptr);
  EXPECT_EQ(context.nw->nbr_connection, 0);
  EXPECT_EQ(context.nw->nbr_network_nodes, 0);
  EXPECT_EQ(context.nw->nbr_bustransfers, 0);
  EXPECT_EQ(context.nw->nbr_sub_networks, 0);
  EXPECT_EQ(context.nw->nbr_loops, nullptr);
}

TEST(ZevoInit, OutOfMemoryNamesZevoInit) {
  testing::CapturedMessages messages;
  fail_allocation_after(1);
  ZEVO_CONTEXT context;
  EXPECT_THROW(zevo_init(&context), RunEnded);
  fail_allocation_after(0);
  EXPECT_EQ(messages.err(), " *** ERROR: Out of memory in zevo_init() a\n");
}

}  // namespace
}  // namespace zevo
