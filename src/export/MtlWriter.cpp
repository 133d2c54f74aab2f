// The Wavefront material library of a level.
#include "export/Exporters.h"
#include "export/MtlFormat.h"
#include "export/StripObj.h"

namespace tessary {

bool WriteMtl(const ExportLevel& level, OutputFile& file) {
  if (!level.compatible) return false;
  MtlStyle style;
  if (level.version->materialIsTexture) {
    // The material is its own texture, in the materials folder.
    style.mapFolder = "../materials/";
    style.mapToImage = false;
    style.trimFromName = kStripMaterialExtension;
  }
  TextBuffer out(file);
  WriteMtlBlocks(out, style, level.compatible->lod);
  return true;
}

}  // namespace tessary
