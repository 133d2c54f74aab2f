#include "model/ModelVersions.h"

#include <array>
#include <climits>

#include "model/ModelV14.h"
#include "model/ModelV20.h"
#include "model/ModelV25.h"
#include "model/StructuralSurfaces.h"

namespace tessary {

namespace {

template <typename Model>
std::unique_ptr<CModel> Create() {
  return std::make_unique<Model>();
}

const std::array<ModelVersion, 3> kVersions{{
    {.number = 14,
     .create = &Create<CModelV14>,
     .hasTagsListing = false,
     .hasXExport = false,
     .loadableLevels = 3,
     .objDialect = ObjDialect::Strips,
     .materialIsTexture = true,
     .treeShowsImages = false,
     .gameFolder = GameFolder::None,
     .drawMode = DrawVariant::Strips,
     .previewable = false,
     .surfacesCheckFirst = false,
     .verticesInModelSpace = false,
     .levelTableAt = 26,
     .optionalNameFirst = false,
     .levelSlots = 3,
     .bytesAfterPartName = 24,
     .bytesBeforeSurface = 1,
     .readSurface = &ReadStructuralSurfaceV14},
    {.number = 20,
     .create = &Create<CModelV20>,
     .hasTagsListing = true,
     .hasXExport = false,
     .loadableLevels = INT_MAX,
     .objDialect = ObjDialect::TriangleLists,
     .materialIsTexture = false,
     .treeShowsImages = true,
     .gameFolder = GameFolder::Cod2,
     .drawMode = DrawVariant::ListsV20,
     .previewable = true,
     .surfacesCheckFirst = true,
     .verticesInModelSpace = false,
     .levelTableAt = 27,
     .optionalNameFirst = false,
     .levelSlots = 4,
     .bytesAfterPartName = 0,
     .bytesBeforeSurface = 1,
     .readSurface = &ReadStructuralSurfaceV20},
    {.number = 25,
     .create = &Create<CModelV25>,
     .hasTagsListing = true,
     .hasXExport = true,
     .loadableLevels = INT_MAX,
     .objDialect = ObjDialect::SpacedTriangleLists,
     .materialIsTexture = false,
     .treeShowsImages = true,
     .gameFolder = GameFolder::Cod4,
     .drawMode = DrawVariant::ListsV25,
     .previewable = true,
     .surfacesCheckFirst = true,
     .verticesInModelSpace = true,
     .levelTableAt = 27,
     .optionalNameFirst = true,
     .levelSlots = 4,
     .bytesAfterPartName = 0,
     .bytesBeforeSurface = 3,
     .readSurface = &ReadStructuralSurfaceV25},
}};

}  // namespace

std::span<const ModelVersion> ModelVersions() { return kVersions; }

const ModelVersion* FindModelVersion(uint32_t number) {
  for (const ModelVersion& row : kVersions)
    if (row.number == number) return &row;
  return nullptr;
}

std::string ModelVersionList() {
  std::string list;
  for (size_t i = 0; i < kVersions.size(); ++i)
    list += (i == 0 ? "" : i + 1 < kVersions.size() ? ", " : " or ") + std::to_string(kVersions[i].number);
  return list;
}

bool VerticesInModelSpace(uint32_t number) {
  const ModelVersion* row = FindModelVersion(number);
  return row != nullptr && row->verticesInModelSpace;
}

bool DrawsStrips(uint32_t number) {
  const ModelVersion* row = FindModelVersion(number);
  return row != nullptr && row->drawMode == DrawVariant::Strips;
}

}  // namespace tessary
