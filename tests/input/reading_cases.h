// The document reader's test cases, shared by the tests of the reader and of the includes.
//
// Entry points:
//   read_document(document) reads `document` from memory as the main document and returns the
//   input model; its records live until release_all_records.
//   expect_reading(reading) reads one case's document, in a fresh working directory holding the
//   fragment files it includes, and checks the model (one line per record) and the messages.
//   InTempDir makes a fresh working directory for its lifetime; lc(name) is an lc element.
// A run the reader ends throws RunEnded out of read_document.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "model/run_context.h"
#include "support/run_executable.h"

namespace zevo::testing {

ZEVO_CONTEXT read_document(const std::string& document);

// While alive, the working directory (where include names are taken from) is a fresh one.
class InTempDir {
 public:
  InTempDir() : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
  }
  ~InTempDir() { std::filesystem::current_path(saved_); }

 private:
  std::filesystem::path saved_;
  TempDir dir_;
};

// The fragment files that a document includes: name and text of each.
using Files = std::vector<std::pair<std::string, std::string>>;

// One document for the reader, with the files it includes.
struct ReadingCase {
  const char* name;
  std::string document;
  std::string err;    // what the error stream shows: the warnings, or the fatal message
  const char* model;  // the model, one line per record (see reading_cases.cc); null when the
                      // run must end
  Files files = {};
};

void expect_reading(const ReadingCase& reading);

std::string lc(const std::string& name);

}  // namespace zevo::testing
