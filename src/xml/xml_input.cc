#include "xml/xml_input.h"

#include <algorithm>
#include <cstring>

namespace zevo {
namespace {

// One read of the stream: the first small, for the many small fragments a document may include,
// each next one twice as large up to the size at which reading costs no more than scanning what is
// read.
constexpr std::size_t kFirstBlockSize = 4 * 1024;
constexpr std::size_t kBlockSize = 64 * 1024;

std::unique_ptr<char[]> new_block(std::size_t size) {
  return std::unique_ptr<char[]>(new char[size]);  // not zero-filled: it is read into at once
}

// Eight bytes at a time: a byte of the word equal to '\n' becomes zero in x, and each zero byte,
// and only a zero byte, leaves its top bit set in the mask; the multiplication adds those bits
// up in the top byte.
std::uint64_t count_line_feeds(const char* bytes, std::size_t size) {
  constexpr std::uint64_t kLow7 = 0x7f7f7f7f7f7f7f7fULL;
  constexpr std::uint64_t kLineFeeds = 0x0a0a0a0a0a0a0a0aULL;
  std::uint64_t count = 0;
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    const std::uint64_t x = word ^ kLineFeeds;
    const std::uint64_t mask = ~(((x & kLow7) + kLow7) | x | kLow7);
    count += ((mask >> 7) * 0x0101010101010101ULL) >> 56;
  }
  for (; i < size; ++i) count += bytes[i] == '\n';
  return count;
}

}  // namespace

void XmlBytes::add_block(std::unique_ptr<char[]> bytes, std::size_t size) {
  Block block{std::move(bytes), size, size_, 0, -1};
  if (!blocks_.empty()) {
    const Block& last = blocks_.back();
    block.lines_before = last.lines_before + count_line_feeds(last.bytes.get(), last.size);
    block.last_line_feed = last.last_line_feed;
    if (const void* found = memrchr(last.bytes.get(), '\n', last.size)) {
      block.last_line_feed = static_cast<std::int64_t>(
          last.start +
          static_cast<std::uint64_t>(static_cast<const char*>(found) - last.bytes.get()));
    }
  }
  size_ += size;
  blocks_.push_back(std::move(block));
}

XmlPosition XmlBytes::position_of(std::uint64_t offset) const {
  if (blocks_.empty()) return {1, offset + 1};
  // The block holding the offset; the end of the file counts as part of the last block.
  auto after = std::upper_bound(blocks_.begin(), blocks_.end(), offset,
                                [](std::uint64_t o, const Block& b) { return o < b.start; });
  const Block& block = *(after - 1);
  const std::size_t within =
      static_cast<std::size_t>(std::min<std::uint64_t>(offset - block.start, block.size));
  const char* bytes = block.bytes.get();
  std::uint64_t line = block.lines_before + 1;
  std::int64_t last_line_feed = block.last_line_feed;
  for (std::size_t i = 0; bytes && i < within; ++i) {
    if (bytes[i] == '\n') {
      ++line;
      last_line_feed = static_cast<std::int64_t>(block.start + i);
    }
  }
  return {line, static_cast<std::uint64_t>(static_cast<std::int64_t>(offset) - last_line_feed)};
}

void XmlBytes::release_before(std::uint64_t offset) {
  while (first_kept_ < blocks_.size() &&
         blocks_[first_kept_].start + blocks_[first_kept_].size < offset) {
    blocks_[first_kept_++].bytes.reset();
  }
}

XmlInput::XmlInput(FILE* stream, Mode mode, XmlBytes* kept)
    : stream_(stream), mode_(mode), kept_(kept) {}

XmlInput::XmlInput(XmlBytes* kept) : kept_(kept), rereads_(true) {}

bool XmlInput::refill() {
  if (next_ != end_) return true;
  if (at_end_) return false;
  window_start_ += static_cast<std::uint64_t>(end_ - window_);
  const bool more =
      rereads_ ? read_kept_block()
               : !stream_ended_ && (mode_ == one_byte ? read_stream_byte() : read_stream_block());
  if (!more) {
    at_end_ = true;
    window_ = next_ = end_ = nullptr;
  }
  return more;
}

bool XmlInput::read_stream_byte() {
  const int c = getc_unlocked(stream_);
  if (c == EOF) return false;
  byte_ = static_cast<char>(c);
  window_ = next_ = &byte_;
  end_ = window_ + 1;
  return true;
}

bool XmlInput::read_stream_block() {
  const std::size_t wanted =
      block_size_ == 0 ? kFirstBlockSize : std::min(2 * block_size_, kBlockSize);
  std::unique_ptr<char[]> block;
  char* into;
  if (kept_) {
    block = new_block(wanted);
    into = block.get();
  } else {
    if (wanted != block_size_) buffer_ = new_block(wanted);
    into = buffer_.get();
  }
  block_size_ = wanted;
  const std::size_t size = std::fread(into, 1, wanted, stream_);
  if (size == 0) return false;
  // fread stops short only at the end of the stream or on an error: asking again would only
  // allocate the next block to learn that.
  stream_ended_ = size < wanted;
  if (kept_) {
    // A short block is the last one: kept at its own size, many small files cost what they hold.
    if (size < wanted) {
      std::unique_ptr<char[]> fitted = new_block(size);
      std::memcpy(fitted.get(), into, size);
      block = std::move(fitted);
      into = block.get();
    }
    kept_->add_block(std::move(block), size);
  }
  window_ = next_ = into;
  end_ = into + size;
  return true;
}

bool XmlInput::read_kept_block() {
  if (next_block_ == kept_->blocks_.size()) return false;
  const XmlBytes::Block& block = kept_->blocks_[next_block_++];
  window_ = next_ = block.bytes.get();
  end_ = window_ + block.size;
  return true;
}

}  // namespace zevo
