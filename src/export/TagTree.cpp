#include "export/TagTree.h"

#include <utility>

namespace tessary {

int32_t ListedParent(const PartList& parts, size_t index) {
  int32_t parent = parts.parts[index].parent;
  return static_cast<size_t>(parent) < parts.parts.size() ? parent : 0;
}

CTagTree::CTagTree(const PartList& parts) {
  nodes_.reserve(parts.parts.size());
  for (size_t i = 0; i < parts.parts.size(); ++i) {
    const Part& p = parts.parts[i];
    auto node = std::make_unique<CTagNode>();
    node->name = p.name;
    node->x = p.position[0];
    node->y = p.position[1];
    node->z = p.position[2];
    node->parentIndex = i == 0 ? 0 : ListedParent(parts, i);
    nodes_.push_back(std::move(node));
  }
  for (size_t i = 1; i < nodes_.size(); ++i) {
    CTagNode& parent = *nodes_[static_cast<size_t>(nodes_[i]->parentIndex)];
    CTagNode* child = nodes_[i].get();
    if (parent.lastChild)
      parent.lastChild->nextSibling = child;
    else
      parent.firstChild = child;
    parent.lastChild = child;
  }
}

void CTagTree::Walk(
    const std::function<void(const CTagNode&, const std::string& prefix)>& visit) const {
  const CTagNode* root = Root();
  if (!root) return;
  // Pending nodes with their prefixes. Only reachable nodes are ever pushed, and every
  // node has one parent, so each is visited once and the walk ends.
  std::vector<std::pair<const CTagNode*, std::string>> pending;
  pending.emplace_back(root, std::string());
  while (!pending.empty()) {
    auto [node, prefix] = std::move(pending.back());
    pending.pop_back();
    visit(*node, prefix);
    // The root counts as the last of its siblings, whatever the list holds.
    const CTagNode* sibling = node == root ? nullptr : node->nextSibling;
    if (sibling) pending.emplace_back(sibling, prefix);
    if (node->firstChild)
      pending.emplace_back(node->firstChild, prefix + (sibling ? "|    " : "    "));
  }
}

}  // namespace tessary
