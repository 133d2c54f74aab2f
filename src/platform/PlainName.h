#pragma once
// Names that come from file contents (a model header's level, material and image names)
// name files of one working sub-folder. Joined into a path unchecked, "..\..\x", "/tmp/x"
// or "C:x" would reach files outside the working folder, for reading or for writing: such
// names are refused before they are joined.
#include <filesystem>
#include <string>
#include <string_view>

namespace tessary {

// Empty when `name` is a plain file name, else why not ("it holds a folder step", ...).
std::string WhyNotPlainName(std::string_view name);
inline bool IsPlainName(std::string_view name) { return WhyNotPlainName(name).empty(); }

// Whether `path` lies inside `folder` (or is it), both taken with their links followed as
// far as they exist and "." and ".." steps removed.
bool LiesInside(const std::filesystem::path& folder, const std::filesystem::path& path);

}  // namespace tessary
