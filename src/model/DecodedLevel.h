#pragma once
// One level of detail as read from a model's files: plain data, owned by value. The
// compatible reader fills it for the OBJ, .x, tags and preview outputs; the structural
// reader fills it from the files' real layout for the glTF export and the skinned
// geometry. Writers and geometry functions read it and never change it.
#include <cstdint>
#include <string>
#include <vector>

#include "model/ModelRecords.h"

namespace tessary {

// A rotation as a unit quaternion.
struct Quat {
  float x = 0, y = 0, z = 0, w = 1;
};

// One bone (part, tag) of the skeleton. Translation and rotation are local to the parent,
// as the parts file stores them; roots sit at the origin with no rotation.
struct Bone {
  std::string name;
  int32_t parent = -1;               // index in DecodedLevel::bones; -1 for a root
  float translation[3] = {0, 0, 0};  // local
  Quat rotation;                     // local
  int16_t storedRotation[3] = {0, 0, 0};  // the three words as stored (x, y, z)
};

struct DecodedVertex {
  float position[3] = {0, 0, 0};  // as stored: bone-relative (versions 14, 20) or model space (25)
  float normal[3] = {0, 0, 0};    // as stored, in the same space as the position
  float uv[2] = {0, 0};           // as stored (top-left origin)
  uint8_t color[4] = {255, 255, 255, 255};  // red, green, blue, alpha as stored (version 14: white)
  uint16_t bone = 0;              // the vertex's own bone (the surface's bone when rigid)
  uint32_t firstInfluence = 0;    // its extra influences: DecodedSurface::influences
  uint8_t influenceCount = 0;     //   [firstInfluence, firstInfluence + influenceCount)
};

struct DecodedSurface {
  std::vector<DecodedVertex> vertices;
  std::vector<BoneInfluence> influences;
  // Triangles (three indices each) as stored: clockwise seen from the normals' side.
  // Version 14 strips are unrolled into triangles by the structural reader.
  std::vector<uint32_t> triangles;
  int32_t material = -1;  // index in DecodedLevel::materials; -1 when the surface has none
};

struct DecodedMaterial {
  std::string name;       // the material file's name (version 14: the texture file's)
  std::string imagePath;  // full path of the colour image found on disk; "" when none
  // The colour image as the material names it, found on disk or not (version 14: the
  // material's own name; versions 20 and 25: the name in the material file, without
  // extension); "" when the material file cannot be read.
  std::string imageName;
};

// One level slot of the model header: the distance from which the level is drawn and the
// name of its surfaces file ("" for an unused slot).
struct LevelSlot {
  float distance = 0;
  std::string surfsName;
};

struct DecodedLevel {
  std::string modelName;  // the header's file name
  uint32_t version = 0;   // the header's version
  int32_t lodIndex = 0;
  std::string surfsName;  // the level's name in the header
  std::vector<LevelSlot> levels;  // every level slot of the header, in order
  std::vector<Bone> bones;
  std::vector<DecodedSurface> surfaces;
  std::vector<DecodedMaterial> materials;
};

}  // namespace tessary
