// The bytes the XML reader takes from a file, and where it has got to in them.
//
// Entry points:
// - XmlInput(stream, XmlInput::one_byte): takes the stream one byte at a time and never reads past
//   the bytes taken, so fget_XMLENTITY leaves the stream just after its entity.
// - XmlInput(stream, XmlInput::blocks, kept): reads the stream in large blocks, for a reader that
//   reads to the end; with `kept` given, every block is kept there for a second reading.
// - XmlInput(kept): reads the kept blocks again.
// - get(): the next byte as 0..255, or EOF at the end of input (the stream's end of file or a read
//   error). next()/end() are the bytes at hand, take(p) takes those before p, refill() brings more
//   (false at the end of input, where next() == end()); offset() counts the bytes taken.
// - XmlBytes: the kept blocks of a file, its size, position_of(offset) (line and column, both
//   counted from 1, a line ending at each line feed, a column being one byte) and
//   release_before(offset), which gives back the blocks wholly before `offset`; they can be
//   neither read again nor asked for positions.
// A block that cannot be allocated throws std::bad_alloc.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace zevo {

struct XmlPosition {
  std::uint64_t line;
  std::uint64_t column;
};

class XmlBytes {
 public:
  std::uint64_t size() const { return size_; }
  XmlPosition position_of(std::uint64_t offset) const;
  void release_before(std::uint64_t offset);

 private:
  friend class XmlInput;
  struct Block {
    std::unique_ptr<char[]> bytes;
    std::size_t size;
    std::uint64_t start;          // offset of its first byte in the file
    std::uint64_t lines_before;   // line feeds before it
    std::int64_t last_line_feed;  // offset of the last line feed up to its end, or -1
  };
  void add_block(std::unique_ptr<char[]> bytes, std::size_t size);

  std::vector<Block> blocks_;
  std::size_t first_kept_ = 0;  // blocks before it have been released
  std::uint64_t size_ = 0;
};

class XmlInput {
 public:
  enum Mode { one_byte, blocks };

  XmlInput(FILE* stream, Mode mode, XmlBytes* kept = nullptr);
  explicit XmlInput(XmlBytes* kept);
  XmlInput(const XmlInput&) = delete;
  XmlInput& operator=(const XmlInput&) = delete;

  int get() {
    if (next_ == end_ && !refill()) return EOF;
    return static_cast<unsigned char>(*next_++);
  }
  const char* next() const { return next_; }
  const char* end() const { return end_; }
  void take(const char* p) { next_ = p; }
  bool refill();
  std::uint64_t offset() const {
    return window_start_ + static_cast<std::uint64_t>(next_ - window_);
  }

 private:
  bool read_stream_byte();
  bool read_stream_block();
  bool read_kept_block();

  FILE* stream_ = nullptr;
  Mode mode_ = blocks;
  XmlBytes* kept_ = nullptr;
  bool rereads_ = false;            // reading the kept blocks again
  std::size_t next_block_ = 0;      // when it does: the next one to read
  std::unique_ptr<char[]> buffer_;  // the block being read, when blocks are not kept
  std::size_t block_size_ = 0;      // the size of the last block read from the stream
  char byte_ = 0;
  const char* window_ = nullptr;  // the bytes at hand: [window_, end_)
  const char* next_ = nullptr;
  const char* end_ = nullptr;
  std::uint64_t window_start_ = 0;  // offset of window_
  bool at_end_ = false;
  bool stream_ended_ = false;  // the last block read from the stream came short
};

}  // namespace zevo
