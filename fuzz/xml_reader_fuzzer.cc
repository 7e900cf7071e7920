// libFuzzer target: the XML reader on bytes in memory, then the lower-casing of what it read.
// Besides the sanitizers, it holds both to the contracts of xml/xml_reader.h: the codes, the
// size of every string, and a lower-casing that reaches every descendant and leaves the tree
// as it was.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "model/messages.h"
#include "model/record_store.h"
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
  std::vector<XMLENTITY*> pending;
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
    if (e->data && std::strlen(e->data) >= zevo::XML_BUFFER_SIZE) fail("data too long");
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
  FILE* stream = fmemopen(const_cast<std::uint8_t*>(data), size, "r");
  if (!stream) fail("fmemopen failed");
  try {
    int errflag = -1;
    XMLENTITY* first = zevo::readfile_XMLENTITY(stream, &errflag);
    check_tree(first, errflag);
  } catch (const zevo::RunEnded&) {
    // memory ran out
  }
  std::fclose(stream);
  zevo::release_all_records();
  return 0;
}
