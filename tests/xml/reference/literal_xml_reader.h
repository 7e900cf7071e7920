// The XML reader as first written: one byte at a time through the stream, a text buffer per open
// element, every white space of an element's text counted toward its limit. It lives in the tests
// only, as the reference that randomized comparisons, the fuzzer and the benchmarks hold the
// reader in src/xml to: on every input whose element texts all stay within the limit when all
// their white space is counted, both give the same tree and the same codes.
//
// Entry point:
// - literal_readfile_XMLENTITY(stream, errflag, nbr_text_overruns): as readfile_XMLENTITY, and
//   counts into *nbr_text_overruns (when given) the elements whose text overran.
// Records and strings come from the record store (alloc_XMLENTITY, xmlcopystring) and live until
// release_all_records; exhausted memory ends the run with their messages.
#pragma once

#include <cstdio>

#include "xml/xml_reader.h"

namespace zevo {

XMLENTITY* literal_readfile_XMLENTITY(FILE* stream, int* errflag, int* nbr_text_overruns = nullptr);

}  // namespace zevo
