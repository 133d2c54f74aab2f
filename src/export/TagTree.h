#pragma once
// The tag hierarchy of a model as the tags listing draws it: one node per part, children
// in list order under their parent.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/ModelRecords.h"

namespace tessary {

struct CTagNode {
  std::string name;
  float x = 0, y = 0, z = 0;
  int32_t parentIndex = 0;
  CTagNode* firstChild = nullptr;   // owned by the tree
  CTagNode* nextSibling = nullptr;  // owned by the tree
  CTagNode* lastChild = nullptr;    // where the next child is appended
};

class CTagTree {
 public:
  // Node 0 is the root; node i (i >= 1) becomes the last child of its parent. A parent
  // index outside the list counts as the root.
  explicit CTagTree(const PartList& parts);
  CTagTree(const CTagTree&) = delete;
  CTagTree& operator=(const CTagTree&) = delete;

  const CTagNode* Root() const { return nodes_.empty() ? nullptr : nodes_.front().get(); }

  // Visits the nodes reachable from the root depth first, each before its children, with
  // the prefix that draws its place: "|    " for every ancestor level that has a next
  // sibling, four spaces for one that has none. Parts in a parent cycle are not reached.
  void Walk(const std::function<void(const CTagNode&, const std::string& prefix)>& visit) const;

 private:
  std::vector<std::unique_ptr<CTagNode>> nodes_;
};

// The parent a listing prints for part `index`: 0 when the stored one is out of range.
int32_t ListedParent(const PartList& parts, size_t index);

}  // namespace tessary
