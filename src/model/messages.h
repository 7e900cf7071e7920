// The one path by which the system prints its messages, and the one way a stage ends the run.
//
// Entry points: print_message and vprint_message (one message on a console stream),
// print_trace (a debug line, flushed at once), exit_with_message (prints, flushes and ends the
// run with status 1 by throwing RunEnded, which main turns into the exit status), shown_text
// (how a missing text of the input appears in a message). Tests may point the console streams
// at files of their own with redirect_message_streams.
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

// A line of the debug trace: printf-style on the output stream, flushed at once so that it
// keeps its place among everything else on the console. Prints nothing when `debug` is 0.
void print_trace(int debug, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Thrown by exit_with_message; the entry point turns it into the process's exit status.
struct RunEnded {
  int status;
};

// Prints one message, flushes both console streams and ends the run with status 1 by
// throwing RunEnded. Nothing is printed after the message.
[[noreturn]] void exit_with_message(Stream stream, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// A text of the input model as a message shows it: the text itself, or NULL when the document
// gave none (printf must never see a null %s).
inline const char* shown_text(const char* text) { return text ? text : "NULL"; }

}  // namespace zevo
