#include "support/run_executable.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace zevo::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zevo-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

namespace {

// Writes `text` into the FIFO at `path` from a process of its own, which waits until the
// program opens the FIFO. Returns the writer's process id. The writer closes `foreign` (when not
// -1), the program's end of a channel whose reader waits for every writer to close it.
pid_t start_fifo_writer(const std::string& path, const std::string& text, int foreign) {
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    if (foreign >= 0) close(foreign);
    const int fifo = open(path.c_str(), O_WRONLY);
    if (fifo < 0) _exit(127);
    for (std::size_t done = 0; done < text.size();) {
      const ssize_t written = write(fifo, text.data() + done, text.size() - done);
      if (written <= 0) _exit(1);
      done += static_cast<std::size_t>(written);
    }
    _exit(0);
  }
  return pid;
}

// The descriptor the child writes its standard error into (`child_end`) and the one the parent
// reads it from, for a pipe or a raw pseudo-terminal.
void open_error_channel(RunSetup::ErrorStream kind, int* child_end, int* parent_end) {
  if (kind == RunSetup::ErrorStream::pipe) {
    int ends[2];
    if (pipe(ends) != 0) throw std::runtime_error("pipe failed");
    *parent_end = ends[0];
    *child_end = ends[1];
    return;
  }
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    throw std::runtime_error("no pseudo-terminal");
  }
  const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
  termios mode{};
  if (slave < 0 || tcgetattr(slave, &mode) != 0) throw std::runtime_error("no pseudo-terminal");
  cfmakeraw(&mode);
  tcsetattr(slave, TCSANOW, &mode);
  *parent_end = master;
  *child_end = slave;
}

// Everything the child writes there until it ends: a pseudo-terminal reports EIO once no
// process holds its other end.
std::string drain(int fd) {
  std::string text;
  char chunk[4096];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return text;
    text.append(chunk, static_cast<std::size_t>(got));
  }
}

}  // namespace

RunOutcome run_zevo_executable(const std::filesystem::path& directory,
                               const std::vector<std::string>& args, const RunSetup& setup) {
  TempDir capture;
  const std::string out_path = (capture / "stdout").string();
  const std::string err_path = (capture / "stderr").string();

  std::vector<std::string> argv_text{setup.program.empty() ? ZEVO_EXECUTABLE
                                                           : setup.program.string()};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argv_text) argv.push_back(arg.data());
  argv.push_back(nullptr);

  const std::string fifo_path = setup.fifo.empty() ? "" : (directory / setup.fifo).string();
  if (!fifo_path.empty() && mkfifo(fifo_path.c_str(), 0600) != 0) {
    throw std::runtime_error("mkfifo failed");
  }

  const bool captured_apart = setup.error_stream != RunSetup::ErrorStream::file;
  int child_err = -1, parent_err = -1;
  if (captured_apart) open_error_channel(setup.error_stream, &child_err, &parent_err);

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err =
        captured_apart ? child_err : open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (captured_apart) close(parent_err);
    if (in < 0 || out < 0 || err < 0 || chdir(directory.c_str()) != 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    // Only 0, 1 and 2 stay open, so that a closed one is the lowest free descriptor.
    close(in);
    close(out);
    close(err);
    for (const int descriptor : setup.closed_descriptors) close(descriptor);
    alarm(kRunTimeLimitSeconds);  // the pending alarm survives the exec
    execv(argv[0], argv.data());
    _exit(127);
  }
  const pid_t writer =
      fifo_path.empty() ? -1 : start_fifo_writer(fifo_path, setup.fifo_text, child_err);
  std::string err_text;
  if (captured_apart) {
    close(child_err);
    err_text = drain(parent_err);
    close(parent_err);
  }
  int wait_status = 0;
  waitpid(pid, &wait_status, 0);
  if (writer > 0) {
    // A program that never opened the FIFO leaves its writer waiting.
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
  }
  RunOutcome outcome;
  outcome.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
  outcome.out = read_file(out_path);
  outcome.err = captured_apart ? err_text : read_file(err_path);
  return outcome;
}

std::filesystem::path fixture_path(const std::string& name) {
  return std::filesystem::path(ZEVO_TEST_DATA_DIR) / name;
}

void copy_fixture(const std::string& name, const std::filesystem::path& directory) {
  std::filesystem::copy_file(fixture_path(name), directory / name,
                             std::filesystem::copy_options::overwrite_existing);
}

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void write_file(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::string mask_time_lines(const std::string& text) {
  static const std::regex time_line(
      R"((^|\n)[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}\n)");
  return std::regex_replace(text, time_line, "$1<time>\n");
}

}  // namespace zevo::testing
