#include "model/messages.h"

#include <cstdarg>

namespace zevo {
namespace {
FILE* redirected_out = nullptr;
FILE* redirected_err = nullptr;

FILE* stream_of(Stream stream) { return stream == Stream::out ? out_stream() : err_stream(); }
}  // namespace

FILE* out_stream() { return redirected_out ? redirected_out : stdout; }
FILE* err_stream() { return redirected_err ? redirected_err : stderr; }

void redirect_message_streams(FILE* out, FILE* err) {
  redirected_out = out;
  redirected_err = err;
}

void vprint_message(Stream stream, const char* format, va_list args) {
  vfprintf(stream_of(stream), format, args);
}

void print_message(Stream stream, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vprint_message(stream, format, args);
  va_end(args);
}

void print_trace(int debug, const char* format, ...) {
  if (!debug) return;
  va_list args;
  va_start(args, format);
  vprint_message(Stream::out, format, args);
  va_end(args);
  fflush(out_stream());
}

void exit_with_message(Stream stream, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vprint_message(stream, format, args);
  va_end(args);
  fflush(out_stream());
  fflush(err_stream());
  throw RunEnded{1};
}

}  // namespace zevo
