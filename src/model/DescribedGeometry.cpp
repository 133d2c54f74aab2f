#include "model/DescribedGeometry.h"

namespace tessary {

PartList PartsInModelSpace(const PartList& stored) {
  PartList placed = stored;
  auto& list = placed.parts;
  for (auto& part : list)
    if (part.parent >= list.size()) part.parent = 0;
  // In place and in order: a later part's parent may already hold its model-space value.
  for (size_t i = 0; i < list.size(); ++i) {
    const Part& parent = list[list[i].parent];
    const float add[3] = {parent.position[0], parent.position[1], parent.position[2]};
    for (int k = 0; k < 3; ++k) list[i].position[k] += add[k];
  }
  return placed;
}

namespace {

// The model-space position of the part a vertex or piece hangs on; null for the root and
// for an index outside the list, which add nothing.
const Part* Carrier(unsigned bone, const PartList& parts) {
  if (bone == 0 || bone >= parts.count()) return nullptr;
  return &parts.parts[bone];
}

}  // namespace

std::vector<Surface> PlacedSurfaces(const std::vector<Surface>& stored, const PartList& modelSpaceParts,
                                    LoadOptions options) {
  std::vector<Surface> placed = stored;
  for (Surface& surface : placed) {
    const bool moves = surface.placement == Placement::OnBone ||
                       (surface.placement == Placement::OnPartWhenExploded && options.showExploded);
    if (!moves) continue;
    for (Vertex& v : surface.vertices) {
      const Part* part = Carrier(v.bone, modelSpaceParts);
      if (!part) continue;
      for (int k = 0; k < 3; ++k) v.position[k] += part->position[k];
    }
  }
  return placed;
}

std::vector<Surface> DescribedSurfaces(const std::vector<Surface>& stored, const PartList& storedParts,
                                       LoadOptions options) {
  return PlacedSurfaces(stored, PartsInModelSpace(storedParts), options);
}

}  // namespace tessary
