#include "platform/FileSet.h"

#include <cstring>
#include <system_error>

#include "platform/Disk.h"
#include "platform/OutputFileSystem.h"

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

namespace {
void Remove(const fs::path& file) {
  std::error_code ec;
  fs::remove(file, ec);
}
}  // namespace

void FileSet::Discard() {
  for (const Pending& p : files_) Remove(p.temp);
  files_.clear();
}

bool FileSet::Commit(Disk& disk) {
  // What each placed file replaced, kept under a second name until all are in place.
  std::vector<fs::path> kept(files_.size());
  std::vector<bool> movedAside(files_.size(), false);
  auto putBack = [&](size_t count) {
    for (size_t i = 0; i < count; ++i) {
      if (kept[i].empty())
        Remove(files_[i].target);
      else if (outfs::Replace(kept[i], files_[i].target) != 0)
        Remove(kept[i]);
    }
  };
  for (size_t i = 0; i < files_.size(); ++i) {
    Pending& f = files_[i];
    if (!f.existed && !f.joined.empty()) f.target = disk.Resolve(f.joined);
    std::error_code ec;
    const fs::file_type type = fs::symlink_status(f.target, ec).type();
    if (!ec && type != fs::file_type::not_found && type != fs::file_type::directory) {
      // A second name for the old file, or (where the file system has no such names) the
      // old file moved aside; the temporary's own pattern, so a killed run leaves nothing.
      for (int attempt = 0; attempt < 100 && kept[i].empty(); ++attempt) {
        const fs::path name = TemporaryName(f.target);
        fs::create_hard_link(f.target, name, ec);
        if (!ec) {
          kept[i] = name;
        } else if (ec != std::errc::file_exists && (fs::rename(f.target, name, ec), !ec)) {
          kept[i] = name;
          movedAside[i] = true;
        }
      }
    }
    if (const int error = outfs::Replace(f.temp, f.target); error != 0) {
      error_ = "cannot write " + f.target.lexically_normal().string() + ": " + std::strerror(error);
      failed_ = f.target;
      if (movedAside[i])
        outfs::Replace(kept[i], f.target);
      else if (!kept[i].empty())
        Remove(kept[i]);
      putBack(i);
      Discard();
      return false;
    }
  }
  for (size_t i = 0; i < files_.size(); ++i) {
    if (!kept[i].empty()) Remove(kept[i]);
    disk.NoteWritten(files_[i].target);
  }
  files_.clear();
  return true;
}

}  // namespace tessary
