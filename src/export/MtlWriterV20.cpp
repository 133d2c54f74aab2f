// The version 20 material library of a level.
#include "export/MtlFormat.h"
#include "export/ObjFormat.h"
#include "model/ModelV20.h"
#include "platform/OutputFile.h"

namespace tessary {

bool CModelV20::SurfacesForWriter(int lodIndex) {
  if (!isOpen) return false;
  // Both writers of an export need the same level; the second one uses what the first
  // loaded instead of decoding the file again.
  return HoldsSurfacesOf(lodIndex) || LoadSurfaces(lodIndex, false);
}

bool CModelV20::WriteMtl(int lodIndex) {
  if (!SurfacesForWriter(lodIndex)) return false;
  const LodEntry& lod = lods[static_cast<size_t>(lodIndex)];
  OutputFile file;
  if (!file.Open(ObjFolderFile(folder, lod.surfsName, ".mtl"))) return false;
  {
    TextBuffer out(file);
    WriteMtlBlocks(out, MtlStyle{}, lod);
  }
  return file.Commit();
}

}  // namespace tessary
