#include "model/record_store.h"

#include <cstdlib>

namespace zevo {
namespace {

// Each block carries a header that links it into one list of live blocks, so that a single
// block can be released in O(1) and all of them without recursion.
struct alignas(std::max_align_t) BlockHeader {
  BlockHeader* prev;
  BlockHeader* next;
};

class RecordStore {
 public:
  ~RecordStore() { release_all(); }

  void* allocate(std::size_t bytes) {
    if (fail_countdown_ > 0 && --fail_countdown_ == 0) return nullptr;
    if (bytes > static_cast<std::size_t>(-1) - sizeof(BlockHeader)) return nullptr;
    auto* header = static_cast<BlockHeader*>(std::calloc(1, sizeof(BlockHeader) + bytes));
    if (!header) return nullptr;
    header->next = head_;
    if (head_) head_->prev = header;
    head_ = header;
    ++count_;
    return header + 1;
  }

  void release(void* block) {
    if (!block) return;
    BlockHeader* header = static_cast<BlockHeader*>(block) - 1;
    if (header->prev) header->prev->next = header->next;
    if (header->next) header->next->prev = header->prev;
    if (head_ == header) head_ = header->next;
    --count_;
    std::free(header);
  }

  void release_all() {
    while (head_) {
      BlockHeader* next = head_->next;
      std::free(head_);
      head_ = next;
    }
    count_ = 0;
  }

  std::size_t count() const { return count_; }
  void fail_after(long n) { fail_countdown_ = n; }

 private:
  BlockHeader* head_ = nullptr;
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

void release_record(void* block) { store().release(block); }
void release_all_records() { store().release_all(); }
std::size_t nbr_records_held() { return store().count(); }
void fail_allocation_after(long n) { store().fail_after(n); }

}  // namespace zevo
