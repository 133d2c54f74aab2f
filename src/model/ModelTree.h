#pragma once
// The model tree the form shows and the command line prints: a toolkit-independent tree
// of items, each with a text, an image index, a bold flag, optional item data and children.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessary {

// Image indexes of the tree's image strip.
enum TreeImage : int { kImageGroup = 0, kImagePresent = 1, kImageMissing = 2 };

struct TreeItem {
  std::string text;
  int image = kImageGroup;
  bool bold = false;
  std::optional<int> data;  // the level index of a surfaces item
  TreeItem* parent = nullptr;
  std::vector<std::unique_ptr<TreeItem>> children;

  // Appends a child at the end and returns it.
  TreeItem& AddChild(std::string childText, int childImage);
  // The item data, 0 for items that carry none.
  int Data() const { return data.value_or(0); }
};

class ModelTree {
 public:
  TreeItem* Root() { return root_.get(); }
  const TreeItem* Root() const { return root_.get(); }
  void Clear() { root_.reset(); }
  // Replaces the tree with a single root item.
  TreeItem& SetRoot(std::string text, int image = kImageGroup);

 private:
  std::unique_ptr<TreeItem> root_;
};

// Calls `visit` on `item`, then on every item below it, in the order the tree shows them.
void VisitPreOrder(TreeItem& item, const std::function<void(TreeItem&)>& visit);

// Group texts.
inline constexpr const char* kSurfacesGroup = "Surfaces";
inline constexpr const char* kPartsGroup = "Parts (Tags)";
inline constexpr const char* kMaterialsGroup = "Materials";

}  // namespace tessary
