#include "model/ModelTree.h"

namespace tessary {

TreeItem& TreeItem::AddChild(std::string childText, int childImage) {
  auto child = std::make_unique<TreeItem>();
  child->text = std::move(childText);
  child->image = childImage;
  child->parent = this;
  children.push_back(std::move(child));
  return *children.back();
}

void VisitPreOrder(TreeItem& item, const std::function<void(TreeItem&)>& visit) {
  visit(item);
  for (auto& child : item.children) VisitPreOrder(*child, visit);
}

TreeItem& ModelTree::SetRoot(std::string text, int image) {
  root_ = std::make_unique<TreeItem>();
  root_->text = std::move(text);
  root_->image = image;
  return *root_;
}

}  // namespace tessary
