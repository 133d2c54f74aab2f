#include "platform/FolderAccess.h"

#include <unistd.h>

namespace tessary {

bool CanWriteInto(const std::filesystem::path& folder) { return ::access(folder.c_str(), W_OK | X_OK) == 0; }

}  // namespace tessary
