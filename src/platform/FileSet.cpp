#include "platform/FileSet.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Disk.h"

namespace fs = std::filesystem;

namespace tessary {

FileSet& FileSet::operator=(FileSet&& other) noexcept {
  if (this != &other) {
    Discard();
    files_ = std::move(other.files_);
    error_ = std::move(other.error_);
    failed_ = std::move(other.failed_);
  }
  return *this;
}

bool FileSet::Add(OutputFile& file) {
  const bool existed = file.TargetExisted();
  fs::path temp = file.Finish();
  if (temp.empty()) return false;
  files_.push_back({std::move(temp), file.Target(), file.JoinedPath(), existed});
  return true;
}

void FileSet::Discard() {
  for (const Pending& p : files_) ::unlink(p.temp.c_str());
  files_.clear();
}

bool FileSet::Commit(Disk& disk) {
  // What each placed file replaced, kept under a second name until all are in place.
  std::vector<fs::path> kept(files_.size());
  std::vector<bool> movedAside(files_.size(), false);
  auto putBack = [&](size_t count) {
    for (size_t i = 0; i < count; ++i) {
      if (kept[i].empty())
        ::unlink(files_[i].target.c_str());
      else if (::rename(kept[i].c_str(), files_[i].target.c_str()) != 0)
        ::unlink(kept[i].c_str());
    }
  };
  for (size_t i = 0; i < files_.size(); ++i) {
    Pending& f = files_[i];
    if (!f.existed && !f.joined.empty()) f.target = disk.Resolve(f.joined);
    struct stat st {};
    if (::lstat(f.target.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
      // A second name for the old file, or (where the file system has no such names) the
      // old file moved aside; the temporary's own pattern, so a killed run leaves nothing.
      for (int attempt = 0; attempt < 100 && kept[i].empty(); ++attempt) {
        const fs::path name = TemporaryName(f.target);
        if (::link(f.target.c_str(), name.c_str()) == 0) {
          kept[i] = name;
        } else if (errno != EEXIST && ::rename(f.target.c_str(), name.c_str()) == 0) {
          kept[i] = name;
          movedAside[i] = true;
        }
      }
    }
    if (::rename(f.temp.c_str(), f.target.c_str()) != 0) {
      const int error = errno;
      error_ = "cannot write " + f.target.lexically_normal().string() + ": " + std::strerror(error);
      failed_ = f.target;
      if (movedAside[i])
        ::rename(kept[i].c_str(), f.target.c_str());
      else if (!kept[i].empty())
        ::unlink(kept[i].c_str());
      putBack(i);
      Discard();
      return false;
    }
  }
  for (size_t i = 0; i < files_.size(); ++i) {
    if (!kept[i].empty()) ::unlink(kept[i].c_str());
    disk.NoteWritten(files_[i].target);
  }
  files_.clear();
  return true;
}

}  // namespace tessary
