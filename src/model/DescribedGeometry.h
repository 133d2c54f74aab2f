#pragma once
// The geometry the OBJ, .x and tags outputs and the preview show, computed from the level
// as read: parts moved into model space, surfaces placed on the parts that carry them.
// The readers keep what the files store; this is the one place where that is changed.
#include <vector>

#include "model/LoadOptions.h"
#include "model/ModelRecords.h"

namespace tessary {

// The parts in model space: each part's parent position is added to its own, in index
// order, so a part listed before its parent takes the parent's stored value. A parent
// index outside the list becomes the root.
PartList PartsInModelSpace(const PartList& stored);

// The surfaces in model space, given the parts in model space: each vertex of a surface
// placed on bones gets its bone's position added, and a destructible piece its part's
// position when shown exploded. The root (bone 0) and bones outside the list add nothing.
std::vector<Surface> PlacedSurfaces(const std::vector<Surface>& stored, const PartList& modelSpaceParts,
                                    LoadOptions options);

// Both at once: the surfaces placed on the model-space parts of `storedParts`.
std::vector<Surface> DescribedSurfaces(const std::vector<Surface>& stored, const PartList& storedParts,
                                       LoadOptions options);

}  // namespace tessary
