#include "main/progress_line.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "model/messages.h"

namespace zevo {
namespace {

constexpr double kQuietSeconds = 1.0;
constexpr double kSecondsBetween = 0.25;

// Whole seconds as m:ss, or h:mm:ss from an hour on.
std::string clock_text(double seconds) {
  const long whole = static_cast<long>(std::min(seconds, 1e9));
  char text[48];
  if (whole < 3600) {
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
  }
  return text;
}

}  // namespace

ProgressLine::ProgressLine(double time_limit)
    : active_(isatty(fileno(err_stream())) == 1),
      time_limit_(time_limit),
      start_(Clock::now()),
      last_shown_(start_) {}

ProgressLine::~ProgressLine() { clear(); }

void ProgressLine::show(int nbr_done, int nbr_cables) {
  if (!active_) return;
  const Clock::time_point now = Clock::now();
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  const double since = std::chrono::duration<double>(now - last_shown_).count();
  if (elapsed <= kQuietSeconds || (shown_length_ > 0 && since < kSecondsBetween)) return;
  last_shown_ = now;

  std::string text = "zevo: " + std::to_string(nbr_done) + " of " + std::to_string(nbr_cables) +
                     " cables done, " + clock_text(elapsed) + " elapsed";
  double left = -1.0;
  if (nbr_done > 0) left = elapsed * (nbr_cables - nbr_done) / nbr_done;
  if (time_limit_ > 0) {
    const double to_limit = std::max(0.0, time_limit_ - elapsed);
    left = left < 0 ? to_limit : std::min(left, to_limit);
  }
  if (left >= 0) text += ", about " + clock_text(left + 0.5) + " left";
  // Blanks over what a longer line before left behind.
  const std::size_t length = text.size();
  if (length < shown_length_) text.append(shown_length_ - length, ' ');
  print_message(Stream::err, "\r%s", text.c_str());
  std::fflush(err_stream());
  shown_length_ = length;
}

void ProgressLine::clear() {
  if (shown_length_ == 0) return;
  print_message(Stream::err, "\r%s\r", std::string(shown_length_, ' ').c_str());
  std::fflush(err_stream());
  shown_length_ = 0;
}

}  // namespace zevo
