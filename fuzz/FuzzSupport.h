#pragma once
// What the fuzz targets share: a private scratch folder (removed when the process ends),
// a working folder laid out in it afresh for each input, and one input split into the
// several files a reader needs.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Notifier.h"

namespace tessary::fuzz {

// Between the files of one input; the dictionary holds it, so mutations keep it.
inline constexpr std::string_view kFileSeparator = "#FILE#";

// Splits `data` at the separator into exactly `count` pieces (missing ones are empty; the
// last piece keeps any further separators).
std::vector<std::string_view> SplitInput(const uint8_t* data, size_t size, size_t count);

// The scratch folder of this process.
const std::filesystem::path& ScratchFolder();

// An empty working folder with its six sub-folders, inside the scratch folder; the
// previous input's files are gone. Returned as a joined path (no trailing separator).
std::string FreshWorkdir();

// Writes `bytes` to `path`; false when it cannot.
bool WriteFile(const std::filesystem::path& path, std::string_view bytes);

// A name the readers may join below a working sub-folder: non-empty, no folder step, not
// "." or "..". Header bytes name the files a harness writes, and they must stay inside the
// scratch folder.
bool IsPlainName(std::string_view name);

// Aborts (a finding) when anything but the working folder appeared in the scratch folder.
void CheckNothingEscaped();

// What the harnesses hand in where a front end hands in its notifier: the messages go
// nowhere, a finding is a crash.
class SilentNotifier final : public INotifier {
 public:
  void ShowMessage(const std::string&, const std::string&) override {}
  void Beep(BeepKind) override {}
};

}  // namespace tessary::fuzz
