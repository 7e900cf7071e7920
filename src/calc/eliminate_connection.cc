#include "calc/calc_zevo_cable.h"
#include "model/messages.h"

namespace zevo {

int eliminate_connection(NETWORK* nw, const CONNECTION* c) {
  if (!nw || !c) {
    exit_with_message(Stream::err, " *** ERROR: NULL Pointer in eliminate_connection()\n");
  }
  int result = 1;
  for (int i = 0; i < nw->nbr_connection; ++i) {
    if (nw->nc[i] && nw->nc[i]->c == c) {
      nw->nc[i] = nullptr;  // the entry stays allocated with the rest of the copy
      result = 0;
    }
  }
  return result;
}

}  // namespace zevo
