// The version 25 material library and OBJ file of a level: the version 20 text with an
// empty line after "mtllib" and after the vertex, UV and face counts.
#include "export/MtlFormat.h"
#include "export/ObjFormat.h"
#include "model/ModelV25.h"
#include "platform/OutputFile.h"

namespace tessary {

namespace {
constexpr ObjStyle kObjStyleV25{"5.0", true, true};
}

bool CModelV25::WriteMtl(int lodIndex) {
  if (lodIndex < 0 || static_cast<size_t>(lodIndex) >= lods.size()) return false;
  const LodEntry& lod = lods[static_cast<size_t>(lodIndex)];
  OutputFile file;
  if (!file.Open(ObjFolderFile(folder, lod.surfsName, ".mtl"))) return false;
  {
    TextBuffer out(file);
    WriteMtlBlocks(out, MtlStyle{}, lod);
  }
  return file.Commit();
}

bool CModelV25::WriteObj(int lodIndex) {
  if (lodIndex < 0 || static_cast<size_t>(lodIndex) >= lods.size()) return false;
  const LodEntry& lod = lods[static_cast<size_t>(lodIndex)];
  OutputFile file;
  if (!file.Open(ObjFolderFile(folder, lod.surfsName, ".obj"))) return false;
  static const std::vector<Surface> kNone;
  const std::vector<Surface>* surfaces = &kNone;
  if (surfacesFile) {
    curSurfaces = surfacesFile->TakeSurfaces(curSurfaceCount);
    surfaces = curSurfaces;
  } else {
    curSurfaceCount = 0;
  }
  {
    TextBuffer out(file);
    WriteTriangleListObj(out, kObjStyleV25, fileName, lod, *surfaces, curSurfaceCount);
  }
  return file.Commit();
}

}  // namespace tessary
