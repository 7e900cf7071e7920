// The cable graph of the previous search: unchanged since, so the one in src/calc serves it.
#pragma once

#include "calc/cable_graph.h"

namespace zevo::previous {

using zevo::CableGraph;
using zevo::DepthFirst;

}  // namespace zevo::previous
