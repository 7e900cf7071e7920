// The element reader: an entity with all its descendants, read from an XmlInput into whatever an
// XmlBuilder makes; readfile_XMLENTITY, fget_XMLENTITY and the document reader all read through it.
//
// Entry points (XmlEntityReader over one input and one builder, kept for many reads so that its
// buffers are reused):
// - read_entity(errflag): fget_XMLENTITY's reading, with the input just after a '<'.
// - read_top_level(code): readfile_XMLENTITY's step: skips to the next '<' and reads the entity
//   there; returns it with its code in *code, or null at the end of input. Markup that gives no
//   entity is passed over, its code dropped.
// - problem(): where the last nonzero code that came with an entity arose; entity_start(): where
//   the entity read last begins.
//
// The text limit: an element's text (everything in it outside its children's markup) may take
// kMarkupLimit - 1 characters, the next one overruns; but a run of the text between two pieces of
// markup that holds nothing but blanks, tabs, carriage returns and line feeds does not count, so
// that indentation costs nothing however many children an element has. Such runs stay in the
// text: an element's data is, as ever, its whole text trimmed at both ends. Only when such runs
// alone exceed the limit before the first counted character does the data of an element cut off
// (end of input, wrong end tag), which is left untrimmed, lack the blanks before that character.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "xml/xml_builder.h"
#include "xml/xml_input.h"
#include "xml/xml_markup.h"
#include "xml/xml_reader.h"

namespace zevo {

// Where a code arose: the offset of the byte at which the problem was found (for code 1 the end
// of input) and the name of the element then being read, as written (empty at top level).
struct XmlProblem {
  std::uint64_t offset = 0;
  std::string element;
};

class XmlEntityReader {
 public:
  // Room for the open elements of a usual document from the start: a reader is made for every
  // file and every pass, and growing its stack one level at a time would allocate each time.
  XmlEntityReader(XmlInput& input, XmlBuilder& builder) : input_(input), builder_(builder) {
    open_.reserve(8);
    names_.reserve(128);
  }
  XmlEntityReader(const XmlEntityReader&) = delete;
  XmlEntityReader& operator=(const XmlEntityReader&) = delete;

  XMLENTITY* read_entity(int* errflag);
  XMLENTITY* read_top_level(int* code);
  const XmlProblem& problem() const { return problem_; }
  // The offset of the '<' of the entity read last.
  std::uint64_t entity_start() const { return entity_start_; }

 private:
  struct OpenElement {
    XMLENTITY* element;
    XMLENTITY* last_child;
    std::size_t name_start;  // the name, as written, in names_
    std::size_t name_length;
    std::string text;
    // The text's first piece, while it still lies in the input: most texts are one piece, which
    // is then copied once, straight into its record.
    const char* piece;
    std::size_t piece_length;
    std::size_t counted;     // characters counted toward the limit
    std::size_t run_blanks;  // blanks of the current run, not counted while it holds nothing else
    bool run_counted;        // the current run holds something besides blanks
    bool lead_dropped;       // the blanks before the first counted character were let go
    std::size_t lead_end;    // where the first counted character lies in the text (npos: none)
    int code;                // last nonzero code of a child, or the element's own problem
    XmlProblem problem;
  };
  enum class Step { child_opened, element_done };

  void open_element(const XmlMarkup& markup);
  Step read_content(OpenElement& open);
  const char* take_text(OpenElement& open, const char* p, const char* end);
  void keep_text(OpenElement& open, const char* p, const char* end);
  void gather_text(OpenElement& open);
  void let_lead_go(OpenElement& open);
  bool close_at_once(OpenElement& open);
  bool close_leaf(const XmlMarkup& markup, OpenElement& parent);
  void read_end_tag(OpenElement& open);
  void finish(OpenElement& open, bool trimmed);
  void keep_data(XMLENTITY* element, const char* text, std::size_t length, bool trimmed);
  void add_child(OpenElement& parent, XMLENTITY* child, int code, XmlProblem* problem);
  void set_problem(OpenElement& open, int code, std::uint64_t offset);
  const char* name_of(const OpenElement& open) const { return names_.data() + open.name_start; }

  XmlInput& input_;
  XmlBuilder& builder_;
  std::string scratch_;            // markup that does not lie in one block of the input
  std::string names_;              // the names of the open elements, one after another
  std::vector<OpenElement> open_;  // entries above depth_ are kept for their buffers
  std::size_t depth_ = 0;
  XmlProblem problem_;
  std::uint64_t entity_start_ = 0;
};

}  // namespace zevo
