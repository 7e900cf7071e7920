// The network part of the echo: sub-networks with their loop counts, then every node, cable
// and bus transfer of the network with its sub-network numbers.
#pragma once

#include <cstdio>

#include "model/network_records.h"

namespace zevo {

// Writes the lines from "\nnetwork\n" on. Arrays are walked by index from 0; a null slot (only
// a network copy has one) is skipped, and a network without loop counts prints none.
void print_network_echo(FILE* stream, const NETWORK& network);

}  // namespace zevo
