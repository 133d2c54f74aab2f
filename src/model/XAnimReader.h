#pragma once
// Reads the games' animation files (xanim, versions 14 and 17) from their bytes in memory.
// A damaged file gives a message naming it, never a crash or a hang: every count is checked
// against the bytes that remain before anything is read or kept for it.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/XAnim.h"

namespace tessary {

class Disk;

struct XAnimResult {
  std::optional<XAnim> anim;  // empty when the file could not be read
  std::string error;          // why, naming the file; "" when read
  size_t bytesRead = 0;       // where the reading ended
  size_t fileSize = 0;        // bytes after bytesRead are left unread
};

// `name` is how messages name the file.
XAnimResult ReadXAnim(const std::vector<uint8_t>& bytes, const std::string& name);

// The header and the bone names only, as ReadXAnim reads them (the bones without keys, no
// notetracks): enough to tell which models an animation drives. `bytes` may be the start
// of a file; a file cut before the end of its names is reported as damaged.
XAnimResult ReadXAnimHeader(const std::vector<uint8_t>& bytes, const std::string& name);

// Reads the file at `path` (matched ignoring case where it does not exist exactly).
XAnimResult LoadXAnim(Disk& disk, const std::filesystem::path& path);

// Where an animation named on a command line lies: `nameOrPath` as a file name in
// `workdir`/xanim (matched ignoring case), else as a path. Empty when neither exists.
std::filesystem::path FindXAnim(Disk& disk, const std::string& workdir, const std::string& nameOrPath);

}  // namespace tessary
