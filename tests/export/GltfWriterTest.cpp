// The glTF writer and the export with animations, read back through tinygltf.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <nlohmann/json.hpp>

#include "export/GltfAnimation.h"
#include "export/GltfWriter.h"
#include "export/PngEncoder.h"
#include "fixtures/GltfValues.h"
#include "fixtures/ImageWriter.h"
#include "fixtures/StructuralWriter.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/XAnimWriter.h"
#include "model/SkeletonAnimation.h"

namespace tessary {
namespace {

using Mat4 = std::array<double, 16>;  // column-major

Mat4 Multiply(const Mat4& a, const Mat4& b) {
  Mat4 m{};
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r)
      for (int k = 0; k < 4; ++k) m[size_t(c * 4 + r)] += a[size_t(k * 4 + r)] * b[size_t(c * 4 + k)];
  return m;
}

Mat4 Local(const tinygltf::Node& n) {
  double x = 0, y = 0, z = 0, w = 1;
  if (n.rotation.size() == 4) x = n.rotation[0], y = n.rotation[1], z = n.rotation[2], w = n.rotation[3];
  Mat4 m = {1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0,
            2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0,
            2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y), 0,
            0, 0, 0, 1};
  if (n.translation.size() == 3) m[12] = n.translation[0], m[13] = n.translation[1], m[14] = n.translation[2];
  return m;
}

using test::Values;

// The first values of `got` are `want`.
template <typename T>
void ExpectNear(const std::vector<T>& got, std::vector<double> want) {
  ASSERT_GE(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-5) << i;
}

class GltfWriter : public ::testing::Test {
 protected:
  // Root at the origin; "arm" 10 up (game z) turned a quarter about z; one triangle on the
  // arm whose first corner lies 1 along the arm's x, so at (0, 1, 10) in the game.
  static DecodedLevel TwoBones() {
    const float h = float(std::sqrt(0.5));
    DecodedSurface s{.vertices = {{.position = {1, 0, 0}, .normal = {0, 0, 1}, .uv = {0, 0}, .bone = 1},
                                  {.position = {0, 1, 0}, .normal = {0, 0, 1}, .uv = {0.25f, 0}, .bone = 1},
                                  {.normal = {0, 0, 1}, .uv = {0.5f, 0}, .bone = 1, .influenceCount = 1}},
                     .influences = {{0, 0.25f}}, .triangles = {0, 1, 2}, .material = 0};
    return {.modelName = "rig", .version = 20, .surfsName = "rig0",
            .bones = {{"tag_origin"}, {"arm", 0, {0, 0, 10}, {0, 0, h, h}}}, .surfaces = {s}, .materials = {{"mtl_arm", ""}}};
  }

  tinygltf::Model RoundTrip(const DecodedLevel& level, GltfOptions options = {}, const XAnim* anim = nullptr) {
    notes.clear();
    std::string error;
    const std::string path = wd.Str() + "/obj/out.glb";
    tinygltf::Model built = BuildGltf(level, options, notes);
    if (anim) AddGltfAnimation(built, {GltfBoneNode(0)}, AnimateSkeleton(*anim, level.bones, true), *anim, 1.0f);
    tinygltf::TinyGLTF loader;
    EXPECT_TRUE(loader.WriteGltfSceneToFile(&built, path, true, true, false, true));
    tinygltf::Model doc;
    std::string warn;
    EXPECT_TRUE(loader.LoadBinaryFromFile(&doc, &error, &warn, path)) << error;
    return doc;
  }

  test::TempWorkdir wd;
  std::vector<std::string> notes;
};

TEST_F(GltfWriter, HierarchyAxesWindingAndBindPose) {
  const tinygltf::Model doc = RoundTrip(TwoBones());
  ASSERT_EQ(doc.nodes.size(), 4u);  // model, two bones, mesh
  const tinygltf::Node& model = doc.nodes[0];
  const double h = std::sqrt(0.5);
  ExpectNear(model.rotation, {-h, 0, 0, h});  // −90° about x: z up becomes y up
  EXPECT_EQ(doc.nodes[2].translation, (std::vector<double>{0, 0, 10}));  // local, game axes
  EXPECT_EQ(doc.scenes[0].nodes, (std::vector<int>{0, 3}));

  const tinygltf::Primitive& p = doc.meshes[0].primitives[0];
  // Stored clockwise, written counter-clockwise.
  EXPECT_EQ(Values<uint32_t>(doc, p.indices), (std::vector<uint32_t>{0, 2, 1}));
  // Corner 0: game (0, 1, 10) → glTF (0, 10, −1); its normal turns with the arm: game z → glTF y.
  ExpectNear(Values<float>(doc, p.attributes.at("POSITION")), {0, 10, -1});
  ExpectNear(Values<float>(doc, p.attributes.at("NORMAL")), {0, 1, 0});
  EXPECT_EQ(Values<float>(doc, p.attributes.at("TEXCOORD_0"))[4], 0.5f);  // as stored
  EXPECT_EQ(p.material, 0);

  // Each joint's global transform times its inverse bind matrix is the identity: the mesh
  // sits in its bind pose.
  const tinygltf::Skin& skin = doc.skins[0];
  EXPECT_EQ(skin.joints, (std::vector<int>{1, 2}));
  const auto ibm = Values<float>(doc, skin.inverseBindMatrices);
  const Mat4 global1 = Multiply(Local(doc.nodes[0]), Local(doc.nodes[1]));
  const Mat4 global2 = Multiply(global1, Local(doc.nodes[2]));
  for (size_t j = 0; j < 2; ++j) {
    Mat4 inverse;
    for (size_t i = 0; i < 16; ++i) inverse[i] = ibm[j * 16 + i];
    const Mat4 product = Multiply(j == 0 ? global1 : global2, inverse);
    for (size_t i = 0; i < 16; ++i) EXPECT_NEAR(product[i], i % 5 == 0 ? 1 : 0, 1e-5) << "joint " << j << " at " << i;
  }

  // Weights: corner 2 gives a quarter to bone 0, the rest to its own bone 1.
  EXPECT_EQ(Values<uint16_t>(doc, p.attributes.at("JOINTS_0")), (std::vector<uint16_t>{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(Values<float>(doc, p.attributes.at("WEIGHTS_0")), (std::vector<float>{1, 0, 0, 0, 1, 0, 0, 0, 0.75f, 0.25f, 0, 0}));
}

TEST_F(GltfWriter, ImagesAreEmbeddedAsPngOnceEachWithTheirBytesAndALevelWithNothingDrawableHasNoBuffer) {
  // A DXT1 image of one block: texel (0, 0) pure red, the others blue; a damaged one; and a
  // PNG whose length leaves the next view to be padded: every view starts 4-byte aligned and
  // the image's bytes come back whole.
  std::array<int, 16> index{};
  index.fill(1);
  index[0] = 0;
  wd.Write("images/arm.dds", test::images::Dds(test::images::FourCc("DXT1"), 4, 4, 1,
                                               test::images::ColourBlock(0xF800, 0x001F, index)));
  wd.Write("images/broken.dds", std::vector<uint8_t>{'D', 'D', 'S', ' ', 1});
  auto png = EncodePng({.width = 1, .height = 1, .pixels = {10, 20, 30, 255}});
  ASSERT_TRUE(png);
  do png->push_back(0xEE); while (png->size() % 4 != 1);  // readers stop at the image's end
  wd.Write("images/arm.png", *png);
  DecodedLevel level = TwoBones();
  level.materials = {{"mtl_arm", (wd.Path() / "images/arm.dds").string()},
                     {"mtl_same", (wd.Path() / "images/arm.dds").string()},
                     {"mtl_broken", (wd.Path() / "images/broken.dds").string()},
                     {"mtl_png", (wd.Path() / "images/arm.png").string()}};
  tinygltf::Model doc = RoundTrip(level);
  ASSERT_EQ(doc.images.size(), 2u);  // one image shared by both materials that name it
  ASSERT_EQ(doc.images[0].width, 4);
  EXPECT_EQ(std::vector<uint8_t>(doc.images[0].image.begin(), doc.images[0].image.begin() + 8),
            (std::vector<uint8_t>{255, 0, 0, 255, 0, 0, 255, 255}));
  std::vector<int> textures;
  for (const auto& m : doc.materials) textures.push_back(m.pbrMetallicRoughness.baseColorTexture.index);
  EXPECT_EQ(textures, (std::vector<int>{0, 0, -1, 1}));
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NE(notes[0].find("broken.dds"), std::string::npos);
  for (const tinygltf::BufferView& view : doc.bufferViews) EXPECT_EQ(view.byteOffset % 4, 0u) << view.byteOffset;
  const tinygltf::BufferView& image = doc.bufferViews.at(size_t(doc.images[1].bufferView));
  const auto& data = doc.buffers[0].data;
  EXPECT_EQ(std::vector<uint8_t>(data.begin() + long(image.byteOffset), data.begin() + long(image.byteOffset + image.byteLength)),
            *png);

  // Without anything drawn there is nothing for a buffer to hold: a buffer of no bytes is
  // not valid glTF.
  level.surfaces[0].triangles.clear();
  level.materials.clear();
  doc = RoundTrip(level);
  EXPECT_TRUE(doc.meshes.empty());
  EXPECT_TRUE(doc.buffers.empty());
  EXPECT_EQ(doc.nodes.size(), 3u);  // the model and its bones
}

TEST_F(GltfWriter, ScaleAppliesToEveryLengthAndBadSurfacesAreLeftOut) {
  DecodedLevel level = TwoBones();
  level.surfaces[0].triangles = {0, 1, 2, 0, 1, 3};  // the second names a vertex that is not there
  level.surfaces[0].vertices[1].normal[2] = 0;        // a normal of no length points up
  level.surfaces.push_back(DecodedSurface{});           // no triangles
  level.bones.push_back({"tip", 1, {5, 10, 20}});
  const tinygltf::Model doc = RoundTrip(level, {.scale = 0.0254f});
  ASSERT_EQ(doc.meshes[0].primitives.size(), 1u);
  EXPECT_EQ(Values<uint32_t>(doc, doc.meshes[0].primitives[0].indices).size(), 3u);
  EXPECT_NEAR(doc.nodes[2].translation[2], 0.254, 1e-6);
  ExpectNear(doc.nodes[3].translation, {0.127, 0.254, 0.508});
  ExpectNear(Values<float>(doc, doc.meshes[0].primitives[0].attributes.at("POSITION")), {0, 0.254, -0.0254});
  ExpectNear(Values<float>(doc, doc.meshes[0].primitives[0].attributes.at("NORMAL")), {0, 1, 0, 0, 1, 0});
  EXPECT_NEAR(Values<float>(doc, doc.skins[0].inverseBindMatrices)[16 + 14], -0.254, 1e-6);  // the arm's inverse moves back down
}

// Names are bytes and glTF's JSON is UTF-8: bytes above 0x7F reach the file as the
// characters of the same value, in every place a name is written.
TEST_F(GltfWriter, BytesAboveAsciiInEveryNameGiveValidUtf8) {
  const DecodedLevel level{.modelName = "m\xE9tal", .version = 20, .surfsName = "m\xE9tal0", .bones = {{"tag_\xF6rigin"}},
                           .surfaces = {{.vertices = {{}, {}, {}}, .triangles = {0, 1, 2}, .material = 0}},
                           .materials = {{"mtl_\xFF", ""}}};
  const XAnim anim{.name = "r\xE4load", .version = 14, .frames = 1, .fps = 30,
                   .bones = {{.name = "tag_\xF6rigin", .rotations = {{0, Quat{}}}}}, .notes = {{"\xA7note", 0}}};
  const tinygltf::Model doc = RoundTrip(level, {}, &anim);
  ASSERT_EQ(doc.animations.size(), 1u);
  EXPECT_EQ((std::vector<std::string>{doc.nodes.at(0).name, doc.nodes.at(1).name, doc.scenes.at(0).name,
                                      doc.meshes.at(0).name, doc.materials.at(0).name, doc.animations[0].name}),
            (std::vector<std::string>{"m\xC3\xA9tal", "tag_\xC3\xB6rigin", "m\xC3\xA9tal", "m\xC3\xA9tal0",
                                      "mtl_\xC3\xBF", "r\xC3\xA4load"}));
}

namespace st = test::structural;
namespace xa = test::xanim;

// Each channel of animation `index` in one line: "node path: times | values" (all samplers
// interpolate linearly).
std::string Channels(const tinygltf::Model& doc, size_t index) {
  std::string out;
  char buf[32];
  const tinygltf::Animation& a = doc.animations.at(index);
  for (const auto& c : a.channels) {
    const auto& s = a.samplers.at(size_t(c.sampler));
    EXPECT_EQ(s.interpolation, "LINEAR");
    out += doc.nodes.at(size_t(c.target_node)).name + " " + c.target_path + ":";
    for (int accessor : {s.input, -1, s.output}) {
      if (accessor < 0) out += " |";
      else for (float f : Values<float>(doc, accessor)) std::snprintf(buf, sizeof buf, " %g", double(f)), out += buf;
    }
    out += "\n";
  }
  return out;
}

class AnimatedGltfExport : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& [path, bytes] : st::ArmsModel(true)) wd.Write(path, bytes);

    xa::Anim reload{.frames = 3, .fps = 30};
    reload.bones = {{"j_arm", false, false, {{0, 0, 0, 0}, {2, 16384, 0, 0}}, xa::Floats({0, 2}, {{1, 2, 3}, {0, 0, -4}})},
                    {"j_bolt", true, false, {}, xa::Floats({0, 1, 2}, {{0, 0, 0}, {-2, 0, 0}, {0, 0, 0}})},
                    {"j_missing", false, false, {}, {}}};
    reload.notes = {{"clip_in", 1}};
    wd.Write("xanim/Reload", xa::Write(reload));

    xa::Anim walk{.version = 17, .frames = 2, .flags = 2, .assetType = 2, .fps = 10,
                  .deltaTranslations = xa::Packed({0, 1}, 1, {0, 0, 0}, {51, 0, 0}, {{0, 0, 0}, {255, 0, 0}}),
                  .bones = {{"j_hand", false, false, {}, {}}}};
    wd.Write("xanim/walk", xa::Write(walk));
  }

  // The glTF export of `model` with these animations and second model.
  ExportOutcome Run(const std::string& model, std::vector<std::string> animations, const std::string& with = "",
                    std::optional<int> lod = std::nullopt, float scale = 1) {
    ExportOutcome outcome = ExportGltfFile(
        {.workdir = wd.Str(), .modelName = model, .lod = lod, .scale = scale, .animations = std::move(animations), .withModel = with});
    warnings = outcome.warnings;
    return outcome;
  }

  tinygltf::Model Export(const std::string& model, std::vector<std::string> animations, const std::string& with = "",
                         float scale = 1) {
    ExportOutcome outcome = Run(model, std::move(animations), with, std::nullopt, scale);
    EXPECT_TRUE(outcome.ok) << outcome.error;
    const auto glb = wd.Read("obj/" + model + "0.glb");
    uint32_t length = 0;  // of the JSON chunk after the 12-byte header and the chunk's 8
    if (glb.size() > 20) std::memcpy(&length, glb.data() + 12, 4);
    const size_t end = std::min<size_t>(20 + size_t(length), glb.size());
    json = end > 20 ? nlohmann::json::parse(glb.begin() + 20, glb.begin() + long(end), nullptr, false) : nlohmann::json();
    tinygltf::Model doc;
    tinygltf::TinyGLTF loader;
    std::string error, warn;
    EXPECT_TRUE(loader.LoadBinaryFromFile(&doc, &error, &warn, (wd.Path() / "obj" / (model + "0.glb")).string()))
        << error;
    return doc;
  }

  test::TempWorkdir wd;
  std::vector<std::string> warnings;  // of the last export
  nlohmann::json json;  // of the last file exported
};

TEST_F(AnimatedGltfExport, ChannelsCarryTheKeysOnTheBonesOfTheirNames) {
  // j_arm drives J_Arm; translations are the bind (0, 0, 10) plus the keys, times the scale;
  // j_bolt and j_missing are not in the arms.
  const tinygltf::Model doc = Export("arms", {"reload"}, "", 2);
  ASSERT_EQ(doc.animations.size(), 1u);
  EXPECT_EQ(doc.animations[0].name, "Reload");  // the file's name, not the one asked for
  EXPECT_EQ(Channels(doc, 0), "J_Arm rotation: 0 0.0666667 | 0 0 0 1 0.5 0 0 0.866025\n"
                              "J_Arm translation: 0 0.0666667 | 2 4 26 0 0 12\n");
  const auto& samplers = doc.animations[0].samplers;
  EXPECT_EQ(samplers.at(0).input, samplers.at(1).input);  // the same key times are stored once
  EXPECT_EQ(warnings, (std::vector<std::string>{"Reload: 2 of its 3 bones are not in arms: j_bolt, j_missing"}));
  EXPECT_EQ(json["animations"][0]["extras"], nlohmann::json::parse(R"({"fps": 30, "frames": 3, "looping": false,
      "rootMotion": false, "missingBones": ["j_bolt", "j_missing"],
      "notetracks": [{"name": "clip_in", "frame": 1, "time": 0.03333333333333333}]})"));  // no asset type: version 14
}

TEST_F(AnimatedGltfExport, SecondModelJoinsUnderTheBoneOfItsRootsName) {
  const tinygltf::Model doc = Export("arms", {"Reload", (wd.Path() / "xanim" / "walk").string()}, "gun");
  // The weapon's root hangs from the arms' tag_weapon, its bolt from that root.
  std::vector<std::string> path;
  for (int node = 0; node >= 0; node = doc.nodes[size_t(node)].children.empty() ? -1 : doc.nodes[size_t(node)].children.back())
    path.push_back(doc.nodes[size_t(node)].name);
  EXPECT_EQ(path, (std::vector<std::string>{"arms", "tag_origin", "J_Arm", "j_hand", "tag_weapon", "tag_weapon", "j_bolt"}));
  EXPECT_EQ(doc.meshes.at(0).primitives.size(), 2u);
  EXPECT_EQ(doc.skins.at(0).joints.size(), 6u);
  ASSERT_EQ(doc.animations.size(), 2u);
  // A bone with no rotation keys keeps its bind rotation, as a single key.
  EXPECT_EQ(Channels(doc, 0), "J_Arm rotation: 0 0.0666667 | 0 0 0 1 0.5 0 0 0.866025\n"
                              "j_bolt rotation: 0 | 0 0 0 1\n"
                              "J_Arm translation: 0 0.0666667 | 1 2 13 0 0 6\n"
                              "j_bolt translation: 0 0.0333333 0.0666667 | 1 0 0 -1 0 0 1 0 0\n");
  // The walk's root motion moves tag_origin 51 along x in its one tenth of a second.
  EXPECT_EQ(Channels(doc, 1), "tag_origin rotation: 0 | 0 0 0 1\nj_hand rotation: 0 | 0 0 0 1\n"
                              "tag_origin translation: 0 0.1 | 0 0 0 51 0 0\nj_hand translation: 0 | 0 0 5\n");
  EXPECT_EQ(json["animations"][1]["extras"]["assetType"], 2);
  EXPECT_EQ(json["animations"][1]["extras"]["rootMotion"], true);

  // The level asked for is the first model's: the second joins with its own first level.
  const st::Level arms = {"arms0", {"mtl_a"}}, detailed = {"arms1", {"mtl_a"}};
  wd.Write("xmodel/arms", st::Header(20, {arms, detailed}));
  wd.Write("xmodelsurfs/arms1", wd.Read("xmodelsurfs/arms0"));
  const ExportOutcome outcome = Run("arms", {"reload"}, "gun", 1);
  EXPECT_TRUE(outcome.ok) << outcome.error;
  EXPECT_TRUE(wd.Exists("obj/arms1.glb"));
}

}  // namespace
}  // namespace tessary
