#pragma once
// The form's route to the workspace layer: the application profile, the other programs'
// settings, texture conversion and fetching files from the games. The form calls only
// these, so the workspace code can change behind them without touching the form.
#include <string>

#include "model/ModelTree.h"

namespace tessary::ui {

// Application profile values by section and name; a missing value reads as `def`.
std::string GetProfileString(const std::string& section, const std::string& name,
                             const std::string& def = {});
int GetProfileInt(const std::string& section, const std::string& name, int def);
void WriteProfileString(const std::string& section, const std::string& name,
                        const std::string& value);
void WriteProfileInt(const std::string& section, const std::string& name, int value);

// The external paths the form holds, as read when it is created.
struct ExternalPaths {
  std::string converterPath;
  bool converterFound = false;
  std::string winrarPath;
  bool winrarKeyFound = false;
  std::string codPath, coduoPath, cod2Path, cod4Path;
};
ExternalPaths LoadExternalPaths();

// What the retrieval and conversion steps need of the form.
struct RetrievalContext {
  std::string workingFolder;
  std::string winrarPath;
  std::string cod2Path;
  std::string cod4Path;
  uint8_t modelVersion = 0;
  std::string converterPath;
  bool converterFound = false;
};

// The working sub-folder a file item belongs in ("xmodelsurfs", "xmodelparts",
// "materials", "images"), or "" for none.
std::string FolderForItem(const TreeItem& item);
// Gives every item below `root` whose text is `name` the file-present image.
void MarkPresent(TreeItem& root, const std::string& name);

bool CopyFromRawFolder(const RetrievalContext& ctx, const std::string& name,
                       const std::string& folder);
bool ExtractFromArchives(const RetrievalContext& ctx, const std::string& name,
                         const std::string& folder);
// Converts the IWI image at `source`; `out` receives the DDS path when known.
bool ConvertToDds(const RetrievalContext& ctx, const std::string& source, std::string& out);

}  // namespace tessary::ui
