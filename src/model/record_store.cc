#include "model/record_store.h"

#include <cstdlib>
#include <unordered_set>
#include <vector>

namespace zevo {
namespace {

constexpr std::size_t kAlignment = alignof(std::max_align_t);
constexpr std::size_t kChunkSize = 256 * 1024;

// Small records are carved in order from zero-filled chunks: a network copy of the cut search
// is hundreds of thousands of small entries, and one allocation each would cost more than the
// entries themselves. Large and releasable blocks are allocated one by one. Under the
// sanitizers every record is allocated on its own, so that a read or write past its end meets
// the allocator's guard bytes instead of the next record of a chunk.
#if defined(ZEVO_SANITIZE) && ZEVO_SANITIZE
constexpr bool kCarvesRecords = false;
#else
constexpr bool kCarvesRecords = true;
#endif
constexpr std::size_t kLargestCarved = 1024;

class RecordStore {
 public:
  ~RecordStore() { release_all(); }

  void* allocate(std::size_t bytes) {
    if (fails_now()) return nullptr;
    if (!kCarvesRecords || bytes > kLargestCarved) return allocate_block(bytes);
    bytes = (bytes + kAlignment - 1) / kAlignment * kAlignment;
    if (chunk_left_ < bytes) {
      void* chunk = std::calloc(1, kChunkSize);
      if (!chunk) return nullptr;
      chunks_.push_back(chunk);
      chunk_next_ = static_cast<char*>(chunk);
      chunk_left_ = kChunkSize;
    }
    void* record = chunk_next_;
    chunk_next_ += bytes;
    chunk_left_ -= bytes;
    ++count_;
    return record;
  }

  // Texts are carved from chunks of their own, so that records keep their alignment.
  void* allocate_packed(std::size_t bytes) {
    if (fails_now()) return nullptr;
    if (!kCarvesRecords || bytes > kLargestCarved) return allocate_block(bytes);
    if (text_left_ < bytes) {
      void* chunk = std::calloc(1, kChunkSize);
      if (!chunk) return nullptr;
      chunks_.push_back(chunk);
      text_next_ = static_cast<char*>(chunk);
      text_left_ = kChunkSize;
    }
    void* text = text_next_;
    text_next_ += bytes;
    text_left_ -= bytes;
    ++count_;
    return text;
  }

  void* allocate_releasable(std::size_t bytes) {
    if (fails_now()) return nullptr;
    void* block = new_block(bytes);
    if (block) releasable_.insert(block);
    return block;
  }

  void release(void* block) {
    if (!block || releasable_.erase(block) == 0) return;
    std::free(block);
    --count_;
  }

  void release_all() {
    for (void* block : releasable_) std::free(block);
    for (void* block : blocks_) std::free(block);
    for (void* chunk : chunks_) std::free(chunk);
    releasable_.clear();
    blocks_.clear();
    chunks_.clear();
    chunk_next_ = nullptr;
    chunk_left_ = 0;
    text_next_ = nullptr;
    text_left_ = 0;
    count_ = 0;
  }

  std::size_t count() const { return count_; }
  void fail_after(long n) { fail_countdown_ = n; }

 private:
  bool fails_now() { return fail_countdown_ > 0 && --fail_countdown_ == 0; }

  void* allocate_block(std::size_t bytes) {
    void* block = new_block(bytes);
    if (block) blocks_.push_back(block);
    return block;
  }

  void* new_block(std::size_t bytes) {
    void* block = std::calloc(1, bytes ? bytes : 1);
    if (block) ++count_;
    return block;
  }

  std::vector<void*> chunks_;
  char* chunk_next_ = nullptr;
  std::size_t chunk_left_ = 0;
  char* text_next_ = nullptr;
  std::size_t text_left_ = 0;
  std::vector<void*> blocks_;  // records allocated one by one, kept to the end of the run
  std::unordered_set<void*> releasable_;
  std::size_t count_ = 0;
  long fail_countdown_ = 0;
};

RecordStore& store() {
  static RecordStore the_store;
  return the_store;
}

}  // namespace

void* allocate_zeroed(std::size_t bytes, Stream stream, const char* oom_message) {
  void* block = store().allocate(bytes);
  if (!block) exit_with_message(stream, "%s", oom_message);
  return block;
}

void* allocate_packed(std::size_t bytes, Stream stream, const char* oom_message) {
  void* block = store().allocate_packed(bytes);
  if (!block) exit_with_message(stream, "%s", oom_message);
  return block;
}

void* allocate_releasable(std::size_t bytes, Stream stream, const char* oom_message) {
  void* block = store().allocate_releasable(bytes);
  if (!block) exit_with_message(stream, "%s", oom_message);
  return block;
}

void release_record(void* block) { store().release(block); }
void release_all_records() { store().release_all(); }
std::size_t nbr_records_held() { return store().count(); }
void fail_allocation_after(long n) { store().fail_after(n); }

}  // namespace zevo
