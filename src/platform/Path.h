#pragma once
// Paths are built the way the games' tools build them: plain concatenation of 8-bit
// pieces with backslashes ("\..\xmodelsurfs"), never normalised. These helpers map such
// a path onto the local file system when it is used (Disk.h looks the names up).
#include <string>
#include <string_view>

namespace tessary {

// Joins three pieces with no separator of its own; "" is allowed for any piece.
std::string ConcatPath(std::string_view a, std::string_view b, std::string_view c = "");

// Replaces every backslash with the platform separator.
std::string ToNativeSeparators(std::string_view path);

// The part of a path after its last separator (either kind).
std::string BareFileName(std::string_view path);

}  // namespace tessary
