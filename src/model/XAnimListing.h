#pragma once
// Which animation files of a working folder drive a model: those of `workdir`/xanim that
// name at least one of the model's bones (ignoring case), the most bones matched first.
// Only each file's header and bone names are read, so a folder of thousands of files is
// listed quickly; files that are not animations (or are damaged before the end of their
// names) are left out.
#include <filesystem>
#include <string>
#include <vector>

namespace tessary {

class Disk;

struct XAnimMatch {
  std::string fileName;  // as it is in the folder
  size_t matchedBones = 0;
  size_t bones = 0;  // how many the animation names
};

struct XAnimListing {
  std::filesystem::path folder;  // the xanim folder as found (any case)
  bool folderFound = false;
  // Most matched bones first; equal counts in the folder's byte order of names.
  std::vector<XAnimMatch> matches;
};

XAnimListing ListMatchingXAnims(Disk& disk, const std::string& workdir, const std::vector<std::string>& modelBones);

// The bone names of the animation file at `path`, reading no more of it than they need;
// false when it is not a readable animation file.
bool ReadXAnimBoneNames(const std::filesystem::path& path, std::vector<std::string>& names);

}  // namespace tessary
