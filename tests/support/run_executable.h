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

// Runs zevo with `args` (not counting the program name) in `directory`, with no input.
RunOutcome run_zevo_executable(const std::filesystem::path& directory,
                               const std::vector<std::string>& args);

// Copies the fixture tests/data/<name> into `directory` under the same name.
void copy_fixture(const std::string& name, const std::filesystem::path& directory);

// The path of the fixture tests/data/<name>.
std::filesystem::path fixture_path(const std::string& name);

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& text);

// Replaces every date-and-time line of a report header (as ctime prints it) by "<time>".
std::string mask_time_lines(const std::string& text);

}  // namespace zevo::testing
