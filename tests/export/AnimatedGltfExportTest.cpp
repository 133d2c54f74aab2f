// Export .glTF with animations, read back through tinygltf: each channel's node, times and
// values; the extras; a second model joined; root motion; failures that write nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "export/AnimatedGltfExport.h"
#include "fixtures/StructuralWriter.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/XAnimWriter.h"

namespace tessary {
namespace {

namespace st = test::structural;
namespace xa = test::xanim;

// An animation file whose name holds a byte above 127: the glTF name is its UTF-8 form.
const std::string kWalk = "walk_\xE9";

std::vector<float> Floats(const tinygltf::Model& doc, int accessor) {
  const tinygltf::Accessor& a = doc.accessors.at(size_t(accessor));
  const tinygltf::BufferView& v = doc.bufferViews.at(size_t(a.bufferView));
  std::vector<float> out(a.count * size_t(tinygltf::GetNumComponentsInType(uint32_t(a.type))));
  std::memcpy(out.data(), doc.buffers[size_t(v.buffer)].data.data() + v.byteOffset + a.byteOffset, out.size() * 4);
  return out;
}

int NodeNamed(const tinygltf::Model& doc, const std::string& name) {
  for (size_t i = 0; i < doc.nodes.size(); ++i)
    if (doc.nodes[i].name == name) return int(i);
  return -1;
}

struct Channel {
  std::vector<float> times, values;
};

// The channel of `path` on the node named `node`, or none.
std::optional<Channel> ChannelOf(const tinygltf::Model& doc, const tinygltf::Animation& a, const std::string& node,
                                 const std::string& path) {
  for (const auto& c : a.channels) {
    if (c.target_node != NodeNamed(doc, node) || c.target_path != path) continue;
    const auto& s = a.samplers.at(size_t(c.sampler));
    EXPECT_EQ(s.interpolation, "LINEAR");
    return Channel{Floats(doc, s.input), Floats(doc, s.output)};
  }
  return std::nullopt;
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
    wd.Write("xanim/" + kWalk, xa::Write(walk));
  }

  tinygltf::Model Export(const std::string& model, GltfAnimationOptions animation, float scale = 1) {
    notes.clear();
    warnings.clear();
    ExportOutcome outcome = ExportAnimatedGltfFile(wd.Str(), model, std::nullopt, {.scale = scale}, animation, notes, warnings);
    EXPECT_TRUE(outcome.ok) << outcome.error;
    tinygltf::Model doc;
    tinygltf::TinyGLTF loader;
    std::string error, warn;
    EXPECT_TRUE(loader.LoadBinaryFromFile(&doc, &error, &warn, (wd.Path() / "obj" / (model + "0.glb")).string()))
        << error;
    return doc;
  }

  test::TempWorkdir wd;
  std::vector<std::string> notes, warnings;
};

TEST_F(AnimatedGltfExport, ChannelsCarryTheKeysOnTheBonesOfTheirNames) {
  const tinygltf::Model doc = Export("arms", {.animations = {"reload"}}, 2);
  ASSERT_EQ(doc.animations.size(), 1u);
  const tinygltf::Animation& a = doc.animations[0];
  EXPECT_EQ(a.name, "Reload");
  EXPECT_EQ(a.channels.size(), 2u);  // j_bolt and j_missing are not in the arms

  const auto rotation = ChannelOf(doc, a, "J_Arm", "rotation");
  ASSERT_TRUE(rotation);
  EXPECT_EQ(rotation->times, (std::vector<float>{0, 2 / 30.0f}));
  ASSERT_EQ(rotation->values.size(), 8u);
  EXPECT_FLOAT_EQ(rotation->values[3], 1);
  EXPECT_FLOAT_EQ(rotation->values[4], 0.5f);
  EXPECT_FLOAT_EQ(rotation->values[7], std::sqrt(0.75f));
  // Translations: bind (0, 0, 10) plus the stored keys, times the scale.
  const auto translation = ChannelOf(doc, a, "J_Arm", "translation");
  ASSERT_TRUE(translation);
  EXPECT_EQ(translation->times, rotation->times);
  EXPECT_EQ(translation->values, (std::vector<float>{2, 4, 26, 0, 0, 12}));

  // The times are stored once, with the bounds a reader needs.
  const int input = a.samplers[size_t(a.channels[0].sampler)].input;
  EXPECT_EQ(a.samplers[size_t(a.channels[1].sampler)].input, input);
  EXPECT_EQ(doc.accessors[size_t(input)].minValues, (std::vector<double>{0}));
  EXPECT_FLOAT_EQ(float(doc.accessors[size_t(input)].maxValues.at(0)), 2 / 30.0f);

  EXPECT_EQ(warnings, (std::vector<std::string>{"Reload: 2 of its 3 bones are not in arms: j_bolt, j_missing"}));
  const tinygltf::Value& extras = a.extras;
  ASSERT_EQ(extras.Get("missingBones").ArrayLen(), 2u);
  EXPECT_EQ(extras.Get("missingBones").Get(1).Get<std::string>(), "j_missing");
  const tinygltf::Value& note = extras.Get("notetracks").Get(0);
  EXPECT_EQ(note.Get("name").Get<std::string>(), "clip_in");
  EXPECT_EQ(note.Get("frame").Get<int>(), 1);
  EXPECT_DOUBLE_EQ(note.Get("time").Get<double>(), 1 / 30.0);
  EXPECT_EQ(extras.Get("fps").Get<int>(), 30);
  EXPECT_FALSE(extras.Has("assetType"));  // version 14
}

TEST_F(AnimatedGltfExport, SecondModelJoinsUnderTheBoneOfItsRootsName) {
  const tinygltf::Model doc = Export("arms", {.animations = {"Reload", (wd.Path() / "xanim" / kWalk).string()}, .withModel = "gun"});
  // The weapon's root hangs from the arms' tag_weapon, its bolt from that root.
  const int armsWeapon = NodeNamed(doc, "tag_weapon");
  ASSERT_GE(armsWeapon, 0);
  ASSERT_EQ(doc.nodes[size_t(armsWeapon)].children.size(), 1u);
  const tinygltf::Node& gunRoot = doc.nodes[size_t(doc.nodes[size_t(armsWeapon)].children[0])];
  EXPECT_EQ(gunRoot.name, "tag_weapon");
  ASSERT_EQ(gunRoot.children.size(), 1u);
  EXPECT_EQ(doc.nodes[size_t(gunRoot.children[0])].name, "j_bolt");
  EXPECT_EQ(doc.meshes.at(0).primitives.size(), 2u);
  EXPECT_EQ(doc.skins.at(0).joints.size(), 6u);

  ASSERT_EQ(doc.animations.size(), 2u);
  const auto bolt = ChannelOf(doc, doc.animations[0], "j_bolt", "translation");
  ASSERT_TRUE(bolt);
  EXPECT_EQ(bolt->values, (std::vector<float>{1, 0, 0, -1, 0, 0, 1, 0, 0}));
  // A bone with no rotation keys keeps its bind rotation, as a single key.
  const auto boltRotation = ChannelOf(doc, doc.animations[0], "j_bolt", "rotation");
  ASSERT_TRUE(boltRotation);
  EXPECT_EQ(boltRotation->times, (std::vector<float>{0}));
  EXPECT_EQ(boltRotation->values, (std::vector<float>{0, 0, 0, 1}));
  EXPECT_EQ(warnings, (std::vector<std::string>{"Reload: 1 of its 3 bones are not in arms and gun: j_missing"}));

  // The walk's root motion moves tag_origin 51 along x in its one tenth of a second.
  const tinygltf::Animation& walk = doc.animations[1];
  EXPECT_EQ(walk.name, "walk_\xC3\xA9");
  const auto origin = ChannelOf(doc, walk, "tag_origin", "translation");
  ASSERT_TRUE(origin);
  EXPECT_EQ(origin->times, (std::vector<float>{0, 0.1f}));
  EXPECT_EQ(origin->values, (std::vector<float>{0, 0, 0, 51, 0, 0}));
  EXPECT_EQ(walk.extras.Get("assetType").Get<int>(), 2);
  EXPECT_TRUE(walk.extras.Get("rootMotion").Get<bool>());
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
