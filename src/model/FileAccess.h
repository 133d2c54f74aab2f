#pragma once
// The string and list measurements every reader of the game's binary files relies on.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/BinaryFile.h"

namespace tessary {

// The longest run a string measurement looks at before it gives up and returns 0.
inline constexpr int kMeasureLimit = 1024;

// Measures the zero-terminated string at `offset` without consuming it: the bytes up to
// the zero, 0 when none comes within 1,024 bytes; the end of the file ends the string.
// The file is left at `offset`.
int MeasureString(BinaryFile& file, int64_t offset);

// Where the material lists at the end of a header start, and how many were found.
struct MaterialListsStart {
  int64_t readPos = 0;
  int found = 0;
};

// Walks back from the last byte of a header over its zero-terminated names until `wanted`
// material lists are accounted for. A string of one byte standing between two zeros is a
// list's count byte; a string of 2 or 3 bytes is the first list's count byte run together
// with up to two bytes before it, and ends the walk. The strings are measured as a
// backward measurement does: a run of 1,024 or more bytes without a zero measures 0 and
// moves one byte back. Reaching the start of the file finds no lists at all (nullopt).
// The cost is linear in the header's size, long runs included; `bytesLookedAt`, when
// given, counts the bytes examined.
std::optional<MaterialListsStart> WalkBackToMaterialLists(const std::vector<uint8_t>& bytes, int wanted,
                                                          int64_t* bytesLookedAt = nullptr);

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
