#include "ModelHarness.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "export/ModelExport.h"
#include "model/Model.h"
#include "model/ModelTree.h"
#include "model/ShowModelTree.h"
#include "platform/Disk.h"

namespace fs = std::filesystem;

namespace tessary::fuzz {

void RunModelInput(uint8_t version, const uint8_t* data, size_t size) {
  auto files = SplitInput(data, size, 3);
  const std::string work = FreshWorkdir();
  std::string header(files[0]);
  if (header.size() < 2) header.resize(2, '\0');
  header[0] = static_cast<char>(version);
  header[1] = '\0';
  WriteFile(fs::path(work) / "xmodel" / "m", header);
  const std::string modelFolder = work + "\\xmodel";

  // The files the header names.
  {
    Disk disk;
    auto model = CreateModel(version);
    if (!model || !model->Open(disk, modelFolder, "m") || !model->LoadLods()) return;
    if (!model->lods.empty() && IsPlainName(model->lods[0].surfsName))
      WriteFile(fs::path(work) / "xmodelparts" / model->lods[0].surfsName, files[1]);
    for (const auto& lod : model->lods)
      if (lod.present && IsPlainName(lod.surfsName))
        WriteFile(fs::path(work) / "xmodelsurfs" / lod.surfsName, files[2]);
  }

  ModelTree tree;
  Disk disk;
  std::vector<std::string> messages;
  ShowModelTree(disk, tree, work, "m", version, messages);

  // The exports as both front ends run them, with their checks of the header's names.
  for (int level = 0; level < 4; ++level) {
    ExportOutcome obj = ExportObjFiles(work, "m", level);
    ExportXFile(work, "m", level);
    if (obj.ok) break;
  }
  ExportTagsFile(work, "m");
  // The structural reader's outputs: the glTF file and the skinned OBJ.
  ExportRequest request{.workdir = work, .modelName = "m", .lod = {}, .options = {}, .skinned = false, .scale = 1};
  ExportGltfFile(request);
  request.skinned = true;
  ExportObjFiles(request);
  CheckNothingEscaped();
}

}  // namespace tessary::fuzz
