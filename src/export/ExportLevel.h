#pragma once
// What an exporter writes from: one level of one model as the export path read it, plain
// data owned by value. The compatible level is what the model classes load, as the files
// store it; its writers show it through model/DescribedGeometry.h (positions in model
// space, as the original outputs have them). The decoded level is the structural reader's.
// Each exporter says which of the two it takes; the other may be absent.
#include <optional>
#include <string>
#include <vector>

#include "model/DecodedLevel.h"
#include "model/LoadOptions.h"
#include "model/ModelRecords.h"
#include "model/ModelVersions.h"
#include "model/SkeletonAnimation.h"
#include "model/XAnim.h"

namespace tessary {

struct CompatibleLevel {
  int lodIndex = 0;
  LodEntry lod;                   // the level's entry: its name and its material list
  std::vector<Surface> surfaces;  // as stored; empty when the exporter needs no surfaces
  PartList parts;                 // the model's parts, as stored
  LoadOptions options;            // what the level was loaded with (a destructible one exploded)
};

struct ExportLevel {
  const ModelVersion* version = nullptr;  // never null
  std::string modelName;                  // the model header's file name
  std::optional<CompatibleLevel> compatible;
  std::optional<DecodedLevel> decoded;
  // The request's animation files as read, in its order, and each as laid onto the decoded
  // level's skeleton (the writers of animations take both; the animation exports the first).
  std::vector<XAnim> anims;
  std::vector<SkeletonAnimation> animations;
  // What the animations are laid on, as a warning names it: the model, or "<model> and <model2>".
  std::string animatedModels;
  float scale = 1.0f;                        // the glTF and XMODEL_EXPORT exports' length factor
  // The levels the model's asset entry (.gdt) names, in order; empty: the level read.
  std::vector<int> gdtLevels{};
  std::vector<std::string>* notes = nullptr;  // where a writer notes what it left out
  std::vector<std::string>* warnings = nullptr;  // where a writer warns of an animation it lays on
};

}  // namespace tessary
