// The one path by which the system prints its messages, and the one way a stage ends the run.
#pragma once

#include <cstdarg>
#include <cstdio>

namespace zevo {

// The two console streams. They are the process's stdout and stderr unless a test has
// redirected them (see redirect_message_streams); every message goes through them.
FILE* out_stream();
FILE* err_stream();

// Points the console streams at other files; null restores stdout/stderr. For tests.
void redirect_message_streams(FILE* out, FILE* err);

enum class Stream { out, err };

// printf-style print of one message to the named console stream.
void print_message(Stream stream, const char* format, ...) __attribute__((format(printf, 2, 3)));
void vprint_message(Stream stream, const char* format, va_list args)
    __attribute__((format(printf, 2, 0)));

// Thrown by exit_with_message; the entry point turns it into the process's exit status.
struct RunEnded {
  int status;
};

// Prints one message, flushes both console streams and ends the run with status 1 by
// throwing RunEnded. Nothing is printed after the message.
// A text of the input model as a message shows it: the text itself, or NULL when the document
// gave none (printf must never see a null %s).
inline const char* shown_text(const char* text) { return text ? text : "NULL"; }

[[noreturn]] void exit_with_message(Stream stream, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

}  // namespace zevo
