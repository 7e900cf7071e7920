#include "calc/calc_zevo_cable.h"
#include "calc/result_arrays.h"
#include "model/messages.h"
#include "model/record_store.h"
#include "network/copy_network.h"

namespace zevo {
namespace {

constexpr char kOutOfMemory[] = " *** ERROR: Out of memory in alloc_CALC_CUT_CONNECTION_ZEVO";

}  // namespace

CALC_CUT_CONNECTION_ZEVO* alloc_CALC_CUT_CONNECTION_ZEVO(int nbr, const char** condition,
                                                         const NETWORK* nw) {
  if (!condition || !nw) {
    exit_with_message(Stream::err, " *** ERROR: NULL POINTER in alloc_CALC_CUT_CONNECTION_ZEVO\n");
  }
  auto* trial = alloc_record<CALC_CUT_CONNECTION_ZEVO>(kOutOfMemory, Stream::err);
  auto* zevo = alloc_record<ZEVO_RESULT>(kOutOfMemory, Stream::err);
  trial->zevo = zevo;

  if (nbr < 1) nbr = 1;
  allocate_result_arrays(zevo, nbr, kOutOfMemory, Stream::err);
  // The names are shared with the cable's result, so every record of one cable indexes the
  // conditions alike; the numbers start zero-filled.
  for (int i = 0; i < nbr; ++i) zevo->condition[i] = condition[i];
  zevo->val = 0.0;
  zevo->sub_network1 = 0;
  zevo->sub_network2 = 0;
  zevo->nw = copy_network(nw);
  return trial;
}

}  // namespace zevo
