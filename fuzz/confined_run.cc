#include "fuzz/confined_run.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "main/driver.h"
#include "model/messages.h"
#include "model/record_store.h"
#include "xml/xml_reader.h"

namespace zevo::fuzz {
namespace {

constexpr std::size_t kMostFragments = 4;

std::string folder;    // the private folder
int folder_fd = -1;    // open on it, to enter it
int home_fd = -1;      // open on the working directory the fuzzer started in, to come back
FILE* sink = nullptr;  // /dev/null, for both console streams

[[noreturn]] void fail(const char* format, ...) __attribute__((format(printf, 1, 2)));
void fail(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::fputs("zevo_fuzz_run: ", stderr);
  std::vfprintf(stderr, format, args);
  std::fputc('\n', stderr);
  va_end(args);
  std::abort();
}

void remove_folder() {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

// Everything a run left goes but the document, which the next run writes over: making and
// removing a file is a good part of what a small document's run costs.
void empty_folder() {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name == "doc.xml") continue;
    if (entry.is_directory() || unlinkat(folder_fd, name.c_str(), 0) != 0) {
      std::filesystem::remove_all(entry.path());
    }
  }
}

// The fuzzer writes crash reproducers relative to the working directory, which is the private
// folder while a run is under way: artifact paths are made absolute, and given by default.
void keep_artifacts_outside(int* argc, char*** argv) {
  static const char* const kFlags[] = {"-artifact_prefix=", "-exact_artifact_path="};
  static std::vector<std::string> texts;
  static std::vector<char*> args;
  const std::string home = std::filesystem::current_path().string() + "/";
  bool given = false;
  for (int i = 0; i < *argc; ++i) {
    std::string arg = (*argv)[i];
    for (const char* flag : kFlags) {
      const std::size_t length = std::strlen(flag);
      if (i == 0 || arg.size() == length || arg.compare(0, length, flag) != 0) continue;
      given = true;
      if (arg[length] != '/') arg.insert(length, home);
    }
    texts.push_back(arg);
  }
  if (!given) texts.push_back("-artifact_prefix=" + home);
  for (std::string& text : texts) args.push_back(text.data());
  args.push_back(nullptr);
  *argv = args.data();
  *argc = static_cast<int>(texts.size());
}

// The document and its fragments: split at the first kMostFragments NUL bytes.
std::vector<std::string_view> split_files(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> files;
  while (files.size() < kMostFragments) {
    const std::size_t nul = bytes.find('\0');
    if (nul == std::string_view::npos) break;
    files.push_back(bytes.substr(0, nul));
    bytes.remove_prefix(nul + 1);
  }
  files.push_back(bytes);
  return files;
}

std::string file_name(std::size_t index) {
  return index == 0 ? "doc.xml" : "f" + std::to_string(index) + ".xml";
}

bool is_element(const XMLENTITY* entity, const char* tag) {
  return entity->kind == XMLENTITY_ELEMENT && entity->name && strcasecmp(entity->name, tag) == 0;
}

bool holds_ignoring_case(std::string_view text, std::string_view word) {
  return std::search(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == b;
         }) != text.end();
}

// A name that leaves the folder holds a '/', and one that is not the '/' of an end tag, which
// follows a '<'. The element naming it must be spelt out too.
bool may_name_outside(std::string_view text) {
  bool slash = false;
  for (std::size_t i = text.find('/'); i != std::string_view::npos && !slash;
       i = text.find('/', i + 1)) {
    slash = i == 0 || text[i - 1] != '<';
  }
  return slash && (holds_ignoring_case(text, "include") || holds_ignoring_case(text, "filename"));
}

// Reads `text` as the run will and looks at every element, whatever its depth or case: the
// names an include or a filename gives must not leave the working directory. Reading costs as
// much as the run itself, so texts that cannot hold such a name are passed without it.
bool names_only_folder_files(std::string_view text) {
  if (!may_name_outside(text)) return true;
  FILE* stream = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  if (!stream) fail("fmemopen: %s", std::strerror(errno));
  int errflag = 0;
  XMLENTITY* first = readfile_XMLENTITY(stream, &errflag);
  std::fclose(stream);

  std::vector<const XMLENTITY*> pending;
  for (const XMLENTITY* entity = first; entity; entity = entity->next) pending.push_back(entity);
  while (!pending.empty()) {
    const XMLENTITY* entity = pending.back();
    pending.pop_back();
    if ((is_element(entity, "include") || is_element(entity, "filename")) && entity->data &&
        std::strchr(entity->data, '/')) {
      return false;
    }
    for (const XMLENTITY* child = entity->children; child; child = child->next) {
      pending.push_back(child);
    }
  }
  return true;
}

void write_file(const std::string& name, std::string_view text) {
  const int fd = openat(folder_fd, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0)
    fail("cannot create %s in %s: %s", name.c_str(), folder.c_str(), std::strerror(errno));
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written <= 0) fail("cannot write %s: %s", name.c_str(), std::strerror(errno));
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  close(fd);
}

int lowest_free_descriptor() {
  const int fd = fcntl(folder_fd, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) fail("cannot duplicate a descriptor: %s", std::strerror(errno));
  close(fd);
  return fd;
}

// As main does, but inside the folder and without ending the process.
void run_document() {
  if (fchdir(folder_fd) != 0) fail("cannot enter %s: %s", folder.c_str(), std::strerror(errno));
  char program[] = "zevo";
  // The writers run in full either way, without making and removing two more files.
  char json_option[] = "--json";
  char json_file[] = "/dev/null";
  char dot_option[] = "--dot";
  char dot_file[] = "/dev/null";
  char document[] = "doc.xml";
  // One thread: every execution runs the same way, and starts no thread of its own.
  char jobs_option[] = "-j";
  char one[] = "1";
  char* argv[] = {program,     json_option, json_file, dot_option, dot_file,
                  jobs_option, one,         document,  nullptr};
  try {
    run_zevo(8, argv);
  } catch (const RunEnded&) {
  } catch (const std::bad_alloc&) {
  }
  if (fchdir(home_fd) != 0) fail("cannot return from %s: %s", folder.c_str(), std::strerror(errno));
}

}  // namespace

void prepare_confined_runs(int* argc, char*** argv) {
  if (!folder.empty()) return;
  // Every execution writes and removes files there: in memory, where there is such a folder.
  std::error_code ignored;
  const std::filesystem::path base =
      std::filesystem::is_directory("/dev/shm", ignored) && access("/dev/shm", W_OK) == 0
          ? std::filesystem::path("/dev/shm")
          : std::filesystem::temp_directory_path();
  std::string pattern = (base / "zevo-fuzz-XXXXXX").string();
  if (!mkdtemp(pattern.data())) fail("cannot make a private folder: %s", std::strerror(errno));
  folder = pattern;
  std::atexit(remove_folder);
  folder_fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  home_fd = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder_fd < 0 || home_fd < 0) fail("cannot open the folders: %s", std::strerror(errno));

  sink = std::fopen("/dev/null", "w");
  if (!sink) fail("cannot open /dev/null: %s", std::strerror(errno));
  redirect_message_streams(sink, sink);
  keep_artifacts_outside(argc, argv);
}

void run_confined(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string_view> files = split_files(data, size);
  try {
    bool confined = true;
    for (std::string_view text : files) confined = confined && names_only_folder_files(text);
    if (confined) {
      for (std::size_t i = 0; i < files.size(); ++i) write_file(file_name(i), files[i]);
      const int free_before = lowest_free_descriptor();
      run_document();
      const int free_after = lowest_free_descriptor();
      if (free_after != free_before) fail("the run left descriptor %d open", free_before);
    }
  } catch (const RunEnded&) {
    // memory ran out while the names were checked
  }
  empty_folder();
  release_all_records();
}

}  // namespace zevo::fuzz
