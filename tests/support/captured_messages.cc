#include "support/captured_messages.h"

#include <cstdlib>

#include "model/messages.h"

namespace zevo::testing {

CapturedMessages::CapturedMessages() {
  out_ = open_memstream(&out_text_, &out_size_);
  err_ = open_memstream(&err_text_, &err_size_);
  redirect_message_streams(out_, err_);
}

CapturedMessages::~CapturedMessages() {
  redirect_message_streams(nullptr, nullptr);
  std::fclose(out_);
  std::fclose(err_);
  std::free(out_text_);
  std::free(err_text_);
}

std::string CapturedMessages::out() {
  std::fflush(out_);
  return std::string(out_text_, out_size_);
}

std::string CapturedMessages::err() {
  std::fflush(err_);
  return std::string(err_text_, err_size_);
}

FILE* open_text_stream(const std::string& text) {
  // A zero-length stream still needs a buffer address.
  static char empty[1] = {0};
  if (text.empty()) return fmemopen(empty, 0, "r");
  return fmemopen(const_cast<char*>(text.data()), text.size(), "r");
}

}  // namespace zevo::testing
