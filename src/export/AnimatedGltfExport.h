#pragma once
// Export .glTF with animations: a model (optionally joined with a second, as a viewmodel's
// arms and weapon) and the animation files that drive it, in one binary glTF file.
#include <optional>
#include <string>
#include <vector>

#include "export/GltfWriter.h"

namespace tessary {

struct GltfAnimationOptions {
  // Animation files: names in `workdir`/xanim (any case) or paths, one glTF animation each.
  std::vector<std::string> animations;
  bool rootMotion = true;  // the delta tracks drive tag_origin
  // A second model (a header of `workdir`/xmodel, its default level) whose skeleton and
  // meshes join the first's; "" for none.
  std::string withModel;
};

// As ExportGltfFile, with the animations added and the second model joined. Nothing is
// written when a model or an animation cannot be read. Each animation that names bones the
// skeleton lacks adds one line to `warnings` (the first names, then how many more), as does
// one whose root motion finds no tag_origin; one that moves nothing of the model is left
// out of the file with one warning line. Other remarks go to `notes`.
ExportOutcome ExportAnimatedGltfFile(const std::string& workdir, const std::string& modelName,
                                     std::optional<int> lodIndex, const GltfOptions& options,
                                     const GltfAnimationOptions& animationOptions, std::vector<std::string>& notes,
                                     std::vector<std::string>& warnings);

}  // namespace tessary
