// One whole run of zevo on fuzzed bytes, inside the process and confined to a private folder.
//
// Entry points:
// - prepare_confined_runs(argc, argv): once per process, from LLVMFuzzerInitialize. Makes the
//   private folder (mkdtemp under /dev/shm when it can be written, else under the temporary
//   directory; removed with its contents at exit, left behind after a crash), points both
//   console streams at /dev/null, and appends
//   -artifact_prefix=<working directory>/ to the fuzzer's arguments unless an artifact path is
//   given: runs take place inside the folder, and a crash must not leave its reproducer there.
// - run_confined(data, size): one run. The bytes up to the first NUL byte are the document,
//   doc.xml; each later NUL starts a fragment, f1.xml to f4.xml (the last takes the rest), that
//   the document may include. Documents whose `include` or `filename` texts (in any case, at
//   any depth) name something outside the folder, that is hold a '/', are not run, so nothing
//   is read from or written to anywhere else. Runs run_zevo with {"zevo", "--json",
//   "/dev/null", "--dot", "/dev/null", "-j", "1", "doc.xml"} and the folder as working
//   directory, then restores it, empties the folder and releases every record. A run that
//   leaves a descriptor open aborts, as a crash the fuzzer reports.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zevo::fuzz {

void prepare_confined_runs(int* argc, char*** argv);

void run_confined(const std::uint8_t* data, std::size_t size);

}  // namespace zevo::fuzz
