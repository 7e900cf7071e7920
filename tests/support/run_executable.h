// Runs the real zevo executable, the way a user does, and captures what it shows.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zevo::testing {

struct RunOutcome {
  int status;  // exit status, or -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// A fresh directory under the system's temporary directory, removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// How the program is started, beyond its arguments.
struct RunSetup {
  // Descriptors among 0, 1 and 2 that the program starts with closed; what it writes there is
  // not captured.
  std::vector<int> closed_descriptors = {};
  // When `fifo` is set, a FIFO of that name is made in the directory, and a writer of its own
  // writes `fifo_text` into it while the program runs.
  std::string fifo = {};
  std::string fifo_text = {};
  // The program to start instead of the zevo of this build: an installed copy, or the tool
  // that installs it.
  std::filesystem::path program = {};
  // What the program's standard error is: a file, a pipe, or a pseudo-terminal (raw: what the
  // program writes arrives as it is). Captured the same way in every case.
  enum class ErrorStream { file, pipe, terminal } error_stream = ErrorStream::file;
};

// A run still going after this long is killed and reported with status -1: a program that
// never ends fails its test instead of hanging the suite.
inline constexpr unsigned kRunTimeLimitSeconds = 120;

// Runs zevo with `args` (not counting the program name) in `directory`, with no input.
RunOutcome run_zevo_executable(const std::filesystem::path& directory,
                               const std::vector<std::string>& args, const RunSetup& setup = {});

// Copies the fixture tests/data/<name> into `directory` under the same name.
void copy_fixture(const std::string& name, const std::filesystem::path& directory);

// The path of the fixture tests/data/<name>.
std::filesystem::path fixture_path(const std::string& name);

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& text);

// Replaces every date-and-time line of a report header (as ctime prints it) by "<time>".
std::string mask_time_lines(const std::string& text);

}  // namespace zevo::testing
