// Export .XMODEL_EXPORT of every level of a model, with the asset entry naming them all.
#include <algorithm>

#include "export/ModelExport.h"
#include "model/StructuralHeader.h"
#include "platform/Disk.h"

namespace tessary {

ExportOutcome ExportXModelAllLevels(const ExportRequest& request) {
  // The levels the header names; when it cannot be read, the one-level export says why.
  std::vector<int> levels;
  std::vector<std::string> names;
  // The levels' exports read the model's files once, on one disk.
  Disk own;
  Disk& disk = request.disk ? *request.disk : own;
  const std::string header = request.workdir + "\\xmodel\\" + request.modelName;
  BinaryFile file = disk.Open(header);
  std::string why;
  if (auto layout = file.IsOpen() ? ReadHeaderLayout(file, why) : std::nullopt) {
    for (size_t i = 0; i < layout->levelNames.size(); ++i) {
      if (layout->levelNames[i].empty()) continue;
      levels.push_back(static_cast<int>(i));
      names.push_back(layout->levelNames[i]);
    }
  }
  if (levels.empty()) {
    ExportRequest one = request;
    one.disk = &disk;
    one.lod.reset();
    return ExportXModelFiles(one);
  }
  ExportOutcome all;
  for (size_t k = 0; k < levels.size(); ++k) {
    const bool last = k + 1 == levels.size();
    // Levels that name the same surfaces file share one written file.
    if (!last && std::find(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(k), names[k]) !=
                     names.begin() + static_cast<std::ptrdiff_t>(k))
      continue;
    ExportRequest one = request;
    one.disk = &disk;
    one.lod = levels[k];
    one.gdtLevels = levels;
    ExportOutcome outcome = last ? ExportXModelFiles(one) : ExportXModelFile(one);
    all.notes.insert(all.notes.end(), outcome.notes.begin(), outcome.notes.end());
    if (!outcome.ok) {
      all.error = outcome.error;
      return all;
    }
    for (std::string& path : outcome.written)
      if (std::find(all.written.begin(), all.written.end(), path) == all.written.end())
        all.written.push_back(std::move(path));
  }
  all.ok = true;
  return all;
}

}  // namespace tessary
