#pragma once
// Files written through the output layer and read back; how many files a folder holds.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/Disk.h"
#include "platform/OutputFile.h"

namespace tessary::test {

// The bytes of `file` (empty when it cannot be read).
inline std::string Text(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The files below `folder`, at any depth (folders not counted).
inline size_t CountFiles(const std::filesystem::path& folder) {
  size_t n = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) n += !e.is_directory();
  return n;
}

// The names directly in `folder`, folders included.
inline size_t CountEntries(const std::filesystem::path& folder) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

// Writes `text` to a joined path through the output layer, as the exports do.
inline bool WriteFile(const std::string& joined, std::string_view text) {
  Disk disk;
  OutputFile file;
  if (!file.Open(disk, joined)) return false;
  file.WriteText(text);
  return file.Commit();
}

}  // namespace tessary::test
