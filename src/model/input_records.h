// The input model: what the document describes, as the reader builds it.
//
// Every list is singly linked through `next` and built by putting each new record at its head,
// so it holds its records in the reverse of document order. Text fields borrow the texts of
// the element tree, which lives for the whole run; null means the document gave no text
// (absent element, or the empty-element form), which differs from an empty text.
#pragma once

namespace zevo {

struct NODE;

// Generation and load of one node or bus transfer under one named condition.
// generation_text and load_text are the texts that set the two figures (the last element of
// each), kept so that a figure that is not a plain number can be pointed out.
struct CONDITION {
  const char* name;
  double generation;
  double load;
  const char* generation_text;
  const char* load_text;
  CONDITION* next;
};

// One load centre.
struct NODE {
  const char* name;
  CONDITION* conditions;
  NODE* next;
};

// One cable; n1/n2 are resolved from lc1/lc2 by network construction.
struct CONNECTION {
  const char* name;
  NODE* n1;
  const char* lc1;
  NODE* n2;
  const char* lc2;
  CONNECTION* next;
};

// One bus transfer between two load centres, with generation and load of its own.
struct BUS_TRANSFER {
  const char* name;
  CONDITION* conditions;
  NODE* n1;
  const char* lc1;
  NODE* n2;
  const char* lc2;
  BUS_TRANSFER* next;
};

// One condition named in <output>.
struct CALC_CONDITION {
  const char* name;
  CALC_CONDITION* next;
};

struct ZEVO_RESULT;
struct CALC_CUT_CONNECTION_ZEVO;

// One cable named in <output>, with its result and the trials made for it.
struct CALC_CONNECTION {
  const char* name;
  CONNECTION* c;
  ZEVO_RESULT* results;
  CALC_CUT_CONNECTION_ZEVO* cut_connections;
  CALC_CONNECTION* next;
};

}  // namespace zevo
