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
  double* large = alloc_array<double>(1000, "oom\n");
  EXPECT_EQ(nbr_records_held(), 3u);
  release_record(loops);
  EXPECT_EQ(nbr_records_held(), 2u);
  release_record(node);  // ordinary records, small or large, stay until the end of the run
  release_record(large);
  release_record(nullptr);
  EXPECT_EQ(nbr_records_held(), 2u);
  large[999] = 1.0;
  release_all_records();
  EXPECT_EQ(nbr_records_held(), 0u);
}

// Whether AddressSanitizer is built in (g++ says so by a macro, clang++ through __has_feature),
// whatever the build defined for the store: a sanitizer build that lost ZEVO_SANITIZE fails.
#if defined(__SANITIZE_ADDRESS__)
#define ZEVO_TEST_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZEVO_TEST_ADDRESS_SANITIZER
#endif
#endif

#ifdef ZEVO_TEST_ADDRESS_SANITIZER
// Carved from a chunk, a record is followed by the next one or by padding, and a read past its
// end goes unseen; allocated on its own, it is followed by the allocator's guard bytes.
char read_byte(const char* p) { return *static_cast<const volatile char*>(p); }

TEST(RecordStoreDeathTest, UnderTheSanitizersAReadPastARecordIsCaught) {
  const char* name = alloc_array<char>(4, "oom\n");
  const char* node = reinterpret_cast<const char*>(alloc_record<NODE>("oom\n"));
  EXPECT_DEATH(read_byte(name + 4), "heap-buffer-overflow");
  EXPECT_DEATH(read_byte(node + sizeof(NODE)), "heap-buffer-overflow");
}
#endif

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
