// How a text of the input model appears inside a message.
#pragma once

namespace zevo {

// The text itself, or NULL for a text the document did not supply.
inline const char* shown_text(const char* text) { return text ? text : "NULL"; }

}  // namespace zevo
