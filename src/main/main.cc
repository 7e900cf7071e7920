#include <new>

#include "main/driver.h"
#include "model/messages.h"

int main(int argc, char** argv) {
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
