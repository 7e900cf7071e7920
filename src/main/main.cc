#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "main/driver.h"
#include "model/messages.h"

namespace {

// A file opened while one of descriptors 0, 1 and 2 is closed would take its number, and the
// console lines meant for that descriptor would land in the file: the results file would get
// the debug trace. Each closed one is opened on /dev/null before anything else is opened.
bool open_closed_standard_descriptors() {
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    // The lower descriptors are open, so the lowest free one is this one.
    if (open("/dev/null", O_RDWR) != descriptor) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (!open_closed_standard_descriptors()) {
    zevo::print_message(zevo::Stream::err, " *** ERROR: Unable to open file (/dev/null)\n");
    return 1;
  }
  try {
    return zevo::run_zevo(argc, argv);
  } catch (const zevo::RunEnded& ended) {
    return ended.status;
  } catch (const std::bad_alloc&) {
    // Records report their own sites; this is a lookup table or buffer of the library.
    zevo::print_message(zevo::Stream::err, " *** ERROR: Out of memory\n");
    return 1;
  }
}
