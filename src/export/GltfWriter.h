#pragma once
// glTF 2.0 output of a structurally read level: a node per bone in its hierarchy (stored
// names, local translation and rotation), every root under one node named after the model
// that turns the game's Z-up into glTF's Y-up (game (x, y, z) → glTF (x, z, −y)); one
// skinned mesh with a primitive per surface (positions and normals in that Y-up space,
// texture coordinates as stored, the four strongest bone influences, triangles turned
// counter-clockwise); a skin with inverse bind matrices; one material per material name,
// its colour image embedded as PNG. The exporter row (WriteGltf, Exporters.h) adds
// the export's animations to the document and writes it.
#include <optional>
#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "export/ModelExport.h"
#include "model/DecodedLevel.h"

namespace tessary {

struct GltfOptions {
  float scale = 1.0f;  // game units by default; 0.0254 gives metres
};

// Node indices of the document BuildGltf makes.
inline constexpr int kGltfModelNode = 0;       // the model-named node over the roots
inline constexpr int GltfBoneNode(size_t bone) { return 1 + static_cast<int>(bone); }

// The document of `level`. Images that cannot be decoded leave their material untextured
// and add a line to `notes`.
tinygltf::Model BuildGltf(const DecodedLevel& level, const GltfOptions& options, std::vector<std::string>& notes);

}  // namespace tessary
