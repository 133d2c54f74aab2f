#pragma once
// The export commands over one model header of a working folder, as the command line and
// the desktop program run them: open the header with the model class of its version,
// read its levels and parts, and write the files into the working folder's obj folder.
// The results say what was written, or why not, naming the file concerned.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessary {

struct ExportOutcome {
  bool ok = false;
  std::string error;                 // why not, one line naming the file concerned
  std::vector<std::string> written;  // the files written, as paths of this system
};

// Whether models of a header version have a tags listing (version 14 has none).
bool HasTagsListing(uint8_t version);

// Export .OBJ of `modelName` (a file of `workdir`/xmodel) at level `lodIndex`, by default
// the first level whose name was read: loads the level's surfaces, then writes the MTL,
// the OBJ and, where the version has one, the tags listing. When the surfaces cannot be
// loaded nothing is written.
ExportOutcome ExportObjFiles(const std::string& workdir, const std::string& modelName,
                             std::optional<int> lodIndex);

// Whether models of a header version export to DirectX text (version 25 only).
bool HasXExport(uint8_t version);

// Export .X of `modelName` at level `lodIndex` (by default the first level whose name was
// read): loads the level's surfaces and writes <level>.x; nothing when they cannot be
// loaded or the model is not of version 25.
ExportOutcome ExportXFile(const std::string& workdir, const std::string& modelName,
                          std::optional<int> lodIndex);

// The file part of View tags: only the tags listing of `modelName`.
ExportOutcome ExportTagsFile(const std::string& workdir, const std::string& modelName);

// The model header files of `workdir`/xmodel (not folders), in byte order; nullopt when
// that folder cannot be listed.
std::optional<std::vector<std::string>> ListModelHeaders(const std::string& workdir);

// An empty string when `workdir`/obj is a folder this process can write into, else why
// not.
std::string CheckOutputFolder(const std::string& workdir);

}  // namespace tessary
