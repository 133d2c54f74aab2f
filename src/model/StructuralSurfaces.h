#pragma once
// A surfaces file as the files really lay it out, for the skinned outputs:
// - version 14: surfaces bound whole to their bone word; triangle strips whose orientation
//   alternates, unrolled into triangles (i0 i1 i2), (i2 i1 i3), (i2 i3 i4), …;
// - version 20: rigid surfaces of 60-byte vertices, and weighted ones (bone word 0xFFFF) of
//   63-byte vertices, each followed by its extra influences;
// - version 25: rigid surfaces (vertex count = word 3) bound to the bone of word 4; else an
//   optional run list giving the bones of the leading single-bone vertices, then 63-byte
//   vertices each followed by its extra influences.
// The records' layouts are those of model/VertexRecord.h; the bytes before each surface
// are the versions table's.
// Positions and normals are kept as stored: relative to their bone in versions 14 and 20,
// in model space in version 25.
#include <cstdint>
#include <string>
#include <vector>

#include "model/DecodedLevel.h"
#include "model/ModelVersions.h"
#include "platform/BinaryFile.h"

namespace tessary {

class CheckedReader;

// Decodes every surface of a surfaces file of `version` with the row's surface reader; false
// with the reason in `why` (naming the surface) when the file is of another version or ends
// inside a surface, or when a version 14 surface has no bone.
bool ReadSurfacesStructural(BinaryFile& file, const ModelVersion& version, std::vector<DecodedSurface>& surfaces,
                            std::string& why);

// The surface readers of the versions table's rows (StructuralSurfaceReader).
bool ReadStructuralSurfaceV14(CheckedReader& bytes, DecodedSurface& surface, size_t index, std::string& why);
bool ReadStructuralSurfaceV20(CheckedReader& bytes, DecodedSurface& surface, size_t index, std::string& why);
bool ReadStructuralSurfaceV25(CheckedReader& bytes, DecodedSurface& surface, size_t index, std::string& why);

}  // namespace tessary
