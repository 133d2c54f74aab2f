#pragma once
// The skinned geometry of a structurally read level as the surface records the preview and
// the OBJ writer take: positions and normals in model space with every bone transform
// applied, texture coordinates as stored.
#include <vector>

#include "model/DecodedLevel.h"
#include "model/ModelRecords.h"

namespace tessary {

// One record per surface, tagged with the level's index. Versions 20 and 25 get one
// triangle list; version 14 gets each triangle as a strip of three (the records of that
// version hold strips). Triangles naming a vertex that is not there are left out.
std::vector<Surface> SkinnedSurfaceRecords(const DecodedLevel& level);

// A level table in which the level's entry lists each surface's material (surface i has
// material i) with the file name of its colour image, as the preview's texture loading
// takes it.
std::vector<LodEntry> SkinnedLevelTable(const DecodedLevel& level);

}  // namespace tessary
