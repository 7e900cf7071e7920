// In-process capture of what the system prints on its two console streams.
#pragma once

#include <cstdio>
#include <string>

namespace zevo::testing {

// While alive, the console streams of model/messages.h write into memory.
class CapturedMessages {
 public:
  CapturedMessages();
  ~CapturedMessages();
  CapturedMessages(const CapturedMessages&) = delete;
  CapturedMessages& operator=(const CapturedMessages&) = delete;

  // Everything printed so far on each stream.
  std::string out();
  std::string err();

 private:
  char* out_text_ = nullptr;
  std::size_t out_size_ = 0;
  FILE* out_ = nullptr;
  char* err_text_ = nullptr;
  std::size_t err_size_ = 0;
  FILE* err_ = nullptr;
};

// A read-only stream over `text`, for the readers (fmemopen keeps no copy: keep `text` alive).
FILE* open_text_stream(const std::string& text);

}  // namespace zevo::testing
