// The version 14 material library and OBJ file of a level.
#include "export/MtlFormat.h"
#include "export/ObjFormat.h"
#include "export/StripObj.h"
#include "model/ModelV14.h"
#include "platform/OutputFile.h"

namespace tessary {

bool CModelV14::SurfacesForWriter(int lodIndex) {
  if (!isOpen) return false;
  // Both writers of an export need the same level; the second one uses what the first
  // loaded instead of decoding the file again.
  return HoldsSurfacesOf(lodIndex) || LoadSurfaces(lodIndex, false);
}

bool CModelV14::WriteMtl(int lodIndex) {
  if (!SurfacesForWriter(lodIndex)) return false;
  const LodEntry& lod = lods[static_cast<size_t>(lodIndex)];
  OutputFile file;
  if (!file.Open(ObjFolderFile(folder, lod.surfsName, ".mtl"))) return false;
  {
    // The material is its own texture, in the materials folder.
    MtlStyle style;
    style.mapFolder = "../materials/";
    style.mapToImage = false;
    style.trimFromName = kStripMaterialExtension;
    TextBuffer out(file);
    WriteMtlBlocks(out, style, lod);
  }
  return file.Commit();
}

bool CModelV14::WriteObj(int lodIndex) {
  if (!SurfacesForWriter(lodIndex)) return false;
  const LodEntry& lod = lods[static_cast<size_t>(lodIndex)];
  OutputFile file;
  if (!file.Open(ObjFolderFile(folder, lod.surfsName, ".obj"))) return false;
  {
    TextBuffer out(file);
    WriteStripObj(out, fileName, lod, *curSurfaces, curSurfaceCount);
  }
  return file.Commit();
}

}  // namespace tessary
