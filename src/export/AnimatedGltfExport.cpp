#include "export/AnimatedGltfExport.h"

#include "export/GltfAnimation.h"
#include "model/JoinedLevel.h"
#include "model/SkeletonAnimation.h"
#include "model/StructuralReader.h"
#include "model/XAnimReader.h"
#include "platform/Path.h"

namespace tessary {

ExportOutcome ExportAnimatedGltfFile(const std::string& workdir, const std::string& modelName,
                                     std::optional<int> lodIndex, const GltfOptions& options,
                                     const GltfAnimationOptions& animationOptions, std::vector<std::string>& notes,
                                     std::vector<std::string>& warnings) {
  ExportOutcome outcome;
  auto level = ReadStructuralLevel(workdir, modelName, lodIndex, outcome.error);
  if (!level) return outcome;
  if (!animationOptions.withModel.empty()) {
    auto second = ReadStructuralLevel(workdir, animationOptions.withModel, std::nullopt, outcome.error);
    if (!second) return outcome;
    JoinResult joined = JoinLevels(*level, *second);
    if (!joined.error.empty()) {
      outcome.error = joined.error;
      return outcome;
    }
    level = std::move(joined.level);
  }

  // Every animation is read before anything is written.
  std::vector<XAnim> anims;
  for (const std::string& name : animationOptions.animations) {
    const auto path = FindXAnim(workdir, name);
    if (path.empty()) {
      outcome.error = "cannot find the animation " + name + " in " + ToNativeSeparators(workdir + "\\xanim");
      return outcome;
    }
    XAnimResult read = LoadXAnim(path);
    if (!read.anim) {
      outcome.error = read.error;
      return outcome;
    }
    if (read.bytesRead < read.fileSize)
      notes.push_back("the animation file " + path.string() + " has " + std::to_string(read.fileSize - read.bytesRead) +
                      " bytes after its notetracks, which were left out");
    anims.push_back(std::move(*read.anim));
  }
  if (outcome.error = CheckOutputFolder(workdir); !outcome.error.empty()) return outcome;

  tinygltf::Model document = BuildGltf(*level, options, notes);
  std::vector<int> boneNodes;
  for (size_t i = 0; i < level->bones.size(); ++i) boneNodes.push_back(GltfBoneNode(i));
  const std::string models =
      animationOptions.withModel.empty() ? modelName : modelName + " and " + animationOptions.withModel;
  for (const XAnim& anim : anims) {
    const SkeletonAnimation animation = AnimateSkeleton(anim, level->bones, animationOptions.rootMotion);
    if (!AddGltfAnimation(document, boneNodes, animation, anim, options.scale)) {
      std::string why = anim.name + ": it moves nothing of " + models;
      if (!animation.missingBones.empty())
        why += ", which has none of its bones (" + ListedNames(animation.missingBones) + ")";
      if (animation.rootMotionLost) why += std::string(" and no ") + kRootMotionBone + " for its root motion";
      warnings.push_back(why + "; the file is written without it");
      continue;
    }
    for (std::string& warning : AnimationWarnings(animation, anim.bones.size(), anim.name, models))
      warnings.push_back(std::move(warning));
  }

  const std::string path = workdir + "\\obj\\" + level->surfsName + ".glb";
  if (!SaveGlb(document, path, outcome.error)) return outcome;
  outcome.written.push_back(ResolvePath(path).string());
  outcome.ok = true;
  return outcome;
}

}  // namespace tessary
