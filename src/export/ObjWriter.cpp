// The Wavefront OBJ file of a level, in the dialect of the model's version.
#include "export/Exporters.h"
#include "export/ObjFormat.h"
#include "export/StripObj.h"
#include "model/DescribedGeometry.h"

namespace tessary {

bool WriteObj(const ExportLevel& level, OutputFile& file) {
  if (!level.compatible) return false;
  const CompatibleLevel& c = *level.compatible;
  const std::vector<Surface> surfaces = DescribedSurfaces(c.surfaces, c.parts, c.options);
  TextBuffer out(file);
  switch (level.version->objDialect) {
    case ObjDialect::Strips:
      WriteStripObj(out, level.modelName, c.lod, surfaces, surfaces.size());
      break;
    case ObjDialect::TriangleLists:
      WriteTriangleListObj(out, ObjStyle{}, level.modelName, c.lod, surfaces, surfaces.size());
      break;
    case ObjDialect::SpacedTriangleLists:
      WriteTriangleListObj(out, ObjStyle{"5.0", true, true}, level.modelName, c.lod, surfaces,
                           surfaces.size());
      break;
  }
  return true;
}

}  // namespace tessary
