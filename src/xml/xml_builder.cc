#include "xml/xml_builder.h"

#include <cstring>
#include <new>

#include "model/messages.h"
#include "model/record_store.h"
#include "xml/xml_strings.h"

namespace zevo {
namespace {

constexpr char kRecordOom[] = " *** ERROR: Out of memory in alloc_XMLENTITY()\n";
constexpr char kStringOom[] = " *** ERROR: Out of Memory in xmlcopystring()\n";

// Blocks grow from the first to the largest size, each twice the last: reading small documents
// costs small blocks. Every fragment on a chain of includes holds its first block while the
// fragments it includes are read, so that block is no larger than one small entity needs.
constexpr std::size_t kFirstScratchBlock = 256;
constexpr std::size_t kScratchBlock = 64 * 1024;

// As for the record store: under the sanitizers each piece of scratch is an allocation of its
// own, so that a read past its end is caught.
#if defined(ZEVO_SANITIZE) && ZEVO_SANITIZE
constexpr bool kCarvesScratch = false;
#else
constexpr bool kCarvesScratch = true;
#endif

}  // namespace

XMLENTITY* XmlBuilder::entity() {
  switch (kind_) {
    case records:
      return alloc_XMLENTITY();
    case scratch:
      return new (allocate_scratch(sizeof(XMLENTITY), alignof(XMLENTITY), kRecordOom)) XMLENTITY{};
    case nothing:
      break;
  }
  return &placeholder_;
}

char* XmlBuilder::copy_name(const char* text, std::size_t length) {
  switch (kind_) {
    case records:
      return copy_xml_text(text, length);
    case scratch:
      return copy_to_scratch(text, length);
    case nothing:
      break;
  }
  return nullptr;
}

char* XmlBuilder::copy_element_text(const char* text, std::size_t length) {
  return kind_ == nothing ? nullptr : copy_xml_text(text, length);
}

char* XmlBuilder::copy_markup_text(const char* text, std::size_t length) {
  return copy_name(text, length);
}

void XmlBuilder::release_scratch() {
  singles_.clear();
  block_ = 0;
  used_ = 0;
}

// Small pieces are carved from blocks that stay for the next entities, so reading one entity
// after another allocates nothing once the largest of them has been read.
void* XmlBuilder::allocate_scratch(std::size_t bytes, std::size_t alignment,
                                   const char* oom_message) {
  if (!kCarvesScratch || bytes > kScratchBlock / 4) {
    char* single = new (std::nothrow) char[bytes ? bytes : 1];
    if (!single) exit_with_message(Stream::err, "%s", oom_message);
    singles_.emplace_back(single);
    return single;
  }
  used_ = (used_ + alignment - 1) / alignment * alignment;
  if (block_ < blocks_.size() && used_ + bytes > block_sizes_[block_]) {
    ++block_;
    used_ = 0;
  }
  // A piece larger than a small block gets a block of the largest size.
  while (block_ < blocks_.size() && bytes > block_sizes_[block_]) ++block_;
  if (block_ == blocks_.size()) {
    std::size_t size = blocks_.empty() ? kFirstScratchBlock : 2 * block_sizes_.back();
    if (size > kScratchBlock || bytes > size) size = kScratchBlock;
    char* block = new (std::nothrow) char[size];
    if (!block) exit_with_message(Stream::err, "%s", oom_message);
    blocks_.emplace_back(block);
    block_sizes_.push_back(size);
    used_ = 0;
  }
  void* piece = blocks_[block_].get() + used_;
  used_ += bytes;
  return piece;
}

char* XmlBuilder::copy_to_scratch(const char* text, std::size_t length) {
  char* copy = static_cast<char*>(allocate_scratch(length + 1, 1, kStringOom));
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}

}  // namespace zevo
