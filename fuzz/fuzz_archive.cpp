// The built-in extractor on one game archive: every entry that matches "*" is extracted
// into the working folder, and nothing may appear outside it.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "workspace/ArchiveExtractor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessary::fuzz;
  const std::string work = FreshWorkdir();
  const auto archive = std::filesystem::path(work) / "iw_00.iwd";
  WriteFile(archive, std::string_view(reinterpret_cast<const char*>(data), size));
  tessary::ExtractLimits limits;
  limits.maxEntryBytes = 1 << 20;  // keeps each run small; the limit itself is what is tested
  SilentNotifier quiet;
  tessary::ExtractMatchingEntries(archive.string(), "*", work, quiet, limits);
  CheckNothingEscaped();
  return 0;
}
