// The balance of the previous search: unchanged since, so the one in src/calc serves it.
#pragma once

#include "calc/balance.h"

namespace zevo::previous {

using zevo::allocate_result_arrays;
using zevo::calculate_zevo;
using zevo::calculate_zevo_ci;
using zevo::copy_figures;
using zevo::SideBalance;

}  // namespace zevo::previous
