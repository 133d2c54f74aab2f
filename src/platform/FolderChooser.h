#pragma once
// The folder browser: shows `title`, preselects `folder`, and on confirmation replaces
// `folder` with the chosen folder and returns true; on cancel `folder` is unchanged.
#include <string>

namespace tessary {

class IFolderChooser {
 public:
  virtual ~IFolderChooser() = default;
  virtual bool BrowseForFolder(std::string& folder, const std::string& title) = 0;
};

}  // namespace tessary
