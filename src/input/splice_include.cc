#include "input/splice_include.h"

#include <cstdio>
#include <functional>

#include "model/messages.h"

namespace zevo {
namespace {

// Ends the run with `message` about the file named `name`, placed at the include element.
[[noreturn]] void end_at_include(const WALKED_FILE& including, const XMLENTITY* include,
                                 const char* message, const char* name) {
  print_message(Stream::err, message, name);
  XmlPlace place = including.document->entity_place();
  place.element = shown_text(include->name);
  end_reading_at(shown_text(including.name), place);
}

}  // namespace

std::size_t IncludePath::KeyHash::operator()(const Key& key) const {
  return std::hash<unsigned long long>()(static_cast<unsigned long long>(key.ino)) ^
         (std::hash<unsigned long long>()(static_cast<unsigned long long>(key.dev)) << 1);
}

void IncludePath::enter(const FileIdentity& file) {
  if (file.known) files_.insert(Key{file.dev, file.ino});
}

void IncludePath::leave(const FileIdentity& file) {
  if (file.known) files_.erase(Key{file.dev, file.ino});
}

bool IncludePath::contains(const FileIdentity& file) const {
  return file.known && files_.count(Key{file.dev, file.ino}) != 0;
}

SplicedFragment splice_include(ZEVO_CONTEXT* context, const XMLENTITY* include,
                               const WALKED_FILE& including, const IncludePath& path) {
  const char* name = include->data;
  if (!name) {
    end_at_include(including, include, " *** ERROR: Unable to open INCLUDE file (%s)\n", "");
  }
  if (context->nbr_splices >= kMaxSplices) {
    end_at_include(including, include, " *** ERROR: too many INCLUDE files (%s)\n", name);
  }
  FILE* file = open_input_file(name);
  if (!file) {
    end_at_include(including, include, " *** ERROR: Unable to open INCLUDE file (%s)\n", name);
  }
  ++context->nbr_splices;
  record_input_file(context, name, file);

  const FileIdentity identity = identify_open_file(file);
  if (path.contains(identity)) {
    std::fclose(file);
    end_at_include(including, include, " *** ERROR: INCLUDE file (%s) includes itself\n", name);
  }
  auto document = std::make_unique<XmlDocument>(file);
  std::fclose(file);
  if (document->code() != XMLERR_NONE || !document->has_entity()) {
    print_message(Stream::err, " *** ERROR: (%d) Error encountered in reading XML file\n",
                  document->code());
    end_reading_at(name, document->problem_place());
  }
  XmlDocument* read = document.get();
  return {std::move(document), WALKED_FILE{read, name, identity}};
}

void end_reading_at(const char* file, const XmlPlace& place) {
  const auto line = static_cast<unsigned long long>(place.line);
  const auto column = static_cast<unsigned long long>(place.column);
  if (place.element.empty()) {
    exit_with_message(Stream::err, " *** in %s at line %llu, column %llu\n", file, line, column);
  }
  exit_with_message(Stream::err, " *** in %s at line %llu, column %llu, in element <%s>\n", file,
                    line, column, place.element.c_str());
}

}  // namespace zevo
