#pragma once
// Small input files that many models of a batch read, such as material files, kept from
// one model's export to the next. A kept file answers only while the disk still shows it
// unchanged: same file, size, modification and change times. It is kept only when its
// change time was over two seconds old once it had been read, so any later change gives
// it a new change time (which no program can set back), even within the time stamps'
// resolution.
//
// Safe to use from several threads at once.
#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include <cstdint>

namespace tessary::settled_files {

using Contents = std::shared_ptr<const std::vector<uint8_t>>;

// The bytes kept for `file` when the disk shows it unchanged since; null otherwise.
Contents Find(const std::filesystem::path& file);

// Keeps `bytes`, just read from `file`, when the file is small and settled.
void Keep(const std::filesystem::path& file, const Contents& bytes);

// How old a file's times must be for it to be kept: two seconds unless a test says
// otherwise. Setting it forgets every file.
void SetSettleTime(std::chrono::nanoseconds age);

}  // namespace tessary::settled_files
