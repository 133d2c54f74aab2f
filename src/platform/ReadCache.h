#pragma once
// Input files read once per task. While a ReadCache is installed on a thread, a file that
// BinaryFile opens again, or whose existence FileExists tests again, by the same joined
// path, is answered from what the first time found instead of from the disk. The export
// path installs one for each model it exports: the model's inputs do not change under a
// single export, and the next model looks at the disk again, so a file another program
// adds during a long batch is still found.
//
// For the same reason the folder look-ups of a task take each folder's status from the
// disk once, and read the system's change reports once, at the task's first look-up.
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessary {

class ReadCache {
 public:
  // What opening a path found: its bytes, or null when it did not open as a file.
  using Contents = std::shared_ptr<const std::vector<uint8_t>>;

  ReadCache() = default;
  ReadCache(const ReadCache&) = delete;
  ReadCache& operator=(const ReadCache&) = delete;

  // Installs `cache` on the calling thread for the lifetime of this object.
  class Scope {
   public:
    explicit Scope(ReadCache& cache);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    ReadCache* previous_;
  };

  // The cache installed on the calling thread, or null.
  static ReadCache* Current();

  // What an earlier open of `path` found; nullopt when it was not opened yet.
  std::optional<Contents> FindOpened(std::string_view path) const;
  void NoteOpened(std::string_view path, Contents contents);

  // What an earlier existence test of `path` found; nullopt when there was none.
  std::optional<bool> FindExists(std::string_view path) const;
  void NoteExists(std::string_view path, bool exists);

  // Where an earlier look-up found `path` (the file system path, and whether something
  // is there); nullopt when it was not looked up yet.
  struct Resolved {
    std::filesystem::path where;
    bool found = false;
  };
  const Resolved* FindResolved(std::string_view path) const;
  void NoteResolved(std::string_view path, Resolved resolved);

  // The status of a folder path as first taken in this task: nullopt when not taken yet;
  // a null status pointer when it could not be taken.
  std::optional<const struct stat*> FindFolderStatus(const std::string& folder) const;
  void NoteFolderStatus(const std::string& folder, const struct stat* status);

  // True the first time only: whether the change reports are still to be read.
  bool FirstChangeCheck() { return !std::exchange(changesChecked_, true); }

 private:
  std::map<std::string, Contents, std::less<>> opened_;
  std::map<std::string, bool, std::less<>> exists_;
  std::map<std::string, Resolved, std::less<>> resolved_;
  std::map<std::string, std::optional<struct stat>, std::less<>> folders_;
  bool changesChecked_ = false;
};

}  // namespace tessary
