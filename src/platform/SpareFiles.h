#pragma once
// Files that replacements have traded out of place, kept while a batch runs to be written
// over as the temporaries of later replacements in the same folder. A batch that replaces
// thousands of files then neither makes nor removes a file for each one it writes; some
// file systems (ext4 without a journal) make every new file skip the files removed in the
// last minutes, which makes a replacing batch slower with every file it writes.
//
// Only while a SpareFiles object lives (a batch makes one; one at a time); without one, a
// file traded out of place is removed at once. Destroying it removes every spare left.
// Safe to use from several threads at once.
#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <optional>

namespace tessary {

class SpareFiles {
 public:
  SpareFiles();
  ~SpareFiles();
  SpareFiles(const SpareFiles&) = delete;
  SpareFiles& operator=(const SpareFiles&) = delete;

  // A file no longer needed, whose status (links not followed) is `status`: kept when it
  // is a regular file with no other name, spare files are kept and there is room, else
  // false (the caller removes it).
  static bool Give(const std::filesystem::path& file, const struct stat& status);

  // A kept file of `folder` for the caller to write over, with the file it was when it
  // was given: the caller checks that the name still leads to it; nullopt when there is
  // none.
  struct Spare {
    std::filesystem::path file;
    dev_t device = 0;
    ino_t inode = 0;
  };
  static std::optional<Spare> Take(const std::filesystem::path& folder);
};

}  // namespace tessary
