#include "model/XAnimListing.h"

#include <algorithm>
#include <unordered_set>

#include "model/XAnimReader.h"
#include "platform/AsciiCase.h"
#include "platform/FileOpen.h"
#include "platform/Disk.h"
#include "platform/Path.h"

namespace tessary {

namespace {

namespace fs = std::filesystem;

// The header and the names of real files fit in a few kilobytes; a longer root-motion track
// before the names takes a second read of twice the size, and so on up to the whole file.
constexpr size_t kFirstRead = 8192;

}  // namespace

bool ReadXAnimBoneNames(const fs::path& path, std::vector<std::string>& names) {
  std::vector<uint8_t> bytes;
  uint64_t fileSize = 0;
  for (size_t want = kFirstRead;; want *= 2) {
    if (!ReadFileStart(path, want, bytes, fileSize)) return false;
    XAnimResult read = ReadXAnimHeader(bytes, path.string());
    if (read.anim) {
      names.clear();
      for (const XAnimBone& bone : read.anim->bones) names.push_back(bone.name);
      return true;
    }
    if (bytes.size() < want || want >= fileSize) return false;  // damaged, not cut by the read
  }
}

XAnimListing ListMatchingXAnims(Disk& disk, const std::string& workdir, const std::vector<std::string>& modelBones) {
  XAnimListing listing;
  listing.folder = disk.Resolve(workdir + "\\xanim");
  std::error_code ec;
  listing.folderFound = fs::is_directory(listing.folder, ec);
  if (!listing.folderFound) return listing;

  std::unordered_set<std::string> wanted;
  for (const std::string& name : modelBones) wanted.insert(AsciiLower(name));
  std::vector<std::string> names;
  for (const std::string& entry : disk.Entries(listing.folder)) {
    if (!ReadXAnimBoneNames(listing.folder / entry, names)) continue;
    // A name the animation repeats counts once.
    std::unordered_set<std::string> matched;
    for (const std::string& name : names) {
      std::string lower = AsciiLower(name);
      if (wanted.count(lower) != 0) matched.insert(std::move(lower));
    }
    if (!matched.empty()) listing.matches.push_back({entry, matched.size(), names.size()});
  }
  std::stable_sort(listing.matches.begin(), listing.matches.end(),
                   [](const XAnimMatch& a, const XAnimMatch& b) { return a.matchedBones > b.matchedBones; });
  return listing;
}

}  // namespace tessary
