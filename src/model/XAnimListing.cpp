#include "model/XAnimListing.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

// Up to `count` bytes from the start of the file; false on a read error.
bool ReadStart(int fd, size_t count, std::vector<uint8_t>& bytes) {
  bytes.resize(count);
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd, bytes.data() + done, count - done, off_t(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    done += size_t(n);
  }
  bytes.resize(done);
  return true;
}

}  // namespace

bool ReadXAnimBoneNames(const fs::path& path, std::vector<std::string>& names) {
  ReadDescriptor fd = OpenRegularFile(path);
  struct stat st {};
  if (!fd.IsOpen() || ::fstat(fd.Get(), &st) != 0) return false;
  const size_t fileSize = size_t(st.st_size);
  std::vector<uint8_t> bytes;
  for (size_t want = std::min(kFirstRead, fileSize);; want = std::min(want * 2, fileSize)) {
    if (!ReadStart(fd.Get(), want, bytes)) return false;
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
