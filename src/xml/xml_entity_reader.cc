#include "xml/xml_entity_reader.h"

#include <cstring>

#include "xml/xml_strings.h"

namespace zevo {
namespace {

constexpr std::size_t kTextLimit = kMarkupLimit;
constexpr std::size_t kNone = std::string::npos;

// What a failed piece of markup leaves of itself in the text.
constexpr char kLessThan = '<';

}  // namespace

// Nested elements are read with an explicit stack of open elements rather than one call per
// level, so a document nested a million levels deep costs memory, not the call stack. Each
// open element has its own text and its own code, exactly as a call per level would have:
// the code of the innermost element is the one its parent's reading of that child reports.
XMLENTITY* XmlEntityReader::read_entity(int* errflag) {
  entity_start_ = input_.offset() > 0 ? input_.offset() - 1 : 0;
  int code = XMLERR_NONE;
  const XmlMarkup first = read_xml_markup(input_, builder_, scratch_, &code);
  if (code != XMLERR_NONE) *errflag = code;
  if (!first.content_follows) {
    if (first.entity && code != XMLERR_NONE) problem_ = XmlProblem{entity_start_, {}};
    return first.entity;
  }
  depth_ = 0;
  names_.clear();
  open_element(first);
  for (;;) {
    if (read_content(open_[depth_ - 1]) == Step::child_opened) continue;
    OpenElement& done = open_[--depth_];
    names_.resize(done.name_start);
    if (depth_ == 0) {
      if (done.code != XMLERR_NONE) {
        *errflag = done.code;
        problem_ = std::move(done.problem);
      }
      return done.element;
    }
    add_child(open_[depth_ - 1], done.element, done.code, &done.problem);
  }
}

XMLENTITY* XmlEntityReader::read_top_level(int* code) {
  for (;;) {
    if (!input_.refill()) return nullptr;
    const char* p = input_.next();
    const char* less_than = find_xml_byte(p, input_.end(), '<');
    if (!less_than) {
      input_.take(input_.end());
      continue;
    }
    input_.take(less_than + 1);
    *code = XMLERR_NONE;
    if (XMLENTITY* entity = read_entity(code)) return entity;
  }
}

void XmlEntityReader::open_element(const XmlMarkup& markup) {
  if (depth_ == open_.size()) open_.emplace_back();
  OpenElement& open = open_[depth_++];
  open.element = markup.entity;
  open.last_child = nullptr;
  open.name_start = names_.size();
  open.name_length = markup.name_length;
  names_.append(markup.name, markup.name_length);
  open.text.clear();
  open.piece = nullptr;
  open.piece_length = 0;
  open.counted = 0;
  open.run_blanks = 0;
  open.run_counted = false;
  open.lead_dropped = false;
  open.lead_end = kNone;
  open.code = XMLERR_NONE;
}

// Reads the content of `open` until a child element starts (then open on the stack, its content
// still to be read) or `open` itself is done, with its data and code set.
XmlEntityReader::Step XmlEntityReader::read_content(OpenElement& open) {
  for (;;) {
    if (input_.next() == input_.end()) {
      gather_text(open);  // the piece must not outlive the bytes at hand
      if (!input_.refill()) {
        set_problem(open, XMLERR_EOF, input_.offset());
        finish(open, false);
        return Step::element_done;
      }
    }
    const char* p = input_.next();
    const char* end = input_.end();
    const char* found = find_xml_byte(p, end, '<');
    const char* less_than = found ? found : end;
    if (const char* after = take_text(open, p, less_than)) {
      const std::uint64_t at = input_.offset() + static_cast<std::uint64_t>(after - 1 - p);
      input_.take(after);
      set_problem(open, XMLERR_OVERRUN, at);
      return Step::element_done;
    }
    if (!found) {
      input_.take(end);
      continue;
    }
    const std::uint64_t markup_start = input_.offset() + static_cast<std::uint64_t>(less_than - p);
    input_.take(less_than + 1);
    if (close_at_once(open)) return Step::element_done;
    gather_text(open);

    int child_code = XMLERR_NONE;
    const XmlMarkup markup = read_xml_markup(input_, builder_, scratch_, &child_code);
    if (markup.content_follows) {
      if (close_leaf(markup, open)) continue;
      open_element(markup);  // `open` may move: it is not used again
      return Step::child_opened;
    }
    if (markup.entity) {
      XmlProblem problem;
      if (child_code != XMLERR_NONE) {
        problem = XmlProblem{markup_start, std::string(name_of(open), open.name_length)};
      }
      add_child(open, markup.entity, child_code, &problem);
      continue;
    }
    if (child_code == XMLERR_ENDTAG) {
      read_end_tag(open);
      return Step::element_done;
    }
    // Markup that failed without an entity: its '<' is text, what it consumed is lost.
    if (take_text(open, &kLessThan, &kLessThan + 1)) {
      set_problem(open, XMLERR_OVERRUN, markup_start);
      return Step::element_done;
    }
  }
}

// Takes the characters [p, end), which hold no '<', into the text of `open`. Returns null, or the
// position just after the character at which the text overran.
const char* XmlEntityReader::take_text(OpenElement& open, const char* p, const char* end) {
  if (p == end) return nullptr;
  const char* s = p;
  if (!open.run_counted) {
    while (s < end && is_xml_blank(static_cast<unsigned char>(*s))) ++s;
    if (s == end) {
      open.run_blanks += static_cast<std::size_t>(end - p);
      if (!open.lead_dropped || open.lead_end != kNone) keep_text(open, p, end);
      return nullptr;
    }
    // The run holds more than blanks: all of it counts.
    open.run_counted = true;
    open.counted += open.run_blanks + static_cast<std::size_t>(s - p);
    open.run_blanks = 0;
  }
  const std::size_t room = open.counted + 1 >= kTextLimit ? 0 : kTextLimit - 1 - open.counted;
  if (static_cast<std::size_t>(end - s) > room) return s + room + 1;
  open.counted += static_cast<std::size_t>(end - s);
  if (!builder_.makes_entities()) return nullptr;
  const char* from = open.lead_dropped && open.lead_end == kNone ? s : p;
  if (open.lead_end == kNone) {
    open.lead_end = open.text.size() + open.piece_length + static_cast<std::size_t>(s - from);
  }
  keep_text(open, from, end);
  return nullptr;
}

void XmlEntityReader::keep_text(OpenElement& open, const char* p, const char* end) {
  if (!builder_.makes_entities() || p == end) return;
  if (!open.piece && open.text.empty()) {
    open.piece = p;
    open.piece_length = static_cast<std::size_t>(end - p);
    return;
  }
  gather_text(open);
  open.text.append(p, static_cast<std::size_t>(end - p));
  let_lead_go(open);
}

void XmlEntityReader::gather_text(OpenElement& open) {
  if (!open.piece) return;
  open.text.assign(open.piece, open.piece_length);
  open.piece = nullptr;
  open.piece_length = 0;
  let_lead_go(open);
}

// A text that has grown to the limit by white space that does not count would grow with the
// document: the blanks before its first counted character, which trimming removes anyway, are
// let go, and those that come later before it are not kept.
void XmlEntityReader::let_lead_go(OpenElement& open) {
  if (open.lead_dropped || open.text.size() < kTextLimit) return;
  if (open.lead_end == kNone) {
    open.text.clear();
  } else {
    open.text.erase(0, open.lead_end);
    open.lead_end = 0;
  }
  open.lead_dropped = true;
}

// The input is just after a '<'. When "/name>" follows at once within the bytes at hand, the
// element is closed as read_end_tag would close it, with its text still where it lies.
bool XmlEntityReader::close_at_once(OpenElement& open) {
  const char* p = input_.next();
  const std::size_t length = open.name_length;
  if (static_cast<std::size_t>(input_.end() - p) < length + 2 || p[0] != '/' ||
      p[length + 1] != '>') {
    return false;
  }
  const char* name = name_of(open);
  for (std::size_t i = 0; i < length; ++i) {
    if (p[i + 1] != name[i]) return false;
  }
  input_.take(p + length + 2);
  finish(open, true);
  return true;
}

// A child whose text and end tag follow its start tag within the bytes at hand, as with most
// leaves, is closed here as read_content would close it, without being opened on the stack.
bool XmlEntityReader::close_leaf(const XmlMarkup& markup, OpenElement& parent) {
  const char* p = input_.next();
  const char* end = input_.end();
  const char* less_than = find_xml_byte(p, end, '<');
  const std::size_t length = markup.name_length;
  if (!less_than || static_cast<std::size_t>(end - less_than) < length + 3 || less_than[1] != '/' ||
      less_than[length + 2] != '>' || static_cast<std::size_t>(less_than - p) >= kTextLimit) {
    return false;
  }
  for (std::size_t i = 0; i < length; ++i) {
    if (less_than[i + 2] != markup.name[i]) return false;
  }
  keep_data(markup.entity, p, static_cast<std::size_t>(less_than - p), true);
  input_.take(less_than + length + 3);
  add_child(parent, markup.entity, XMLERR_NONE, nullptr);
  return true;
}

// The input is just after "</". The name must follow exactly; the text is trimmed only when
// it does.
void XmlEntityReader::read_end_tag(OpenElement& open) {
  const char* name = name_of(open);
  for (std::size_t i = 0; i < open.name_length; ++i) {
    const int c = input_.get();
    if (c != static_cast<unsigned char>(name[i])) {
      if (c == EOF) {
        set_problem(open, XMLERR_EOF, input_.offset());
      } else {
        set_problem(open, XMLERR_SYNTAX, input_.offset() - 1);
      }
      finish(open, false);
      return;
    }
  }
  int c;
  do {
    c = input_.get();
  } while (c != EOF && is_xml_space(c));
  if (c == EOF) {
    set_problem(open, XMLERR_EOF, input_.offset());
  } else if (c != '>') {
    set_problem(open, XMLERR_SYNTAX, input_.offset() - 1);
  }
  finish(open, true);
}

// Gives the element its data: the text, trimmed or not.
void XmlEntityReader::finish(OpenElement& open, bool trimmed) {
  if (open.piece) {
    keep_data(open.element, open.piece, open.piece_length, trimmed);
  } else {
    keep_data(open.element, open.text.data(), open.text.size(), trimmed);
  }
  open.piece = nullptr;
}

void XmlEntityReader::keep_data(XMLENTITY* element, const char* text, std::size_t length,
                                bool trimmed) {
  if (!builder_.makes_entities()) return;
  length = xml_text_length(text, length);
  if (trimmed) {
    while (length > 0 && is_xml_space(static_cast<unsigned char>(*text))) {
      ++text;
      --length;
    }
    while (length > 0 && is_xml_space(static_cast<unsigned char>(text[length - 1]))) --length;
  }
  element->data = builder_.copy_element_text(text, length);
}

void XmlEntityReader::add_child(OpenElement& parent, XMLENTITY* child, int code,
                                XmlProblem* problem) {
  if (builder_.makes_entities()) {
    if (parent.last_child) {
      parent.last_child->next = child;
    } else {
      parent.element->children = child;
    }
    parent.last_child = child;
  }
  if (code != XMLERR_NONE) {
    parent.code = code;
    parent.problem = std::move(*problem);
  }
  // A child ends the run of text before it.
  parent.run_counted = false;
  parent.run_blanks = 0;
}

// The element's own problem replaces the code its children gave it; but the end of input, met
// by every open element in turn, is put where the innermost met it.
void XmlEntityReader::set_problem(OpenElement& open, int code, std::uint64_t offset) {
  if (code == XMLERR_EOF && open.code == XMLERR_EOF) return;
  open.code = code;
  open.problem.offset = offset;
  open.problem.element.assign(name_of(open), open.name_length);
}

}  // namespace zevo
