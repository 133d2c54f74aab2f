#include "export/GltfWriter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <sstream>

#include "export/Exporters.h"
#include "export/GltfAnimation.h"
#include "export/PngEncoder.h"
#include "model/SkinnedGeometry.h"
#include "platform/BuildInfo.h"
#include "platform/FileOpen.h"
#include "platform/Latin1Text.h"
#include "platform/OutputFile.h"
#include "workspace/ImageDecoder.h"

namespace tessary {

namespace {

using Mat3 = std::array<std::array<double, 3>, 3>;

// Game space (Z up) to glTF space (Y up): (x, y, z) → (x, z, −y).
Vec3 ToGltf(const Vec3& v) { return {v[0], v[2], -v[1]}; }
constexpr double kHalfSqrt2 = 0.70710678118654752440;
// The same turn as a rotation of the model node: −90° about X.
constexpr std::array<double, 4> kUpTurn = {-kHalfSqrt2, 0, 0, kHalfSqrt2};

float Finite(float f) { return std::isfinite(f) ? f : 0.0f; }

// A unit quaternion (x, y, z, w) from a stored one; no rotation when it has no length.
std::array<double, 4> Unit(const Quat& q) {
  const double x = Finite(q.x), y = Finite(q.y), z = Finite(q.z), w = Finite(q.w);
  const double n = std::sqrt(x * x + y * y + z * z + w * w);
  if (n < 1e-12) return {0, 0, 0, 1};
  return {x / n, y / n, z / n, w / n};
}

Mat3 Matrix(const std::array<double, 4>& q) {
  const double x = q[0], y = q[1], z = q[2], w = q[3];
  return {{{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
           {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
           {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}}};
}

// Appends data to the one buffer and describes it with buffer views and accessors.
class BufferBuilder {
 public:
  explicit BufferBuilder(tinygltf::Model& doc) : doc_(doc) {
    doc_.buffers.resize(1);
  }

  int View(const void* data, size_t size, int target) {
    auto& bytes = doc_.buffers[0].data;
    bytes.resize((bytes.size() + 3) & ~size_t{3}, 0);  // every view starts 4-byte aligned
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = bytes.size();
    view.byteLength = size;
    view.target = target;
    const auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + size);
    doc_.bufferViews.push_back(view);
    return static_cast<int>(doc_.bufferViews.size() - 1);
  }

  template <typename T>
  int Accessor(const std::vector<T>& values, int componentType, int type, size_t components, int target,
               bool withBounds = false) {
    tinygltf::Accessor a;
    a.bufferView = View(values.data(), values.size() * sizeof(T), target);
    a.componentType = componentType;
    a.type = type;
    a.count = values.size() / components;
    if (withBounds) {
      a.minValues.assign(components, std::numeric_limits<double>::infinity());
      a.maxValues.assign(components, -std::numeric_limits<double>::infinity());
      for (size_t i = 0; i < values.size(); ++i) {
        a.minValues[i % components] = std::min<double>(a.minValues[i % components], values[i]);
        a.maxValues[i % components] = std::max<double>(a.maxValues[i % components], values[i]);
      }
    }
    doc_.accessors.push_back(a);
    return static_cast<int>(doc_.accessors.size() - 1);
  }

 private:
  tinygltf::Model& doc_;
};

bool StartsWith(const std::vector<uint8_t>& bytes, std::initializer_list<uint8_t> magic) {
  return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
}

// The image at `path` as bytes a glTF reader takes: PNG and JPEG files as they are, every
// other kind decoded and encoded as PNG. Nullopt (with a note) when that fails.
std::optional<std::pair<std::vector<uint8_t>, std::string>> EmbeddableImage(const std::string& path,
                                                                           std::vector<std::string>& notes) {
  std::vector<uint8_t> bytes;
  const bool read = ReadRegularFile(path, bytes);
  const bool png = read && StartsWith(bytes, {0x89, 'P', 'N', 'G'});
  const bool jpeg = read && StartsWith(bytes, {0xFF, 0xD8, 0xFF});
  if (png || jpeg) return std::make_pair(std::move(bytes), std::string(png ? "image/png" : "image/jpeg"));
  std::string error;
  // A file that could not be read is tried again by the decoder, which says why.
  auto image = read ? DecodeImageBytes(bytes, path, error) : DecodeImageFile(path, error);
  if (!image) {
    notes.push_back(error + "; its material is left without a texture");
    return std::nullopt;
  }
  auto encoded = EncodePng(*image);
  if (!encoded) {
    notes.push_back(path + ": cannot encode the image as PNG; its material is left without a texture");
    return std::nullopt;
  }
  return std::make_pair(std::move(*encoded), std::string("image/png"));
}

void AddMaterials(const DecodedLevel& level, BufferBuilder& buffer, tinygltf::Model& doc,
                  std::vector<std::string>& notes) {
  std::map<std::string, int> textureOfImage;  // images shared by several materials are stored once
  for (const DecodedMaterial& m : level.materials) {
    tinygltf::Material material;
    material.name = Latin1ToUtf8(m.name);
    material.pbrMetallicRoughness.metallicFactor = 0;
    material.pbrMetallicRoughness.roughnessFactor = 1;
    if (!m.imagePath.empty()) {
      auto known = textureOfImage.find(m.imagePath);
      if (known == textureOfImage.end()) {
        int texture = -1;
        if (auto embedded = EmbeddableImage(m.imagePath, notes)) {
          if (doc.samplers.empty()) {
            tinygltf::Sampler sampler;
            sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
            sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR_MIPMAP_LINEAR;
            doc.samplers.push_back(sampler);
          }
          tinygltf::Image image;
          image.name = Latin1ToUtf8(std::filesystem::path(m.imagePath).filename().string());
          image.mimeType = embedded->second;
          image.bufferView = buffer.View(embedded->first.data(), embedded->first.size(), 0);
          doc.images.push_back(image);
          tinygltf::Texture t;
          t.sampler = 0;
          t.source = static_cast<int>(doc.images.size() - 1);
          doc.textures.push_back(t);
          texture = static_cast<int>(doc.textures.size() - 1);
        }
        known = textureOfImage.emplace(m.imagePath, texture).first;
      }
      material.pbrMetallicRoughness.baseColorTexture.index = known->second;
    }
    doc.materials.push_back(material);
  }
}

// One primitive per surface that has vertices and triangles; false when none has.
bool AddMesh(const DecodedLevel& level, const GltfOptions& options, BufferBuilder& buffer, tinygltf::Model& doc) {
  const auto skinned = SkinnedVertices(level, options.scale);
  const size_t boneCount = std::max<size_t>(level.bones.size(), 1);
  tinygltf::Mesh mesh;
  mesh.name = Latin1ToUtf8(level.surfsName);
  for (size_t s = 0; s < level.surfaces.size(); ++s) {
    const DecodedSurface& surface = level.surfaces[s];
    const size_t count = surface.vertices.size();
    // Stored clockwise seen from the normals' side; glTF's front faces are counter-clockwise.
    std::vector<uint32_t> indices;
    for (size_t t = 0; t + 2 < surface.triangles.size(); t += 3) {
      const uint32_t a = surface.triangles[t], b = surface.triangles[t + 1], c = surface.triangles[t + 2];
      if (a >= count || b >= count || c >= count) continue;
      indices.insert(indices.end(), {a, c, b});
    }
    if (count == 0 || indices.empty()) continue;

    std::vector<float> positions, normals, uvs, weights;
    std::vector<uint16_t> joints;
    for (size_t i = 0; i < count; ++i) {
      const SkinnedVertex& v = skinned[s][i];
      for (float f : ToGltf(v.position)) positions.push_back(Finite(f));
      Vec3 n = ToGltf(v.normal);
      for (float& f : n) f = Finite(f);
      const double length = std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
      if (length < 1e-6) n = {0, 1, 0};
      else for (float& f : n) f = static_cast<float>(f / length);
      normals.insert(normals.end(), n.begin(), n.end());
      uvs.push_back(Finite(surface.vertices[i].uv[0]));
      uvs.push_back(Finite(surface.vertices[i].uv[1]));
      const JointWeights jw = StrongestInfluences(surface, surface.vertices[i], boneCount);
      joints.insert(joints.end(), jw.joints.begin(), jw.joints.end());
      weights.insert(weights.end(), jw.weights.begin(), jw.weights.end());
    }
    tinygltf::Primitive p;
    p.mode = TINYGLTF_MODE_TRIANGLES;
    p.attributes["POSITION"] = buffer.Accessor(positions, TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3, 3,
                                               TINYGLTF_TARGET_ARRAY_BUFFER, true);
    p.attributes["NORMAL"] = buffer.Accessor(normals, TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3, 3,
                                             TINYGLTF_TARGET_ARRAY_BUFFER);
    p.attributes["TEXCOORD_0"] = buffer.Accessor(uvs, TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC2, 2,
                                                 TINYGLTF_TARGET_ARRAY_BUFFER);
    p.attributes["JOINTS_0"] = buffer.Accessor(joints, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, TINYGLTF_TYPE_VEC4, 4,
                                               TINYGLTF_TARGET_ARRAY_BUFFER);
    p.attributes["WEIGHTS_0"] = buffer.Accessor(weights, TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC4, 4,
                                                TINYGLTF_TARGET_ARRAY_BUFFER);
    p.indices = buffer.Accessor(indices, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, TINYGLTF_TYPE_SCALAR, 1,
                                TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
    if (surface.material >= 0 && static_cast<size_t>(surface.material) < level.materials.size())
      p.material = surface.material;
    mesh.primitives.push_back(p);
  }
  if (mesh.primitives.empty()) return false;
  doc.meshes.push_back(mesh);
  return true;
}

// Inverse bind matrices (column-major): the inverse of each bone's bind pose in glTF space,
// the up turn of the model node included.
std::vector<float> InverseBindMatrices(const std::vector<Bone>& bones, float scale) {
  const std::vector<BonePose> poses = WorldPoses(bones, scale);
  const Mat3 up = Matrix(kUpTurn);
  std::vector<float> out;
  for (const BonePose& pose : poses) {
    const Mat3 r = Matrix(Unit(pose.rotation));
    Mat3 m{};  // up · r
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j)
        for (int k = 0; k < 3; ++k) m[i][j] += up[i][k] * r[k][j];
    const Vec3 t = ToGltf(pose.translation);
    // Inverse of [m | t]: [mᵀ | −mᵀ t].
    std::array<double, 3> it{};
    for (int i = 0; i < 3; ++i)
      for (int k = 0; k < 3; ++k) it[i] -= m[k][i] * Finite(t[k]);
    for (int col = 0; col < 4; ++col)
      for (int row = 0; row < 4; ++row) {
        double v = 0;
        if (col < 3 && row < 3) v = m[col][row];
        else if (col == 3 && row < 3) v = it[row];
        else if (col == 3 && row == 3) v = 1;
        out.push_back(static_cast<float>(v));
      }
  }
  return out;
}

}  // namespace

tinygltf::Model BuildGltf(const DecodedLevel& level, const GltfOptions& options, std::vector<std::string>& notes) {
  tinygltf::Model doc;
  doc.asset.version = "2.0";
  doc.asset.generator = std::string(build::kProductName) + " " + build::kVersion;
  BufferBuilder buffer(doc);

  std::vector<Bone> bones = level.bones;
  if (bones.empty()) {
    bones.emplace_back();
    bones.back().name = "tag_origin";
  }

  // The model node, then a node per bone.
  tinygltf::Node model;
  model.name = Latin1ToUtf8(level.modelName);
  model.rotation.assign(kUpTurn.begin(), kUpTurn.end());
  doc.nodes.push_back(model);
  for (const Bone& b : bones) {
    tinygltf::Node node;
    node.name = Latin1ToUtf8(b.name);
    node.translation = {Finite(b.translation[0] * options.scale), Finite(b.translation[1] * options.scale),
                        Finite(b.translation[2] * options.scale)};
    const auto q = Unit(b.rotation);
    node.rotation.assign(q.begin(), q.end());
    doc.nodes.push_back(node);
  }
  for (size_t i = 0; i < bones.size(); ++i) {
    const int parent = bones[i].parent;
    const bool root = parent < 0 || static_cast<size_t>(parent) >= i;
    doc.nodes[size_t(root ? kGltfModelNode : GltfBoneNode(size_t(parent)))].children.push_back(GltfBoneNode(i));
  }

  AddMaterials(level, buffer, doc, notes);

  tinygltf::Scene scene;
  scene.name = Latin1ToUtf8(level.modelName);
  scene.nodes.push_back(kGltfModelNode);
  DecodedLevel withBones;
  const DecodedLevel* source = &level;
  if (level.bones.empty()) {  // vertices then follow the stand-in root
    withBones = level;
    withBones.bones = bones;
    source = &withBones;
  }
  if (AddMesh(*source, options, buffer, doc)) {
    tinygltf::Skin skin;
    skin.name = Latin1ToUtf8(level.modelName);
    skin.skeleton = kGltfModelNode;
    for (size_t i = 0; i < bones.size(); ++i) skin.joints.push_back(GltfBoneNode(i));
    skin.inverseBindMatrices = buffer.Accessor(InverseBindMatrices(bones, options.scale),
                                               TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_MAT4, 16, 0);
    doc.skins.push_back(skin);
    // The skinned mesh's node is a root of its own: joints place its vertices, so no parent
    // transform may apply to it.
    tinygltf::Node meshNode;
    meshNode.name = Latin1ToUtf8(level.surfsName);
    meshNode.mesh = 0;
    meshNode.skin = 0;
    doc.nodes.push_back(meshNode);
    scene.nodes.push_back(static_cast<int>(doc.nodes.size() - 1));
  }
  doc.scenes.push_back(scene);
  doc.defaultScene = 0;
  if (doc.buffers[0].data.empty()) doc.buffers.clear();
  return doc;
}

namespace {

// The document as the bytes of a .glb file; false when tinygltf cannot encode it.
bool EncodeGlb(const tinygltf::Model& document, std::string& bytes) {
  std::ostringstream stream;
  tinygltf::TinyGLTF writer;
  if (!writer.WriteGltfSceneToStream(&document, stream, false, true)) return false;
  bytes = stream.str();
  return true;
}

}  // namespace

bool WriteGltf(const ExportLevel& level, OutputFile& file) {
  if (!level.decoded) return false;
  std::vector<std::string> notes, warnings;
  std::vector<std::string>& warned = level.warnings ? *level.warnings : warnings;
  GltfOptions options;
  options.scale = level.scale;
  tinygltf::Model document = BuildGltf(*level.decoded, options, level.notes ? *level.notes : notes);
  std::vector<int> boneNodes;
  for (size_t i = 0; i < level.decoded->bones.size(); ++i) boneNodes.push_back(GltfBoneNode(i));
  for (size_t i = 0; i < level.anims.size() && i < level.animations.size(); ++i) {
    const XAnim& anim = level.anims[i];
    const SkeletonAnimation& animation = level.animations[i];
    if (!AddGltfAnimation(document, boneNodes, animation, anim, options.scale)) {
      std::string why = anim.name + ": it moves nothing of " + level.animatedModels;
      if (!animation.missingBones.empty())
        why += ", which has none of its bones (" + ListedNames(animation.missingBones) + ")";
      if (animation.rootMotionLost) why += std::string(" and no ") + kRootMotionBone + " for its root motion";
      warned.push_back(why + "; the file is written without it");
      continue;
    }
    for (std::string& warning : AnimationWarnings(animation, anim.bones.size(), anim.name, level.animatedModels))
      warned.push_back(std::move(warning));
  }
  std::string bytes;
  if (!EncodeGlb(document, bytes)) return false;
  file.Write(bytes.data(), bytes.size());
  return true;
}

}  // namespace tessary
