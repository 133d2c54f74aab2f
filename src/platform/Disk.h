#pragma once
// What one command knows of the disk. The games' tools name files by joined 8-bit paths
// ("\..\xmodelsurfs") on a file system that ignores letter case; here a name is looked up
// case-insensitively in the listing of its folder. A Disk lists each folder it looks in
// once and reads each file it is asked for once, however many readers of the command ask
// again, so it is made for one command (one export, one tree, one preview) and dropped
// with it: the next command sees what changed meanwhile. Every reader, look-up and writer
// of a command is handed the command's Disk.
//
// A batch that exports many models into one folder gives each model's export a Fresh()
// disk: it shares the folder listings, so the output folder is listed once for the whole
// batch, but lets one model's bytes go when that model is done.
//
// Safe to use from several threads at once.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/BinaryFile.h"

namespace tessary {

class Disk {
 public:
  using Bytes = std::shared_ptr<const std::vector<uint8_t>>;

  Disk();
  ~Disk();
  Disk(const Disk&) = delete;
  Disk& operator=(const Disk&) = delete;

  // A disk that shares this one's folder listings and has read no file yet.
  std::unique_ptr<Disk> Fresh() const;

  // Maps a joined path onto the file system. When the path does not exist exactly, each
  // name is matched case-insensitively against the entries that exist (the first match in
  // byte order wins). Names that match nothing are kept as written, so the result can also
  // name a file that is about to be created; `found` tells whether every name was found.
  std::filesystem::path Resolve(std::string_view joined);
  std::filesystem::path Resolve(std::string_view joined, bool& found);
  // Resolve for a file about to be written: an entry spelled exactly as asked comes first,
  // so a name is looked up in its folder's listing without a look at the disk.
  std::filesystem::path ResolveForWriting(std::string_view joined, bool& found);

  // Existence test with the rule of the games' tools: nothing found is false, and so is a
  // plain folder; a file, or a folder carrying further attributes (read-only or hidden),
  // counts. A '*' or '?' in the last name matches as a wildcard.
  bool Exists(std::string_view joined);

  // The bytes of the regular file at a joined path, read from the disk the first time
  // only; null when there is none (a folder, a FIFO or a device does not open).
  Bytes Read(std::string_view joined);
  // The same as a BinaryFile; a closed one when there is no file.
  BinaryFile Open(std::string_view joined);

  // Every entry of the folder `dir` (a file system path) in byte order; empty when it is
  // not a folder that can be listed.
  std::vector<std::string> Entries(const std::filesystem::path& dir);

  // Tells the disk that this command has just written `file`, so that the listing of its
  // folder stays right without listing it again.
  void NoteWritten(const std::filesystem::path& file);
  // Forgets every listing and every file read: another program has changed the folders.
  void Forget();

 private:
  class Listings;
  explicit Disk(std::shared_ptr<Listings> listings);

  std::shared_ptr<Listings> listings_;
  std::mutex readsMutex_;
  std::map<std::string, Bytes, std::less<>> reads_;
};

}  // namespace tessary
