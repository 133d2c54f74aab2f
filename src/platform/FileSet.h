#pragma once
// Output files that appear together or not at all, such as the files of one exported
// level. Each file is written as an OutputFile and handed to the set finished, under its
// temporary name; Commit then renames them into place in the order they were added. When
// one cannot take its name, the files placed before it are taken back and whatever they
// replaced is put back, so the folder is as it was. A set destroyed uncommitted removes
// its temporaries.
//
// A set may be moved: a batch that exports several models at once keeps each model's set
// and commits the sets in the models' order, so that where two models write the same file
// the folder ends as a one-by-one run leaves it.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/OutputFile.h"

namespace tessary {

class Disk;

class FileSet {
 public:
  FileSet() = default;
  ~FileSet() { Discard(); }
  FileSet(FileSet&& other) noexcept = default;
  FileSet& operator=(FileSet&& other) noexcept;
  FileSet(const FileSet&) = delete;
  FileSet& operator=(const FileSet&) = delete;

  // Finishes `file` (OutputFile::Finish) and keeps it for Commit; false, with the reason
  // in file.Error(), when that fails.
  bool Add(OutputFile& file);
  // Renames every file into place (a file opened by a joined path whose name was new is
  // looked up on `disk` again now, as a file that another set wrote meanwhile under
  // another letter case is the one replaced) and tells `disk` of them. False, with nothing
  // of the set left and the reason in Error(), on failure.
  bool Commit(Disk& disk);
  // Removes the temporaries without writing anything.
  void Discard();
  const std::string& Error() const { return error_; }
  // The target that could not be written when Commit failed.
  const std::filesystem::path& FailedTarget() const { return failed_; }

 private:
  struct Pending {
    std::filesystem::path temp, target;
    std::string joined;
    bool existed = false;  // something stood at the target when the file was opened
  };
  std::vector<Pending> files_;
  std::string error_;
  std::filesystem::path failed_;
};

}  // namespace tessary
