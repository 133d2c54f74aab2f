#pragma once
// The string and list measurements every reader of the game's binary files relies on.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/BinaryFile.h"

namespace tessary {

// The longest run a string measurement looks at before it gives up and returns 0.
inline constexpr int kMeasureLimit = 1024;

// Measures a zero-terminated string without consuming it.
// Forward: the bytes from `offset` up to the zero (0 when none comes within 1,024 bytes);
// the file is left at `offset`. The end of the file ends the string.
// Backward: steps over the bytes before `offset` towards the start of the file; at the
// first zero returns the number of bytes stepped over and leaves the file just after that
// zero. 1,024 bytes without a zero give 0 with the file left at `offset`. Reaching the
// start of the file without a zero sets `*reachedStart` (when given) and leaves the file
// at offset 0.
int MeasureString(BinaryFile& file, int64_t offset, bool backward, bool* reachedStart = nullptr);

// Reads up to and including the next zero byte (or the end of the file), returns the
// number of bytes read (1 for an empty string) and seeks back to where it started.
int PeekStringLength(BinaryFile& file);

// Counts the entries of a level-of-detail list starting at `offset`: each entry a 4-byte
// value followed by a zero-terminated name.
int CountLodNames(BinaryFile& file, int64_t offset);

// The offset of the first "mtl_" in a version 20 header minus 2, or -1 (negative) when
// the file holds none or the occurrence is closer than 2 bytes to the start. Searches from
// the start of the file in blocks of 1,024 bytes.
int64_t FindMaterialSection(BinaryFile& file);

// Reads a zero-terminated string at the current position, consuming its zero byte;
// at most `limit` bytes are taken (further bytes stay unread). The end of the file ends it.
std::string ReadZString(BinaryFile& file, int64_t limit = INT64_MAX);

}  // namespace tessary

namespace tessary {
// Reads `count` little-endian 16-bit indices in one block; missing ones read as zero.
// Returns the number of whole indices that arrived.
size_t ReadIndices(BinaryFile& file, std::vector<uint16_t>& out, size_t count);
}  // namespace tessary
