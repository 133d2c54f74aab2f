// Export .glTF with animations, read back through tinygltf: each channel's node, times and
// values; the extras; a second model joined; root motion; failures that write nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>

#include "export/AnimatedGltfExport.h"
#include "fixtures/StructuralWriter.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/XAnimWriter.h"

namespace tessary {
namespace {

namespace st = test::structural;
namespace xa = test::xanim;

std::vector<float> Floats(const tinygltf::Model& doc, int accessor) {
  const tinygltf::Accessor& a = doc.accessors.at(size_t(accessor));
  const tinygltf::BufferView& v = doc.bufferViews.at(size_t(a.bufferView));
  std::vector<float> out(a.count * size_t(tinygltf::GetNumComponentsInType(uint32_t(a.type))));
  std::memcpy(out.data(), doc.buffers[size_t(v.buffer)].data.data() + v.byteOffset + a.byteOffset, out.size() * 4);
  return out;
}

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
      else for (float f : Floats(doc, accessor)) std::snprintf(buf, sizeof buf, " %g", double(f)), out += buf;
    }
    out += "\n";
  }
  return out;
}

class AnimatedGltfExport : public ::testing::Test {
 protected:
  void SetUp() override {
    // The arms: tag_origin, J_Arm 10 up, j_hand 5 further, tag_weapon in the hand.
    wd.Write("xmodel/arms", st::Header(20, {{"arms0", {"mtl_a"}}}));
    wd.Write("xmodelparts/arms0", st::Parts(20, {"tag_origin"},
                                            {{"J_Arm", {.parent = 0, .translation = {0, 0, 10}}},
                                             {"j_hand", {.parent = 1, .translation = {0, 0, 5}}},
                                             {"tag_weapon", {.parent = 2}}}));
    st::Vertex v{.bone = 1};
    wd.Write("xmodelsurfs/arms0", st::Surfaces20({{.bone = 1, .vertices = {v, v, v}, .triangles = {{0, 1, 2}}}}));
    // The weapon: its root tag_weapon, and a bolt.
    wd.Write("xmodel/gun", st::Header(20, {{"gun0", {"mtl_g"}}}));
    wd.Write("xmodelparts/gun0", st::Parts(20, {"tag_weapon"}, {{"j_bolt", {.parent = 0, .translation = {1, 0, 0}}}}));
    wd.Write("xmodelsurfs/gun0", st::Surfaces20({{.bone = 1, .vertices = {v, v, v}, .triangles = {{0, 1, 2}}}}));

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

  tinygltf::Model Export(const std::string& model, GltfAnimationOptions animation, float scale = 1) {
    notes.clear();
    warnings.clear();
    ExportOutcome outcome = ExportAnimatedGltfFile(wd.Str(), model, std::nullopt, {.scale = scale}, animation, notes, warnings);
    EXPECT_TRUE(outcome.ok) << outcome.error;
    const auto glb = wd.Read("obj/" + model + "0.glb");
    uint32_t length = 0;  // of the JSON chunk after the 12-byte header and the chunk's 8
    if (glb.size() > 20) std::memcpy(&length, glb.data() + 12, 4);
    json = nlohmann::json::parse(glb.begin() + 20, glb.begin() + 20 + std::min<long>(length, long(glb.size()) - 20), nullptr, false);
    tinygltf::Model doc;
    tinygltf::TinyGLTF loader;
    std::string error, warn;
    EXPECT_TRUE(loader.LoadBinaryFromFile(&doc, &error, &warn, (wd.Path() / "obj" / (model + "0.glb")).string()))
        << error;
    return doc;
  }

  test::TempWorkdir wd;
  std::vector<std::string> notes, warnings;
  nlohmann::json json;  // of the last file exported
};

TEST_F(AnimatedGltfExport, ChannelsCarryTheKeysOnTheBonesOfTheirNames) {
  // j_arm drives J_Arm; translations are the bind (0, 0, 10) plus the keys, times the scale;
  // j_bolt and j_missing are not in the arms.
  const tinygltf::Model doc = Export("arms", {.animations = {"reload"}}, 2);
  ASSERT_EQ(doc.animations.size(), 1u);
  EXPECT_EQ(doc.animations[0].name, "Reload");
  EXPECT_EQ(Channels(doc, 0), "J_Arm rotation: 0 0.0666667 | 0 0 0 1 0.5 0 0 0.866025\n"
                              "J_Arm translation: 0 0.0666667 | 2 4 26 0 0 12\n");
  // The times are stored once, with the bounds a reader needs.
  const auto& samplers = json["animations"][0]["samplers"];
  EXPECT_EQ(samplers[0]["input"], samplers[1]["input"]);
  const auto& times = json["accessors"][samplers[0]["input"].get<int>()];
  EXPECT_EQ(times["min"], nlohmann::json::parse("[0]"));
  EXPECT_FLOAT_EQ(times["max"][0].get<float>(), 2 / 30.0f);
  EXPECT_EQ(warnings, (std::vector<std::string>{"Reload: 2 of its 3 bones are not in arms: j_bolt, j_missing"}));
  EXPECT_EQ(json["animations"][0]["extras"], nlohmann::json::parse(R"({"fps": 30, "frames": 3, "looping": false,
      "rootMotion": false, "missingBones": ["j_bolt", "j_missing"],
      "notetracks": [{"name": "clip_in", "frame": 1, "time": 0.03333333333333333}]})"));  // no asset type: version 14
}

TEST_F(AnimatedGltfExport, SecondModelJoinsUnderTheBoneOfItsRootsName) {
  const tinygltf::Model doc = Export("arms", {.animations = {"Reload", (wd.Path() / "xanim" / "walk").string()}, .withModel = "gun"});
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
  EXPECT_EQ(warnings, (std::vector<std::string>{"Reload: 1 of its 3 bones are not in arms and gun: j_missing"}));
  // The walk's root motion moves tag_origin 51 along x in its one tenth of a second.
  EXPECT_EQ(doc.animations[1].name, "walk");
  EXPECT_EQ(Channels(doc, 1), "tag_origin rotation: 0 | 0 0 0 1\nj_hand rotation: 0 | 0 0 0 1\n"
                              "tag_origin translation: 0 0.1 | 0 0 0 51 0 0\nj_hand translation: 0 | 0 0 5\n");
  EXPECT_EQ(json["animations"][1]["extras"]["assetType"], 2);
  EXPECT_EQ(json["animations"][1]["extras"]["rootMotion"], true);
}

TEST_F(AnimatedGltfExport, AMissingOrDamagedAnimationOrModelWritesNothing) {
  auto bytes = wd.Read("xanim/Reload");
  bytes.pop_back();
  wd.Write("xanim/cut", bytes);
  const std::pair<GltfAnimationOptions, std::string> cases[] = {
      {{.animations = {"reload", "run"}}, "cannot find the animation run in " + (wd.Path() / "xanim").string()},
      {{.animations = {"cut"}}, "cut is damaged: it ends inside notetrack 1"},
      {{.withModel = "nothing"}, "nothing"}};
  for (const auto& [animation, error] : cases) {
    ExportOutcome outcome = ExportAnimatedGltfFile(wd.Str(), "arms", std::nullopt, {}, animation, notes, warnings);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.error.find(error), std::string::npos) << outcome.error;
    EXPECT_FALSE(wd.Exists("obj/arms0.glb"));
  }
}

}  // namespace
}  // namespace tessary
