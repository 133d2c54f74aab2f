#pragma once
// The in-memory records that every model generation fills and that the tree, the writers
// and the preview read.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessary {

// The size of the buffer a level's surfaces file name is read into; a name this long or
// longer measures 0 and is not taken.
inline constexpr int kNameBufferSize = 1024;

struct MaterialEntry {
  int32_t index = 0;             // position in the level's list
  int32_t lodMaterialCount = 0;  // length of that list
  std::string name;              // the material file's name (for version 14: the texture's)
  std::optional<std::string> imageName;  // colour image with ".dds" or ".iwi", when resolved
};

struct LodEntry {
  int32_t materialCount = 0;
  bool present = false;  // the level's name was read
  std::string surfsName;
  std::vector<MaterialEntry> materials;
};

// A bone that moves a vertex besides the vertex's own bone, with its stored weight.
struct BoneInfluence {
  uint16_t bone = 0;
  float weight = 0;  // 0..1; the vertex's own bone takes 1 minus the sum of these
};

struct Vertex {
  float normal[3] = {0, 0, 0};
  float uv[2] = {0, 0};
  float position[3] = {0, 0, 0};  // as stored; where it is relative: Surface::placement
  uint16_t bone = 0;              // the part the vertex hangs on, as the reading takes it
  uint8_t influenceCount = 0;     // its extra influences: Surface::influences
  uint32_t firstInfluence = 0;    //   [firstInfluence, firstInfluence + influenceCount)
};

// Where a surface's stored positions lie, and so what placing it in model space adds.
enum class Placement : uint8_t {
  ModelSpace,          // already in model space: nothing
  OnBone,              // relative to each vertex's bone: that bone's model-space position
  OnPartWhenExploded,  // a destructible piece at its part's origin: moved out only exploded
};

struct TriList {
  uint32_t triCount = 0;  // triangles (versions 20, 25) or strip length (version 14)
  std::vector<uint16_t> indices;
};

struct Surface {
  int32_t triListCount = 0;
  int32_t vertexCount = 0;
  int32_t lodIndex = 0;
  uint8_t blink = 0;
  bool facesLoaded = false;
  bool textureLoaded = false;
  bool unsupported = false;
  bool unsupportedAlt = false;
  uint32_t textureId = 0;
  Placement placement = Placement::ModelSpace;
  std::vector<TriList> triLists;
  std::vector<Vertex> vertices;
  std::vector<BoneInfluence> influences;
};

struct Part {
  uint8_t parent = 0;             // one outside the list is read as the root, 0
  float position[3] = {0, 0, 0};  // as stored: relative to the parent
  int16_t rotation[3] = {0, 0, 0};  // the three rotation words as stored
  std::string name;
};

struct PartList {
  // The count as the model keeps it: the number of entries in `parts`.
  uint16_t count() const { return static_cast<uint16_t>(parts.size()); }
  std::vector<Part> parts;
};

}  // namespace tessary
