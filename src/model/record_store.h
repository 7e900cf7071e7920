// Zero-filled storage for every record of a run.
//
// Records are plain structs joined by raw pointers, as the rest of the system expects. They are
// allocated here and live until the process ends, when the store releases them all at once (no
// walk over the records, so no depth limit). Only a network's loop-count array is released
// earlier: it is allocated releasable and given back with release_record. Built with
// ZEVO_SANITIZE, every record is an allocation of its own, so that the sanitizers see a read or
// write past the end of one.
#pragma once

#include <cstddef>
#include <type_traits>

#include "model/messages.h"

namespace zevo {

// Returns `bytes` zero-filled bytes aligned for any record. When memory runs out, prints
// `oom_message` to `stream` and ends the run (exit_with_message).
void* allocate_zeroed(std::size_t bytes, Stream stream, const char* oom_message);

// The same for a block that may be given back before the end of the run with release_record.
void* allocate_releasable(std::size_t bytes, Stream stream, const char* oom_message);

// `bytes` zero-filled bytes without alignment, for texts: packed one after another, the many
// short names and figures of a large document cost their length and a terminator.
void* allocate_packed(std::size_t bytes, Stream stream, const char* oom_message);

// Releases one block from allocate_releasable. Null, and any other record, are left alone:
// they live until the end of the run.
void release_record(void* block);

// Releases every block at once. Tests call it between cases; the process exit does it too.
void release_all_records();

// Number of blocks currently held.
std::size_t nbr_records_held();

// Test hook: the `n`-th allocation from now fails as if memory had run out (0 turns it off).
void fail_allocation_after(long n);

// One zero-filled record of type T; `oom_message` as for allocate_zeroed.
template <typename T>
T* alloc_record(const char* oom_message, Stream stream = Stream::err) {
  static_assert(std::is_trivial_v<T>, "records are plain data");
  return static_cast<T*>(allocate_zeroed(sizeof(T), stream, oom_message));
}

// An array of `count` zero-filled entries of type T; a count too large to address fails as
// exhausted memory does.
template <typename T>
T* alloc_array(std::size_t count, const char* oom_message, Stream stream = Stream::err) {
  static_assert(std::is_trivial_v<T>, "records are plain data");
  if (count > static_cast<std::size_t>(-1) / 2 / sizeof(T)) {
    exit_with_message(stream, "%s", oom_message);
  }
  return static_cast<T*>(allocate_zeroed(count * sizeof(T), stream, oom_message));
}

// Room for a text of `length` characters and its terminator, zero-filled; as allocate_packed.
inline char* alloc_text(std::size_t length, const char* oom_message, Stream stream = Stream::err) {
  if (length >= static_cast<std::size_t>(-1) / 2) exit_with_message(stream, "%s", oom_message);
  return static_cast<char*>(allocate_packed(length + 1, stream, oom_message));
}

// An array as alloc_array gives it, that release_record can give back.
template <typename T>
T* alloc_releasable_array(std::size_t count, const char* oom_message, Stream stream = Stream::err) {
  static_assert(std::is_trivial_v<T>, "records are plain data");
  if (count > static_cast<std::size_t>(-1) / 2 / sizeof(T)) {
    exit_with_message(stream, "%s", oom_message);
  }
  return static_cast<T*>(allocate_releasable(count * sizeof(T), stream, oom_message));
}

}  // namespace zevo
