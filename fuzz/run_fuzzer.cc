// libFuzzer target: the whole run of zevo on one document (and up to four fragments it may
// include), in a private folder. See fuzz/confined_run.h for how the bytes become files.
#include <cstddef>
#include <cstdint>

#include "fuzz/confined_run.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  zevo::fuzz::prepare_confined_runs(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zevo::fuzz::run_confined(data, size);
  return 0;
}
