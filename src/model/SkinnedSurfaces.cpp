#include "model/SkinnedSurfaces.h"

#include <algorithm>
#include <filesystem>

#include "model/ModelVersions.h"
#include "model/SkinnedGeometry.h"

namespace tessary {

std::vector<Surface> SkinnedSurfaceRecords(const DecodedLevel& level) {
  const auto skinned = SkinnedVertices(level);
  const bool strips = DrawsStrips(level.version);
  std::vector<Surface> records(level.surfaces.size());
  for (size_t s = 0; s < level.surfaces.size(); ++s) {
    const DecodedSurface& in = level.surfaces[s];
    Surface& out = records[s];
    out.lodIndex = level.lodIndex;
    out.vertexCount = static_cast<int32_t>(in.vertices.size());
    out.vertices.resize(in.vertices.size());
    for (size_t i = 0; i < in.vertices.size(); ++i) {
      Vertex& v = out.vertices[i];
      for (int k = 0; k < 3; ++k) {
        v.position[k] = skinned[s][i].position[size_t(k)];
        v.normal[k] = skinned[s][i].normal[size_t(k)];
      }
      v.uv[0] = in.vertices[i].uv[0];
      v.uv[1] = in.vertices[i].uv[1];
    }
    std::vector<uint16_t> kept;
    for (size_t t = 0; t + 2 < in.triangles.size(); t += 3) {
      const uint32_t a = in.triangles[t], b = in.triangles[t + 1], c = in.triangles[t + 2];
      if (a >= in.vertices.size() || b >= in.vertices.size() || c >= in.vertices.size()) continue;
      kept.insert(kept.end(), {uint16_t(a), uint16_t(b), uint16_t(c)});
    }
    if (strips) {
      for (size_t t = 0; t < kept.size(); t += 3)
        out.triLists.push_back({3, {kept[t], kept[t + 1], kept[t + 2]}});
    } else {
      out.triLists.push_back({static_cast<uint32_t>(kept.size() / 3), std::move(kept)});
    }
    out.triListCount = static_cast<int32_t>(out.triLists.size());
    out.facesLoaded = true;
  }
  return records;
}

std::vector<LodEntry> SkinnedLevelTable(const DecodedLevel& level) {
  std::vector<LodEntry> table(static_cast<size_t>(std::max(level.lodIndex, 0)) + 1);
  LodEntry& entry = table.back();
  entry.present = true;
  entry.surfsName = level.surfsName;
  entry.materialCount = static_cast<int32_t>(level.surfaces.size());
  for (size_t i = 0; i < level.surfaces.size(); ++i) {
    MaterialEntry m;
    m.index = static_cast<int32_t>(i);
    m.lodMaterialCount = entry.materialCount;
    const int32_t material = level.surfaces[i].material;
    if (material >= 0 && static_cast<size_t>(material) < level.materials.size()) {
      const DecodedMaterial& d = level.materials[size_t(material)];
      m.name = d.name;
      if (!d.imagePath.empty()) m.imageName = std::filesystem::path(d.imagePath).filename().string();
    }
    entry.materials.push_back(m);
  }
  return table;
}

}  // namespace tessary
