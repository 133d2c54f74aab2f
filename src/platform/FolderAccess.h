#pragma once
// Whether this user may create files in a folder (posix/FolderAccess.cpp).
#include <filesystem>

namespace tessary {

bool CanWriteInto(const std::filesystem::path& folder);

}  // namespace tessary
