#include "calc/result_arrays.h"

#include "model/record_store.h"

namespace zevo {

void allocate_result_arrays(ZEVO_RESULT* r, int nbr, const char* oom_message, Stream stream) {
  const auto entries = static_cast<std::size_t>(nbr) + 1;
  r->nbr_conditions = nbr;
  r->condition = alloc_array<const char*>(entries, oom_message, stream);
  r->c_val = alloc_array<double>(entries, oom_message, stream);
  r->c_g1 = alloc_array<double>(entries, oom_message, stream);
  r->c_g2 = alloc_array<double>(entries, oom_message, stream);
  r->c_l1 = alloc_array<double>(entries, oom_message, stream);
  r->c_l2 = alloc_array<double>(entries, oom_message, stream);
}

}  // namespace zevo
