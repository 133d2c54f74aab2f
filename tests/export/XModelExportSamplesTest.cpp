// The XMODEL_EXPORT of real models (skipped when the samples are absent): the fourth game's
// m16 viewmodel against the SDK's own source of it, and a model of each version against the
// glTF export of the same level.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "platform/Disk.h"
#include "export/GltfWriter.h"
#include "export/ModelExport.h"
#include "fixtures/GltfValues.h"
#include "fixtures/SdkSourceText.h"
#include "fixtures/TempWorkdir.h"
#include "model/StructuralReader.h"
#include "platform/AsciiCase.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::V3;
using test::XmeModel;

double Degrees(const V3& a, const V3& b) {
  const double c = (a[0] * b[0] + a[1] * b[1] + a[2] * b[2]) / (std::hypot(a[0], a[1], a[2]) * std::hypot(b[0], b[1], b[2]));
  return std::acos(std::clamp(c, -1.0, 1.0)) * 180 / M_PI;
}

// A model's XMODEL_EXPORT written into a copy of the sample working folder `game`.
XmeModel Exported(const std::string& game, const std::string& model, std::optional<int> lod, const test::TempWorkdir& wd) {
  test::CopySampleInputs(game, wd.Path());
  const ExportOutcome outcome = ExportXModelFiles(ExportRequest{wd.Str(), model, lod, {}});
  EXPECT_TRUE(outcome.ok) << outcome.error;
  XmeModel read = outcome.ok ? test::ReadXModelExport(outcome.written.at(0)) : XmeModel{};
  EXPECT_TRUE(read.Complete());
  return read;
}

// The SDK's source `name`, or nothing (the test skipped) when the samples are absent.
std::optional<XmeModel> SdkSource(const std::string& name) {
  const fs::path file = test::SamplesDir() / "cod4-sdk/source" / (name + ".XMODEL_EXPORT");
  if (test::SamplesDir().empty() || !fs::exists(file)) return std::nullopt;
  XmeModel sdk = test::ReadXModelExport(file);
  EXPECT_TRUE(sdk.Complete());
  return sdk;
}

// A vertex's weights by bone name: influences below 0.01 dropped, the four strongest kept and
// brought to a sum of 1, as the compiler stores them.
std::map<std::string, double> Weights(const XmeModel& m, const test::XmeVertex& v) {
  std::vector<std::pair<int, double>> w;
  std::copy_if(v.weights.begin(), v.weights.end(), std::back_inserter(w), [](const auto& e) { return e.second >= 0.01; });
  std::stable_sort(w.begin(), w.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  w.resize(std::min<size_t>(w.size(), 4));
  double sum = 0;
  for (const auto& e : w) sum += e.second;
  std::map<std::string, double> out;
  for (const auto& [bone, weight] : w) out[AsciiLower(m.bones.at(size_t(bone)).name)] += weight / sum;
  return out;
}

bool SameWeights(const std::map<std::string, double>& a, const std::map<std::string, double>& b) {
  return a.size() == b.size() && std::all_of(a.begin(), a.end(), [&](const auto& e) {
           return b.count(e.first) && std::abs(b.at(e.first) - e.second) < 0.01;
         });
}

V3 Corner(const XmeModel& m, const test::XmeFace& f, size_t c) { return m.vertices.at(size_t(f.corners[c].vertex)).offset; }

// Whether the compiler keeps a source triangle: one with a corner closer than the welding
// distance to another collapses and is dropped.
bool Kept(const XmeModel& m, const test::XmeFace& f) {
  const V3 a = Corner(m, f, 0), b = Corner(m, f, 1), c = Corner(m, f, 2);
  return std::min({test::Distance(a, b), test::Distance(b, c), test::Distance(c, a)}) >= 0.1;
}

// Every bone of `ours` is a bone of `sdk` of the same name (ignoring case) with the same
// parent, its place within `placeTolerance` units and each axis within 1.5 degrees.
void ExpectBonesIn(const XmeModel& ours, const XmeModel& sdk, double placeTolerance) {
  std::map<std::string, const test::XmeBone*> sdkBones;
  for (const auto& b : sdk.bones) sdkBones[AsciiLower(b.name)] = &b;
  auto parent = [](const XmeModel& m, const test::XmeBone& b) {
    return b.parent < 0 ? "" : AsciiLower(m.bones.at(size_t(b.parent)).name);
  };
  for (const auto& b : ours.bones) {
    SCOPED_TRACE(b.name);
    ASSERT_TRUE(sdkBones.count(AsciiLower(b.name)));
    const test::XmeBone& s = *sdkBones[AsciiLower(b.name)];
    EXPECT_EQ(parent(ours, b), parent(sdk, s));
    EXPECT_LT(test::Distance(b.offset, s.offset), placeTolerance);
    for (size_t a = 0; a < 3; ++a) EXPECT_LT(Degrees(b.axes[a], s.axes[a]), 1.5) << "XYZ"[a];
  }
}

// The SDK's source of viewmodel_m16 against Tessary's text of the compiled files. What the
// compiled files lose sets the tolerances:
// - bone places within 0.01 units, bone axes within 1.5 degrees (the parts file keeps three
//   quaternion components, which near a half turn costs up to about a degree);
// - the compiler welds vertices closer than about 0.1 unit: a vertex matches within 0.1;
// - influences below 0.01 are dropped and at most four kept: weights compared after the same
//   reduction, within 0.01;
// - triangles that the welding collapses (an edge under 0.1 units; zero-area ones among them)
//   are dropped: only the source's other triangles are looked for;
// - corner normals within 1 degree, texture coordinates within 0.002 (as stored, no flip; the
//   compiler stores a source's -0.001 as 0), corners in the source's order up to where the
//   triangle starts; colours as stored, the source's out-of-range -1 as the byte 0xFF.
TEST(XModelExportSamples, ViewmodelM16MatchesTheSdkSource) {
  const auto sdk = SdkSource("viewmodel_m16");
  if (!sdk) GTEST_SKIP() << "no SDK samples";
  test::TempWorkdir wd;
  const XmeModel ours = Exported("cod4-sdk", "viewmodel_m16", std::nullopt, wd);
  EXPECT_TRUE(fs::exists(wd.Path() / "obj/viewmodel_m16.gdt"));
  ASSERT_EQ(ours.bones.size(), sdk->bones.size());
  ExpectBonesIn(ours, *sdk, 0.01);

  // Vertices: every one of ours is a source vertex with its weights, and every source vertex
  // that a kept face uses is one of ours.
  std::set<int> used;
  for (const auto& f : sdk->faces)
    if (Kept(*sdk, f))
      for (const auto& c : f.corners) used.insert(c.vertex);
  auto unmatched = [](const XmeModel& a, const test::XmeVertex& v, const XmeModel& b) {
    return std::none_of(b.vertices.begin(), b.vertices.end(), [&](const test::XmeVertex& o) {
      return test::Distance(o.offset, v.offset) < 0.1 && SameWeights(Weights(b, o), Weights(a, v));
    });
  };
  size_t vertexMisses = 0;
  for (const auto& v : ours.vertices) vertexMisses += unmatched(ours, v, *sdk);
  for (int i : used) vertexMisses += unmatched(*sdk, sdk->vertices.at(size_t(i)), ours);
  EXPECT_EQ(vertexMisses, 0u);

  // Faces: each of ours is a source face, corner by corner; each kept source face is one of
  // ours; every source object lies in one surface (one object of ours).
  auto match = [&](const test::XmeFace& a, const test::XmeFace& b, size_t shift) {
    for (size_t c = 0; c < 3; ++c) {
      const auto &x = a.corners[c], &y = b.corners[(c + shift) % 3];
      if (test::Distance(Corner(ours, a, c), Corner(*sdk, b, (c + shift) % 3)) >= 0.1 || Degrees(x.normal, y.normal) >= 1 ||
          std::abs(x.uv[0] - y.uv[0]) >= 0.002 || std::abs(x.uv[1] - y.uv[1]) >= 0.002)
        return false;
    }
    return true;
  };
  std::set<size_t> matched;
  std::map<int, std::set<int>> objectsOfSource;
  size_t faceMisses = 0;
  for (const auto& f : ours.faces) {
    bool found = false;
    for (size_t j = 0; j < sdk->faces.size() && !found; ++j)
      for (size_t shift = 0; shift < 3 && !found; ++shift) {
        if (!match(f, sdk->faces[j], shift)) continue;
        found = true;
        matched.insert(j);
        objectsOfSource[sdk->faces[j].object].insert(f.object);
        for (size_t c = 0; c < 3; ++c)
          for (size_t k = 0; k < 4; ++k) {
            const double s = sdk->faces[j].corners[(c + shift) % 3].color[k];
            EXPECT_NEAR(f.corners[c].color[k], s < 0 ? 1.0 : s, 0.004);
          }
      }
    faceMisses += !found;
  }
  for (size_t j = 0; j < sdk->faces.size(); ++j) faceMisses += !matched.count(j) && Kept(*sdk, sdk->faces[j]);
  EXPECT_EQ(faceMisses, 0u);
  EXPECT_EQ(objectsOfSource.size(), sdk->objects.size());
  for (const auto& [object, surfaces] : objectsOfSource) EXPECT_EQ(surfaces.size(), 1u) << sdk->objects.at(size_t(object));
  // Materials: the same names, and the first one's image (weapon_m4_col.tga).
  ASSERT_EQ(ours.materials.size(), sdk->materials.size());
  for (size_t i = 0; i < ours.materials.size(); ++i) EXPECT_EQ(ours.materials[i].first, sdk->materials[i].first);
  EXPECT_EQ(ours.materials.at(0).second, sdk->materials.at(0).second);
}

// The arms the viewmodel animations were compiled against: viewhands_usmc is compiled from the
// arms of viewmodel_m16_animated's source, which also holds the weapon's bones. Every bone of
// ours is one of the source's, placed as there: axes within 1.5 degrees as above, places
// within 0.025 units, as the small losses of each stored rotation add up down the arm's
// chains of up to eight bones (0.016 measured at the fingers).
TEST(XModelExportSamples, ViewhandsSkeletonMatchesTheAnimatedSdkSource) {
  const auto sdk = SdkSource("viewmodel_m16_animated");
  if (!sdk) GTEST_SKIP() << "no SDK samples";
  test::TempWorkdir wd;
  const XmeModel ours = Exported("cod4-sdk", "viewhands_usmc", std::nullopt, wd);
  EXPECT_GT(ours.bones.size(), 50u);
  ExpectBonesIn(ours, *sdk, 0.025);
}

// Read back, the text of a level of each version gives the glTF export's skinned geometry of
// that level: per triangle and corner the same place, normal, texture coordinates and bone
// weights (to the six decimals of the text), corners in the reverse of glTF's order; the same
// bones in the same order. This covers the bone-relative vertices of versions 14 and 20.
TEST(XModelExportSamples, EachVersionReadsBackAsTheGltfExportsGeometry) {
  if (test::SamplesDir().empty()) GTEST_SKIP() << "no samples";
  const struct { const char* game; const char* model; int lod; } cases[] = {
      {"cod1", "viewmodel_colt", 0},              // version 14: rigid surfaces on four bones
      {"cod2", "zk_vm_stormtrooper", 0},          // version 20: extra influences
      {"cod2", "viewmodel_g3", 0},                // version 20: skinned and rigid
      {"cod4", "weapon_dragunov", 2},             // version 25: weighted and rigid
      {"cod4", "head_jason_turban", 0},           // version 25: several influences
  };
  using test::Values;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    if (!fs::exists(test::SamplesDir() / c.game / "xmodel" / c.model)) continue;
    test::TempWorkdir wd;
    const XmeModel ours = Exported(c.game, c.model, c.lod, wd);
    std::string error;
    Disk disk;
    const auto level = ReadStructuralLevel(disk, wd.Str(), c.model, c.lod, error);
    ASSERT_TRUE(level) << error;
    std::vector<std::string> notes;
    const tinygltf::Model doc = BuildGltf(*level, GltfOptions{}, notes);
    ASSERT_EQ(doc.meshes.size(), 1u);
    std::map<int, std::vector<const test::XmeFace*>> facesOf;  // by object (surface), in order
    for (const auto& f : ours.faces) facesOf[f.object].push_back(&f);
    ASSERT_EQ(facesOf.size(), doc.meshes[0].primitives.size());
    size_t primitive = 0, compared = 0;
    for (const auto& [surface, faces] : facesOf) {
      const tinygltf::Primitive& p = doc.meshes[0].primitives[primitive++];
      const auto indices = Values<uint32_t>(doc, p.indices);
      const auto positions = Values<float>(doc, p.attributes.at("POSITION")), normals = Values<float>(doc, p.attributes.at("NORMAL"));
      const auto uvs = Values<float>(doc, p.attributes.at("TEXCOORD_0")), weights = Values<float>(doc, p.attributes.at("WEIGHTS_0"));
      const auto joints = Values<uint16_t>(doc, p.attributes.at("JOINTS_0"));
      ASSERT_EQ(faces.size() * 3, indices.size());
      const int material = level->surfaces.at(size_t(surface)).material;
      for (size_t t = 0; t < faces.size(); ++t) {
        EXPECT_TRUE(material < 0 || faces[t]->material == material) << faces[t]->material;
        for (size_t k = 0; k < 3; ++k, ++compared) {
          const size_t g = indices[3 * t + (k == 0 ? 0 : 3 - k)];  // ours a, b, c is glTF's a, c, b
          const auto& corner = faces[t]->corners[k];
          const auto& v = ours.vertices.at(size_t(corner.vertex));
          // glTF is Y up: (x, y, z) of the game is (x, z, -y) there.
          const V3 place{positions[3 * g], -positions[3 * g + 2], positions[3 * g + 1]};
          const V3 normal{normals[3 * g], -normals[3 * g + 2], normals[3 * g + 1]};
          for (size_t a = 0; a < 3; ++a) {
            EXPECT_NEAR(v.offset[a], place[a], 1e-6 + 1e-6 * std::abs(place[a]));
            EXPECT_NEAR(corner.normal[a], normal[a], 2e-6);
          }
          EXPECT_NEAR(corner.uv[0], uvs[2 * g], 1e-6);
          EXPECT_NEAR(corner.uv[1], uvs[2 * g + 1], 1e-6);
          std::map<int, double> want, got;
          for (size_t j = 0; j < 4; ++j)
            if (weights[4 * g + j] > 0) want[joints[4 * g + j]] += weights[4 * g + j];
          for (const auto& [bone, weight] : v.weights) got[bone] += weight;
          ASSERT_EQ(got.size(), want.size());
          for (const auto& [bone, weight] : want) EXPECT_NEAR(got[bone], weight, 1e-6);
        }
      }
    }
    EXPECT_GT(compared, 0u);
    ASSERT_EQ(ours.bones.size(), level->bones.size());
    for (size_t b = 0; b < level->bones.size(); ++b) EXPECT_EQ(ours.bones[b].name, level->bones[b].name);
  }
}

}  // namespace
}  // namespace tessary
