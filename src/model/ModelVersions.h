#pragma once
// What each model header version is and supports, in one table: the reader that opens it,
// the outputs it has, how its tree is filled, where its game keeps its archives and how
// its preview draws. Every version check of the program reads a row of this table; a new
// version is one new row plus its reader.
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "model/ModelRenderer.h"

namespace tessary {

class CModel;

// The OBJ text a version writes.
enum class ObjDialect {
  Strips,               // no normals, faces from triangle strips ("Version 4.x")
  TriangleLists,        // triangle lists
  SpacedTriangleLists,  // triangle lists with empty lines after mtllib and the counts
};

// Which installed game's archives hold a version's files.
enum class GameFolder { None, Cod2, Cod4 };

struct ModelVersion {
  uint32_t number = 0;
  std::unique_ptr<CModel> (*create)() = nullptr;  // the compatible reader
  bool hasTagsListing = false;
  bool hasXExport = false;
  int loadableLevels = 0;       // levels from this index on cannot be loaded
  ObjDialect objDialect = ObjDialect::TriangleLists;
  bool materialIsTexture = false;  // material names are texture files in the materials folder
  bool treeShowsImages = false;    // the model tree lists each material's colour image
  GameFolder gameFolder = GameFolder::None;
  DrawVariant drawMode = DrawVariant::ListsV20;
  bool previewable = false;
  bool surfacesCheckFirst = false;  // a level whose first surface cannot be shown fails to load
  bool verticesInModelSpace = false;  // stored positions are in model space, not bone-relative
};

// The rows, in version order.
std::span<const ModelVersion> ModelVersions();

// The row of a header version; null for a version this program does not read.
const ModelVersion* FindModelVersion(uint32_t number);

// Whether a version stores its vertices in model space; false for a version not read.
bool VerticesInModelSpace(uint32_t number);

// Whether a version's preview draws each triangle as a strip of its own.
bool DrawsStrips(uint32_t number);

}  // namespace tessary
