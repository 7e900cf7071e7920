// The includes: the fragment file an `include` element names, read and checked so that its
// top-level entities can be taken at the place of the element; the include-cycle check; and the
// line that says where in which file the reading stopped.
//
// Entry points:
//   splice_include(context, include, including, path) takes the `include` element met in the file
//   `including`; it opens and reads the file the element names, records it among the context's
//   input files and returns it, to be walked next. The caller enters it into `path` for as long
//   as its entities are being walked.
//   IncludePath: the files from the main document to the one being walked; an include of one of
//   them would splice that file into itself without end. Each check costs the same however deep
//   the chain of fragments.
//   end_reading_at(file, place) prints, after the message of a problem that ends the reading,
//   the line that names the file, the line and the column (and the element, when one is known),
//   " *** in name at line 5, column 12, in element <lc>\n", and ends the run.
// Ends the run: a file that cannot be opened (a device is never opened) or read as XML, a file
// already on the path, one splice more than kMaxSplices in the run (" *** ERROR: too many INCLUDE
// files (name)"), and exhausted memory.
#pragma once

#include <memory>
#include <unordered_set>

#include "model/run_context.h"
#include "xml/xml_document.h"
#include "xml/xml_reader.h"

namespace zevo {

// A file whose top-level entities the walk of the document is passing through: the main
// document, or an included file.
struct WALKED_FILE {
  XmlDocument* document;
  const char* name;
  FileIdentity identity;
};

class IncludePath {
 public:
  void enter(const FileIdentity& file);
  void leave(const FileIdentity& file);
  bool contains(const FileIdentity& file) const;

 private:
  struct Key {
    dev_t dev;
    ino_t ino;
    bool operator==(const Key& other) const { return dev == other.dev && ino == other.ino; }
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const;
  };
  std::unordered_set<Key, KeyHash> files_;
};

// No honest document comes near this many splices in one run; fragments that each include the
// next one twice would otherwise splice 2^n files for n levels.
inline constexpr int kMaxSplices = 100000;

// The fragment read; `document` owns what `walked.document` points to.
struct SplicedFragment {
  std::unique_ptr<XmlDocument> document;
  WALKED_FILE walked;
};

SplicedFragment splice_include(ZEVO_CONTEXT* context, const XMLENTITY* include,
                               const WALKED_FILE& including, const IncludePath& path);

[[noreturn]] void end_reading_at(const char* file, const XmlPlace& place);

}  // namespace zevo
