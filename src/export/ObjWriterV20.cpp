// The version 20 OBJ file of a level.
#include "export/ObjFormat.h"
#include "model/ModelV20.h"
#include "platform/OutputFile.h"

namespace tessary {

bool CModelV20::WriteObj(int lodIndex) {
  if (!SurfacesForWriter(lodIndex)) return false;
  const LodEntry& lod = lods[static_cast<size_t>(lodIndex)];
  OutputFile file;
  if (!file.Open(ObjFolderFile(folder, lod.surfsName, ".obj"))) return false;
  {
    TextBuffer out(file);
    WriteTriangleListObj(out, ObjStyle{}, fileName, lod, *curSurfaces, curSurfaceCount);
  }
  return file.Commit();
}

}  // namespace tessary
