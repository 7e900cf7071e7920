// libFuzzer target: the XML reader on bytes in memory, then the lower-casing of what it read.
// Besides the sanitizers, it holds both to the contracts of xml/xml_reader.h: the codes, the
// size of every string, and a lower-casing that reaches every descendant and leaves the tree
// as it was. It holds the reader to the reader as first written, which gives the same tree
// wherever no element text overran there, and the two passes of XmlDocument to readfile_XMLENTITY:
// the same code, and the same entities one at a time (top-level entities on inputs of even size,
// the root's children on the others).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "model/messages.h"
#include "model/record_store.h"
#include "xml/reference/literal_xml_reader.h"
#include "xml/xml_document.h"
#include "xml/xml_reader.h"

namespace {

using zevo::XMLENTITY;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "zevo_fuzz_xml_reader: %s\n", what);
  std::abort();
}

bool is_code(int code) { return code >= zevo::XMLERR_NONE && code <= zevo::XMLERR_ENDTAG; }

// Visits the descendants of the chain `first` (each entity, its attributes when asked, its
// children), at most `limit` of them; returns how many there were.
template <typename Visit>
std::size_t walk(XMLENTITY* first, bool attributes, std::size_t limit, Visit visit) {
  static std::vector<XMLENTITY*> pending;  // kept, with its room, for the next execution
  pending.clear();
  for (XMLENTITY* entity = first; entity; entity = entity->next) pending.push_back(entity);
  std::size_t count = 0;
  while (!pending.empty() && count < limit) {
    XMLENTITY* entity = pending.back();
    pending.pop_back();
    ++count;
    visit(entity);
    for (XMLENTITY* child = entity->children; child; child = child->next) pending.push_back(child);
    if (!attributes) continue;
    for (XMLENTITY* attribute = entity->attributes; attribute; attribute = attribute->next) {
      pending.push_back(attribute);
    }
  }
  return count;
}

std::size_t nbr_other_than_blanks(const char* text) {
  std::size_t count = 0;
  for (; *text; ++text) count += *text != ' ' && *text != '\t' && *text != '\r' && *text != '\n';
  return count;
}

bool same_text(const char* a, const char* b) {
  return (!a && !b) || (a && b && std::strcmp(a, b) == 0);
}

// Whether the trees at a and b are the same, their following siblings too when `siblings`, their
// attributes only when `attributes`.
bool same_tree(const XMLENTITY* a, const XMLENTITY* b, bool siblings, bool attributes) {
  struct Pair {
    const XMLENTITY* a;
    const XMLENTITY* b;
    bool siblings;
  };
  static std::vector<Pair> pending;  // kept, with its room, for the next execution
  pending.assign(1, {a, b, siblings});
  while (!pending.empty()) {
    const Pair p = pending.back();
    pending.pop_back();
    if (!p.a || !p.b) {
      if (p.a != p.b) return false;
      continue;
    }
    if (!same_text(p.a->name, p.b->name) || !same_text(p.a->data, p.b->data) ||
        p.a->kind != p.b->kind || p.a->errflag != p.b->errflag) {
      return false;
    }
    pending.push_back({p.a->children, p.b->children, true});
    if (attributes) pending.push_back({p.a->attributes, p.b->attributes, true});
    if (p.siblings) pending.push_back({p.a->next, p.b->next, true});
  }
  return true;
}

// One stream is open at a time, and it reads through this buffer: otherwise every opening
// allocates one, and allocations are most of what an execution costs under the sanitizer.
char stream_buffer[BUFSIZ];

FILE* open_bytes(const std::uint8_t* data, std::size_t size) {
  FILE* stream = fmemopen(const_cast<std::uint8_t*>(data), size, "r");
  if (!stream) fail("fmemopen failed");
  if (setvbuf(stream, stream_buffer, _IOFBF, sizeof stream_buffer) != 0) fail("setvbuf failed");
  return stream;
}

// The reader as first written reads the same tree wherever none of its element texts overran.
void check_against_reference(const std::uint8_t* data, std::size_t size, const XMLENTITY* first,
                             int errflag) {
  FILE* stream = open_bytes(data, size);
  int code = -1;
  int overruns = 0;
  const XMLENTITY* expected = zevo::literal_readfile_XMLENTITY(stream, &code, &overruns);
  std::fclose(stream);
  if (overruns != 0) return;
  if (code != errflag) fail("the code differs from the reader as first written");
  if (!same_tree(first, expected, true, true))
    fail("the tree differs from the reader as first written");
}

// Both passes of XmlDocument agree with readfile_XMLENTITY.
void check_document(const std::uint8_t* data, std::size_t size, const XMLENTITY* first,
                    int errflag) {
  FILE* stream = open_bytes(data, size);
  zevo::XmlDocument document(stream);
  std::fclose(stream);
  if (document.code() != errflag || document.has_entity() != (first != nullptr)) {
    fail("the document's code differs from readfile_XMLENTITY's");
  }
  if (errflag != zevo::XMLERR_NONE) return;
  // The second pass can be taken only once, one way or the other: the parity of the size picks
  // it, which costs one reading less than taking both ways on every input.
  const XMLENTITY* expected = first;
  if (size % 2 == 0) {
    while (XMLENTITY* entity = document.read_top_level()) {
      if (!same_tree(entity, expected, false, false)) fail("a top-level entity differs");
      expected = expected->next;
    }
    if (expected) fail("the second pass ended early");
    return;
  }
  if (!first || first->kind != zevo::XMLENTITY_ELEMENT || !first->data) return;
  bool has_content = false;
  if (!document.read_root(&has_content) || !has_content) fail("the root's content is missing");
  expected = first->children;
  while (XMLENTITY* child = document.read_child()) {
    if (!same_tree(child, expected, false, false)) fail("a child of the root differs");
    expected = expected->next;
  }
  if (expected) fail("the root's children ended early");
}

bool has_upper_case(const char* text) {
  for (; text && *text; ++text) {
    if (*text >= 'A' && *text <= 'Z') return true;
  }
  return false;
}

void check_tree(XMLENTITY* first, int errflag) {
  if (!is_code(errflag)) fail("errflag out of range");
  int last_code = zevo::XMLERR_NONE;
  for (XMLENTITY* entity = first; entity; entity = entity->next) {
    if (!is_code(entity->errflag)) fail("top-level errflag out of range");
    if (entity->errflag != zevo::XMLERR_NONE) last_code = entity->errflag;
    entity->errflag = -1;  // marks the top level for the walk below; the tree is thrown away
  }
  if (errflag != last_code) fail("errflag is not the last code of a top-level entity");

  const std::size_t count = walk(first, true, static_cast<std::size_t>(-1), [](XMLENTITY* e) {
    if (e->kind < zevo::XMLENTITY_UNKNOWN || e->kind > zevo::XMLENTITY_ELEMENT) fail("bad kind");
    if (e->errflag != -1 && e->errflag != 0) fail("errflag set below the top level");
    if (e->name && std::strlen(e->name) >= zevo::XML_BUFFER_SIZE) fail("name too long");
    // Blanks that stood alone between markup may make a text longer than the limit, nothing else.
    if (e->data && nbr_other_than_blanks(e->data) >= zevo::XML_BUFFER_SIZE) fail("data too long");
  });

  for (XMLENTITY* entity = first; entity; entity = entity->next) {
    zevo::lowercase_XMLENTITY(entity, 1);
  }
  // A thread left behind by the lower-casing would show as a cycle: more entities than before.
  if (walk(first, true, count + 1, [](XMLENTITY*) {}) != count)
    fail("lower-casing changed the tree");
  walk(first, false, count, [](XMLENTITY* e) {
    if (has_upper_case(e->name)) fail("a name was not lower-cased");
  });
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FILE* sink = std::fopen("/dev/null", "w");
  if (!sink) fail("cannot open /dev/null");
  zevo::redirect_message_streams(sink, sink);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    int errflag = -1;
    FILE* stream = open_bytes(data, size);
    XMLENTITY* first = zevo::readfile_XMLENTITY(stream, &errflag);
    std::fclose(stream);
    check_against_reference(data, size, first, errflag);
    check_document(data, size, first, errflag);
    check_tree(first, errflag);
  } catch (const zevo::RunEnded&) {
    // memory ran out
  }
  zevo::release_all_records();
  return 0;
}
