// Lower-casing the names of an entity tree.
#include "xml/xml_entity.h"

namespace zevo {

// The walk over the descendants threads the tree temporarily instead of keeping a stack, so it
// needs neither the call stack per level nor any allocation, however deep the document is.
// Seen as a binary tree (left = children, right = next), this is a pre-order Morris traversal:
// the last child of a node is pointed back at the node while its children are walked, and the
// pointer is cleared again on the way back. Every link is followed at most twice.
void lowercase_XMLENTITY(XMLENTITY* entity, int recurse) {
  if (!entity) return;
  xmllowerstring(entity->name);
  if (!recurse) return;

  XMLENTITY* node = entity->children;
  while (node) {
    if (!node->children) {
      xmllowerstring(node->name);
      node = node->next;
      continue;
    }
    XMLENTITY* last_child = node->children;
    while (last_child->next && last_child->next != node) last_child = last_child->next;
    if (!last_child->next) {
      xmllowerstring(node->name);
      last_child->next = node;
      node = node->children;
    } else {
      last_child->next = nullptr;
      node = node->next;
    }
  }
}

}  // namespace zevo
