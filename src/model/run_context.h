// The run context: one per run, handed to every stage.
#pragma once

#include <sys/types.h>

#include <cstdio>

#include "model/network_records.h"

namespace zevo {

// A file the run read as input (the main document or an included file), identified by
// device and inode so that the output file is never opened on top of one.
struct INPUT_FILE {
  const char* name;
  dev_t dev;
  ino_t ino;
  INPUT_FILE* next;
};

struct ZEVO_CONTEXT {
  const char* xmlfile;
  FILE* xin;
  const char* outfile;
  FILE* xout;  // set only while the reports are written
  NODE* nodes;
  int nbr_nodes;
  CONNECTION* connections;
  int nbr_connections;
  BUS_TRANSFER* bustransfers;
  int nbr_bustransfers;
  CALC_CONDITION* calc_conditions;
  int nbr_calc_conditions;
  CALC_CONNECTION* calc_connections;
  int nbr_calc_connections;
  NETWORK* nw;
  int debug;
  INPUT_FILE* input_files;  // every file read, newest first
};

// Sets every field of `context` to zero or null and gives it an empty base network.
// Out of memory ends the run with " *** ERROR: Out of memory in zevo_init() a\n".
void zevo_init(ZEVO_CONTEXT* context);

// Records `file`, opened as `name`, among the run's input files (by device and inode).
// A stream that cannot be examined is not recorded.
void record_input_file(ZEVO_CONTEXT* context, const char* name, FILE* file);

// True when `name` is an existing file that is one of the run's input files.
bool names_input_file(const ZEVO_CONTEXT* context, const char* name);

}  // namespace zevo
