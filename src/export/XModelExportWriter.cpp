// The SDK's model source text of a level, and its asset entry.
#include <cmath>
#include <string_view>
#include <unordered_map>

#include "export/Exporters.h"
#include "export/NumberFormat.h"
#include "export/TextBuffer.h"
#include "export/XModelExport.h"
#include "model/ModelVersions.h"
#include "platform/BuildInfo.h"

namespace tessary {

namespace {

double Finite(double f) { return std::isfinite(f) ? f : 0.0; }

// Appends "a, b, c" (with `separator` between the numbers) in six decimals.
void AppendNumbers(std::string& out, std::initializer_list<double> values, std::string_view separator) {
  char digits[kMaxFixedChars];
  bool first = true;
  for (double v : values) {
    if (!first) out += separator;
    first = false;
    out.append(digits, FormatFixed6(digits, Finite(v)));
  }
}

Quat Normalised(const Quat& q) {
  const double x = Finite(q.x), y = Finite(q.y), z = Finite(q.z), w = Finite(q.w);
  const double n = std::sqrt(x * x + y * y + z * z + w * w);
  if (n < 1e-12) return {};
  return {static_cast<float>(x / n), static_cast<float>(y / n), static_cast<float>(z / n), static_cast<float>(w / n)};
}

Vec3 UnitNormal(const Vec3& n) {
  const double x = Finite(n[0]), y = Finite(n[1]), z = Finite(n[2]);
  const double length = std::sqrt(x * x + y * y + z * z);
  if (length < 1e-12) return {0, 0, 1};
  return {static_cast<float>(x / length), static_cast<float>(y / length), static_cast<float>(z / length)};
}

// The lines of a vertex after "VERT i": its place and its weights. Two vertices with the same
// lines are one vertex of the text.
std::string VertexLines(const SkinnedVertex& v, const JointWeights& weights) {
  std::string text = "OFFSET ";
  AppendNumbers(text, {v.position[0], v.position[1], v.position[2]}, ", ");
  int count = 0;
  for (float w : weights.weights) count += w > 0;
  text += "\r\nBONES " + std::to_string(count) + "\r\n";
  for (size_t k = 0; k < weights.weights.size(); ++k) {
    if (weights.weights[k] <= 0) continue;
    text += "BONE " + std::to_string(weights.joints[k]) + " ";
    AppendNumbers(text, {weights.weights[k]}, "");
    text += "\r\n";
  }
  return text;
}

// The twelve property lines the compiler expects after every MATERIAL line (a Lambert
// material as the SDK's exporter writes it).
constexpr std::string_view kLambertProperties =
    "COLOR 0.000000 0.000000 0.000000 1.000000\r\n"
    "TRANSPARENCY 0.000000 0.000000 0.000000 1.000000\r\n"
    "AMBIENTCOLOR 0.000000 0.000000 0.000000 1.000000\r\n"
    "INCANDESCENCE 0.000000 0.000000 0.000000 1.000000\r\n"
    "COEFFS 0.800000 0.000000\r\n"
    "GLOW 0.000000 0\r\n"
    "REFRACTIVE 6 1.000000\r\n"
    "SPECULARCOLOR -1.000000 -1.000000 -1.000000 1.000000\r\n"
    "REFLECTIVECOLOR -1.000000 -1.000000 -1.000000 1.000000\r\n"
    "REFLECTIVE -1 -1.000000\r\n"
    "BLINN -1.000000 -1.000000\r\n"
    "PHONG -1.000000\r\n";

// The material name given to surfaces that name none.
constexpr std::string_view kStandInMaterial = "default";

// The image column of a material: the colour image as the SDK's sources name it (a TGA file
// of that name, unless the version's materials are image files themselves).
std::string ImageColumn(const DecodedLevel& level, const DecodedMaterial& m) {
  if (m.imageName.empty()) return {};
  const ModelVersion* row = FindModelVersion(level.version);
  return row && row->materialIsTexture ? m.imageName : m.imageName + ".tga";
}

}  // namespace

std::array<Vec3, 3> RotationAxes(const Quat& rotation) {
  const Quat q = Normalised(rotation);
  return {Rotate(q, {1, 0, 0}), Rotate(q, {0, 1, 0}), Rotate(q, {0, 0, 1})};
}

std::string XModelExportFileName(const std::string& surfsName) { return surfsName + ".XMODEL_EXPORT"; }

void WriteXModelExportText(const DecodedLevel& level, float scale, OutputFile& file, std::vector<std::string>* notes) {
  TextBuffer out(file);
  std::string text;
  // The head: where the text comes from, as the SDK's exporter says it in its comments.
  out.Raw("// Written by ").Text(build::kProductName).Raw(" ").Text(build::kVersion).Line();
  out.Raw("// Source model: ").Text(level.modelName).Raw(", level ").Int(level.lodIndex).Raw(" (")
      .Text(level.surfsName).Raw(")").Line();
  out.Raw("MODEL").Line().Raw("VERSION 6").Line().Line();

  // The skeleton: every bone in the bind pose, in model space. A level without bones gets
  // the root that its vertices follow.
  std::vector<Bone> bones = level.bones;
  if (bones.empty()) {
    bones.emplace_back();
    bones.back().name = "tag_origin";
  }
  out.Raw("NUMBONES ").Int(static_cast<int64_t>(bones.size())).Line();
  for (size_t i = 0; i < bones.size(); ++i) {
    const int parent = bones[i].parent;
    const bool root = parent < 0 || static_cast<size_t>(parent) >= i;
    out.Raw("BONE ").Int(static_cast<int64_t>(i)).Raw(" ").Int(root ? -1 : parent).Raw(" \"").Text(bones[i].name)
        .Raw("\"").Line();
  }
  out.Line();
  const std::vector<BonePose> poses = WorldPoses(bones, scale);
  for (size_t i = 0; i < bones.size(); ++i) {
    const Vec3& t = poses[i].translation;
    const auto axes = RotationAxes(poses[i].rotation);
    text = "BONE " + std::to_string(i) + "\r\nOFFSET ";
    AppendNumbers(text, {t[0], t[1], t[2]}, ", ");
    text += "\r\nSCALE 1.000000, 1.000000, 1.000000\r\n";
    for (size_t a = 0; a < 3; ++a) {
      text += "XYZ"[a];
      text += ' ';
      AppendNumbers(text, {axes[a][0], axes[a][1], axes[a][2]}, ", ");
      text += "\r\n";
    }
    out.Raw(text).Line();
  }

  // Vertices: each stored vertex in model space with its weights; stored vertices that only
  // differ in normal, colour or texture coordinates (which the faces carry) are one vertex.
  DecodedLevel withBones;
  const DecodedLevel* source = &level;
  if (level.bones.empty()) {
    withBones = level;
    withBones.bones = bones;
    source = &withBones;
  }
  const auto skinned = SkinnedVertices(*source, scale);
  std::unordered_map<std::string, uint32_t> known;
  std::vector<const std::string*> vertexTexts;
  std::vector<std::vector<uint32_t>> vertexOf(level.surfaces.size());
  for (size_t s = 0; s < level.surfaces.size(); ++s) {
    const DecodedSurface& surface = level.surfaces[s];
    for (size_t i = 0; i < surface.vertices.size(); ++i) {
      const JointWeights w = StrongestInfluences(surface, surface.vertices[i], bones.size());
      auto [at, added] = known.emplace(VertexLines(skinned[s][i], w), static_cast<uint32_t>(vertexTexts.size()));
      if (added) vertexTexts.push_back(&at->first);
      vertexOf[s].push_back(at->second);
    }
  }
  out.Raw("NUMVERTS ").Int(static_cast<int64_t>(vertexTexts.size())).Line();
  for (size_t v = 0; v < vertexTexts.size(); ++v) out.Raw("VERT ").Int(static_cast<int64_t>(v)).Line().Raw(*vertexTexts[v]).Line();

  // Materials: the level's, and a stand-in for surfaces that name none.
  std::vector<std::pair<std::string, std::string>> materials;  // name, image
  for (const DecodedMaterial& m : level.materials) materials.emplace_back(m.name, ImageColumn(level, m));
  int standIn = -1;
  for (size_t s = 0; s < level.surfaces.size(); ++s) {
    const int m = level.surfaces[s].material;
    if (m >= 0 && static_cast<size_t>(m) < level.materials.size()) continue;
    if (standIn < 0) {
      standIn = static_cast<int>(materials.size());
      materials.emplace_back(kStandInMaterial, "");
    }
    if (notes)
      notes->push_back(level.surfsName + ": surface " + std::to_string(s) + " names no material; it is given \"" +
                       std::string(kStandInMaterial) + "\"");
  }

  // Faces: the stored triangles in stored order, each corner with the stored vertex's normal,
  // colour and texture coordinates.
  size_t faceCount = 0;
  for (const DecodedSurface& surface : level.surfaces) {
    const size_t count = surface.vertices.size();
    for (size_t t = 0; t + 2 < surface.triangles.size(); t += 3)
      faceCount += surface.triangles[t] < count && surface.triangles[t + 1] < count && surface.triangles[t + 2] < count;
  }
  out.Raw("NUMFACES ").Int(static_cast<int64_t>(faceCount)).Line();
  for (size_t s = 0; s < level.surfaces.size(); ++s) {
    const DecodedSurface& surface = level.surfaces[s];
    const size_t count = surface.vertices.size();
    const int stored = surface.material;
    const int material = stored >= 0 && static_cast<size_t>(stored) < level.materials.size() ? stored : standIn;
    const std::string head = "TRI " + std::to_string(s) + " " + std::to_string(material) + " 0 0\r\n";
    for (size_t t = 0; t + 2 < surface.triangles.size(); t += 3) {
      const uint32_t corners[3] = {surface.triangles[t], surface.triangles[t + 1], surface.triangles[t + 2]};
      if (corners[0] >= count || corners[1] >= count || corners[2] >= count) continue;
      text = head;
      for (uint32_t c : corners) {
        const DecodedVertex& v = surface.vertices[c];
        const Vec3 n = UnitNormal(skinned[s][c].normal);
        text += "VERT " + std::to_string(vertexOf[s][c]) + "\r\nNORMAL ";
        AppendNumbers(text, {n[0], n[1], n[2]}, " ");
        text += "\r\nCOLOR ";
        AppendNumbers(text, {v.color[0] / 255.0, v.color[1] / 255.0, v.color[2] / 255.0, v.color[3] / 255.0}, " ");
        text += "\r\nUV 1 ";
        AppendNumbers(text, {v.uv[0], v.uv[1]}, " ");
        text += " \r\n";
      }
      out.Raw(text);
    }
  }

  // One object per surface: the binary keeps no object names.
  out.Line().Raw("NUMOBJECTS ").Int(static_cast<int64_t>(level.surfaces.size())).Line();
  for (size_t s = 0; s < level.surfaces.size(); ++s)
    out.Raw("OBJECT ").Int(static_cast<int64_t>(s)).Raw(" \"").Text(level.surfsName).Raw("_surface").Int(static_cast<int64_t>(s))
        .Raw("\"").Line();

  out.Line().Raw("NUMMATERIALS ").Int(static_cast<int64_t>(materials.size())).Line();
  for (size_t m = 0; m < materials.size(); ++m) {
    out.Raw("MATERIAL ").Int(static_cast<int64_t>(m)).Raw(" \"").Text(materials[m].first).Raw("\" \"Lambert\" \"")
        .Text(materials[m].second).Raw("\"").Line();
    out.Raw(kLambertProperties).Line();
  }
  out.Flush();
}

void WriteXModelGdtText(const std::string& modelName, bool animated, const std::vector<GdtLevel>& levels,
                        OutputFile& file) {
  TextBuffer out(file);
  auto field = [&](std::string_view key, std::string_view value) {
    out.Raw("\t\t\"").Raw(key).Raw("\" \"").Text(value).Raw("\"").Line();
  };
  auto levelFile = [&](size_t i) { return i < levels.size() ? XModelExportFileName(levels[i].surfsName) : std::string(); };
  auto distance = [&](size_t i) {
    if (levels.size() < 2 || i >= levels.size()) return std::string("0");
    char digits[kMaxFixedChars];
    std::string text(digits, FormatFixed(digits, Finite(levels[i].distance), 0));
    return text == "-0" ? std::string("0") : text;
  };
  out.Line().Raw("{").Line();
  out.Raw("\t\"").Text(modelName).Raw("\" ( \"xmodel.gdf\" )").Line().Raw("\t{").Line();
  field("type", animated ? "animated" : "rigid");
  field("filename", levelFile(0));
  field("highLodDist", distance(0));
  field("forceMediumLodRigid", "0");
  field("mediumLod", levelFile(1));
  field("mediumLodDist", distance(1));
  field("forceLowLodRigid", "0");
  field("lowLod", levelFile(2));
  field("lowLodDist", distance(2));
  field("forceLowestLodRigid", "0");
  field("lowestLod", levelFile(3));
  field("lowestLodDist", distance(3));
  field("groundLit", "0");
  field("noRadialNormals", "0");
  field("radialOriginX", "0");
  field("radialOriginY", "0");
  field("radialOriginZ", "0");
  field("allowHidingAllParts", "0");
  field("collisionLOD", "None");
  field("hitBoxModel", "");
  field("skinOverride", "");
  field("boneControllers", "");
  field("boneStabilizers", "");
  field("physicsPreset", "");
  out.Raw("\t}").Line().Raw("}").Line();
  out.Flush();
}

bool WriteXModelExport(const ExportLevel& level, OutputFile& file) {
  if (!level.decoded) return false;
  WriteXModelExportText(*level.decoded, level.scale, file, level.notes);
  return true;
}

bool WriteXModelGdt(const ExportLevel& level, OutputFile& file) {
  if (!level.decoded) return false;
  const DecodedLevel& d = *level.decoded;
  std::vector<GdtLevel> levels;
  const std::vector<int> named = level.gdtLevels.empty() ? std::vector<int>{d.lodIndex} : level.gdtLevels;
  for (int i : named) {
    if (i < 0 || static_cast<size_t>(i) >= d.levels.size() || d.levels[size_t(i)].surfsName.empty()) return false;
    levels.push_back({d.levels[size_t(i)].surfsName, d.levels[size_t(i)].distance});
  }
  WriteXModelGdtText(level.modelName, d.bones.size() > 1, levels, file);
  return true;
}

}  // namespace tessary
