#pragma once
// The SDK's model source text, XMODEL_EXPORT (version 6), from a structurally read level, and
// the asset entry (.gdt) that makes the mod tools compile it. The text follows the SDK's own
// files: the skeleton in the bind pose in model space, one vertex per distinct position and
// weighting, faces with each corner's normal, colour and texture coordinates as the binary
// stores them (corners in stored order, no flip), one object per surface, and one Lambert
// material per material name. CR LF line endings, six decimals.
#include <array>
#include <string>
#include <vector>

#include "model/DecodedLevel.h"
#include "model/SkinnedGeometry.h"
#include "platform/OutputFile.h"

namespace tessary {

// The axes of a rotation in the space it maps into: rows X, Y and Z of the SDK's text formats.
std::array<Vec3, 3> RotationAxes(const Quat& rotation);

// Writes `level` as XMODEL_EXPORT text into `file`, lengths times `scale`. What the text
// cannot keep as it is (a surface without a material) is noted in `notes` when given.
void WriteXModelExportText(const DecodedLevel& level, float scale, OutputFile& file,
                           std::vector<std::string>* notes = nullptr);

// The name of the XMODEL_EXPORT file of a level.
std::string XModelExportFileName(const std::string& surfsName);

// One level an asset entry names: its surfaces name (which names its XMODEL_EXPORT file) and
// the distance from which it is drawn.
struct GdtLevel {
  std::string surfsName;
  float distance = 0;
};

// Writes the asset file of one xmodel entry named `modelName` (type "animated" with more
// than one bone, else "rigid") whose levels are `levels`, in order: the first is the
// "filename", the next up to three the medium, low and lowest levels. A single level is
// drawn at every distance; several keep the header's distances.
void WriteXModelGdtText(const std::string& modelName, bool animated, const std::vector<GdtLevel>& levels,
                        OutputFile& file);

}  // namespace tessary
