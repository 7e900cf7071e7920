// AddressSanitizer's defaults for the fuzz targets, which ASAN_OPTIONS still overrides.
// Freed memory is held back 16 MB deep instead of 256 MB: an execution frees a few kilobytes, so
// a use after free is still caught thousands of executions later, and the memory being reused
// stays in the cache instead of faulting in fresh pages. Allocation stacks are recorded 4 frames
// deep instead of 30, since every allocation unwinds; rerun a reproducer with
// ASAN_OPTIONS=malloc_context_size=30 for the whole stack.
extern "C" const char* __asan_default_options() {
  return "quarantine_size_mb=16:malloc_context_size=4";
}
