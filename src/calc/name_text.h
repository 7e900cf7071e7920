// Texts of the input model may be null (the document gave none); messages print them as the
// C library prints a null text, without relying on it.
#pragma once

namespace zevo {

inline const char* name_text(const char* name) { return name ? name : "(null)"; }

}  // namespace zevo
