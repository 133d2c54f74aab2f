#pragma once
// What each model header version is and supports, in one table: the readers that open it,
// where its files lay out their fields, the outputs it has, how its tree is filled, where
// its game keeps its archives and how its preview draws. Every version check of the
// program reads a row of this table; a new version is one new row plus its readers.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "model/ModelRenderer.h"

namespace tessary {

class CModel;
class CheckedReader;
struct DecodedSurface;

// The structural reader of one surface of a surfaces file, at the surface's first byte;
// false with the reason in `why` (naming surface `index`) when the file ends inside it or it
// has a layout that is not read.
using StructuralSurfaceReader = bool (*)(CheckedReader& bytes, DecodedSurface& surface, size_t index,
                                         std::string& why);

// A surfaces file starts with its version and its surface count (two 16-bit words).
inline constexpr int64_t kSurfacesHeadSize = 4;

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

  // Where the files lay out their fields, for both readers.
  int64_t levelTableAt = 0;        // header: the level slots (a distance and a name each) start here,
  bool optionalNameFirst = false;  //   behind an optional name when this is set
  size_t levelSlots = 0;           // header: the slots the real layout holds
  int64_t bytesAfterPartName = 0;  // parts file: bytes after each bone's name
  int64_t bytesBeforeSurface = 0;  // surfaces file: bytes before each surface (the first after the head)
  StructuralSurfaceReader readSurface = nullptr;
};

// The rows, in version order.
std::span<const ModelVersion> ModelVersions();

// The row of a header version; null for a version this program does not read.
const ModelVersion* FindModelVersion(uint32_t number);

// The versions read, as a list for messages: "14, 20 or 25".
std::string ModelVersionList();

// Whether a version stores its vertices in model space; false for a version not read.
bool VerticesInModelSpace(uint32_t number);

// Whether a version's preview draws each triangle as a strip of its own.
bool DrawsStrips(uint32_t number);

}  // namespace tessary
