// The run context: one per run, handed to every stage.
#pragma once

#include <sys/types.h>

#include <cstdio>

#include "model/network_records.h"

namespace zevo {

// A file as the file system knows it, by device and inode, whatever name reached it: two names
// of one file (`a.xml`, `./a.xml`, a link) give one identity.
struct FileIdentity {
  bool known;  // false when the file could not be examined: such an identity matches no file
  dev_t dev;
  ino_t ino;
};

// The identity of the file behind an open stream; unknown for a null stream or one without a
// file descriptor (a memory stream).
FileIdentity identify_open_file(FILE* stream);

// The identity of the file called `name`; unknown for a null name or a file that does not exist.
FileIdentity identify_named_file(const char* name);

// True when both identities are known and name the same file.
bool is_same_file(const FileIdentity& a, const FileIdentity& b);

// Opens the input file `name` for reading: a regular file, a pipe or a FIFO (a directory too,
// which then reads as an empty file). Returns null when it cannot be opened, and for a device,
// which is never opened: reading one may never end, or have effects of its own.
FILE* open_input_file(const char* name);

// A file the run read as input (the main document or an included file), kept so that the
// output file is never opened on top of one.
struct INPUT_FILE {
  const char* name;
  FileIdentity identity;
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
  int nbr_splices;          // included files spliced in so far
};

// Sets every field of `context` to zero or null and gives it an empty base network.
// Out of memory ends the run with " *** ERROR: Out of memory in zevo_init() a\n".
void zevo_init(ZEVO_CONTEXT* context);

// Records `file`, opened as `name`, among the run's input files. A stream whose identity is
// unknown is not recorded.
void record_input_file(ZEVO_CONTEXT* context, const char* name, FILE* file);

// True when `name` is an existing file that is one of the run's input files.
bool names_input_file(const ZEVO_CONTEXT* context, const char* name);

}  // namespace zevo
